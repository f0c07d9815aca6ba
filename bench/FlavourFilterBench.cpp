#include "BenchPicture.h"
#include "pixels/FlavourFilter.h"
#include "pixels/FlavourPasses.h"

#include <benchmark/benchmark.h>

namespace gustara::bench {
namespace {

// The picture is filtered again and again in place: the cost does not depend on the colours.
void BM_FlavourFilter24MP(benchmark::State& state)
{
    PictureRaster picture = BenchPicture().clone();
    for (auto _ : state) {
        ApplyFlavourFilter(picture, 3);
        benchmark::DoNotOptimize(picture.data());
    }
}
BENCHMARK(BM_FlavourFilter24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FlavourFourPasses24MP(benchmark::State& state)
{
    PictureRaster picture = BenchPicture().clone();
    for (auto _ : state) {
        WarmTone(picture, 3);
        AddBrightness(picture, 60);
        StretchContrast(picture, 30);
        BoostSaturation(picture);
        benchmark::DoNotOptimize(picture.data());
    }
}
BENCHMARK(BM_FlavourFourPasses24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace gustara::bench
