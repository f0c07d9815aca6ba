#include "BenchPicture.h"
#include "pixels/AreaAverageResampler.h"
#include "pixels/FitToBox.h"

#include <benchmark/benchmark.h>

namespace gustara::bench {
namespace {

// The 24-megapixel picture into a box of the given side: 1280 (1280 x 853, 4.6875:1), and
// the exact shrinks 2:1 (3000) and 4:1 (1500), whose box edges meet pixel edges.
template <PictureRaster (*Resize)(const PictureRaster&, int32_t, int32_t)>
void BM_Resize24MP(benchmark::State& state)
{
    const PictureRaster& picture = BenchPicture();
    const auto side = static_cast<int32_t>(state.range(0));
    const auto target = FitToBoxSize(picture.width(), picture.height(), side, side);
    for (auto _ : state) {
        PictureRaster resized = Resize(picture, target->width, target->height);
        benchmark::DoNotOptimize(resized.data());
    }
}
BENCHMARK(BM_Resize24MP<AreaAverageResize>)
    ->Name("BM_AreaAverageResize24MP")
    ->Arg(1280)
    ->Arg(3000)
    ->Arg(1500)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Resize24MP<AreaAverageResizeReference>)
    ->Name("BM_AreaAverageResizeReference24MP")
    ->Arg(1280)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace gustara::bench
