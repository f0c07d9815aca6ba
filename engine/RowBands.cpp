#include "RowBands.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace gustara {

namespace {

// Below this many pixels per band, starting a thread costs more than it saves.
constexpr int64_t kMinWorkPerBand = int64_t{1} << 18;

} // namespace

void ForEachRowBand(int32_t rows, int64_t workPerRow, const std::function<void(int32_t, int32_t)>& work)
{
    if (rows <= 0)
        return;
    const int64_t totalWork = static_cast<int64_t>(rows) * std::max<int64_t>(workPerRow, 1);
    const int64_t threads = std::max<int64_t>(std::thread::hardware_concurrency(), 1);
    const auto bands = static_cast<int32_t>(
        std::clamp<int64_t>(std::min<int64_t>(threads, totalWork / kMinWorkPerBand), 1, rows));
    auto bandStart = [&](int32_t band) {
        return static_cast<int32_t>(static_cast<int64_t>(rows) * band / bands);
    };

    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<std::size_t>(bands - 1));
    for (int32_t band = 1; band < bands; ++band) {
        try {
            helpers.emplace_back(work, bandStart(band), bandStart(band + 1));
        } catch (const std::system_error&) {
            work(bandStart(band), bandStart(band + 1));
        }
    }
    work(0, bandStart(1));
}

} // namespace gustara
