#include "pixels/RowBands.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace gustara {

namespace {

// Below this many pixels per thread, starting a thread costs more than it saves.
constexpr int64_t kMinWorkPerThread = int64_t{1} << 18;
// Each thread takes bands from a shared counter, several per thread, so that a thread the
// system holds back leaves its remaining bands to the others.
constexpr int64_t kBandsPerThread = 8;

} // namespace

void ForEachRowBand(int32_t rows, int64_t workPerRow, const std::function<void(int32_t, int32_t)>& work)
{
    if (rows <= 0)
        return;
    const int64_t totalWork = static_cast<int64_t>(rows) * std::max<int64_t>(workPerRow, 1);
    const int64_t hardwareThreads = std::max<int64_t>(std::thread::hardware_concurrency(), 1);
    const int64_t threads = std::clamp<int64_t>(totalWork / kMinWorkPerThread, 1, hardwareThreads);
    if (threads == 1) {
        work(0, rows);
        return;
    }
    const auto bands = static_cast<int32_t>(std::min<int64_t>(threads * kBandsPerThread, rows));
    std::atomic<int32_t> nextBand{0};
    std::mutex failureLock;
    std::exception_ptr failure;
    auto takeBands = [&] {
        try {
            for (int32_t band = nextBand++; band < bands; band = nextBand++)
                work(static_cast<int32_t>(static_cast<int64_t>(rows) * band / bands),
                     static_cast<int32_t>(static_cast<int64_t>(rows) * (band + 1) / bands));
        } catch (...) {
            // An exception must not leave a helper thread (that would terminate the
            // program): keep the first one for the caller and let the others stop early.
            nextBand = bands;
            const std::lock_guard lock(failureLock);
            if (!failure)
                failure = std::current_exception();
        }
    };

    {
        std::vector<std::jthread> helpers;
        helpers.reserve(static_cast<std::size_t>(threads - 1));
        for (int64_t helper = 1; helper < threads; ++helper) {
            try {
                helpers.emplace_back(takeBands);
            } catch (const std::exception&) {
                break; // no thread or no memory for one: the threads running take the bands left
            }
        }
        takeBands();
    } // every helper is joined here, before anything they use goes away
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace gustara
