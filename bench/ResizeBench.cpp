#include "BenchPicture.h"
#include "pixels/BitmapUtils.h"
#include "pixels/FitToBox.h"

#include <benchmark/benchmark.h>

namespace gustara::bench {
namespace {

// The 24-megapixel picture into the 1280 box (1280 x 853).
template <PictureRaster (*Resize)(const PictureRaster&, int32_t, int32_t)>
void BM_Resize24MPInto1280(benchmark::State& state)
{
    const PictureRaster& picture = BenchPicture();
    const auto target = FitToBoxSize(picture.width(), picture.height(), 1280, 1280);
    for (auto _ : state) {
        PictureRaster resized = Resize(picture, target->width, target->height);
        benchmark::DoNotOptimize(resized.data());
    }
}
BENCHMARK(BM_Resize24MPInto1280<AreaAverageResize>)
    ->Name("BM_AreaAverageResize24MP")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Resize24MPInto1280<AreaAverageResizeReference>)
    ->Name("BM_AreaAverageResizeReference24MP")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace gustara::bench
