#include "pixels/RowBands.h"
#include "EngineError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace gustara {
namespace {

// Enough work per row for the bands to go to helper threads.
constexpr int32_t kRows = 64;
constexpr int64_t kWorkPerRow = int64_t{1} << 20;

TEST(ForEachRowBand, CoversEveryRowOnce)
{
    for (const int64_t workPerRow : {int64_t{1}, kWorkPerRow}) {
        std::vector<std::atomic<int>> visits(kRows);
        ForEachRowBand(kRows, workPerRow, [&](int32_t firstRow, int32_t endRow) {
            for (int32_t row = firstRow; row < endRow; ++row)
                ++visits[row];
        });
        for (int32_t row = 0; row < kRows; ++row)
            EXPECT_EQ(visits[row], 1) << "row " << row << ", work per row " << workPerRow;
    }
}

// A band that throws, on whichever thread it runs, fails the call with its own exception,
// and only once no band is running any more.
TEST(ForEachRowBand, FailureOfABandReachesTheCallerAfterEveryThreadStops)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one hardware thread: no helper thread is started";
    const std::thread::id caller = std::this_thread::get_id();
    const struct {
        const char* what;
        bool (*fails)(int32_t firstRow, std::thread::id caller);
        bool outOfMemory;
        bool runsWhateverTheScheduling;
    } cases[] = {
        {"the first band", [](int32_t firstRow, std::thread::id) { return firstRow == 0; }, false, true},
        {"the last band", [](int32_t firstRow, std::thread::id) { return firstRow >= kRows - 4; }, true, true},
        {"every band of a helper thread",
         [](int32_t, std::thread::id caller) { return std::this_thread::get_id() != caller; }, true, false},
        {"every band", [](int32_t, std::thread::id) { return true; }, false, true},
    };
    for (const auto& c : cases) {
        std::atomic<int> running{0};
        std::atomic<int> helperBands{0};
        bool failed = true;
        try {
            ForEachRowBand(kRows, kWorkPerRow, [&](int32_t firstRow, int32_t) {
                ++running;
                if (std::this_thread::get_id() != caller)
                    ++helperBands;
                if (c.fails(firstRow, caller)) {
                    --running;
                    if (c.outOfMemory)
                        throw std::bad_alloc();
                    throw EngineError("band at row " + std::to_string(firstRow) + " failed");
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                --running;
            });
            failed = false;
        } catch (const std::bad_alloc&) {
            EXPECT_TRUE(c.outOfMemory) << c.what;
        } catch (const EngineError& error) {
            EXPECT_FALSE(c.outOfMemory) << c.what;
            EXPECT_NE(std::string(error.what()).find("failed"), std::string::npos) << c.what;
        }
        // A helper may start only after the others took every band.
        EXPECT_EQ(failed, c.runsWhateverTheScheduling || helperBands > 0) << c.what;
        EXPECT_EQ(running, 0) << c.what << ": a band was still running";
    }
}

} // namespace
} // namespace gustara
