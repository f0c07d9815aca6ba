#include "BenchPicture.h"
#include "pixels/AreaAverageResampler.h"
#include "write/JpegWriter.h"

#include <benchmark/benchmark.h>

namespace gustara::bench {
namespace {

// Encoding the 24-megapixel picture at quality 100, the last step of a job without fitting.
void BM_EncodeJpeg24MPQuality100(benchmark::State& state)
{
    const PictureRaster& picture = BenchPicture();
    for (auto _ : state) {
        const std::vector<uint8_t> datastream = EncodeJpeg(picture, 100, false);
        benchmark::DoNotOptimize(datastream.data());
    }
}
BENCHMARK(BM_EncodeJpeg24MPQuality100)->Unit(benchmark::kMillisecond)->UseRealTime();

// Shrinks by a whole factor, as wallpapers and many screenshots are fitted into 1280 x 1280:
// every box edge meets a pixel edge, so many averages lie near a half. Arguments: the factor.
void BM_AreaAverageResizeWholeFactor(benchmark::State& state)
{
    const auto factor = static_cast<int32_t>(state.range(0));
    const PictureRaster source = BenchPicture().clone();
    const int32_t width = kPictureWidth / factor;
    const int32_t height = kPictureHeight / factor;
    for (auto _ : state) {
        PictureRaster resized = AreaAverageResize(source, width, height);
        benchmark::DoNotOptimize(resized.data());
    }
}
BENCHMARK(BM_AreaAverageResizeWholeFactor)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace gustara::bench
