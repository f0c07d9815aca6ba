#include "pixels/RowBands.h"
#include "EngineError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
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
    const auto onHelper = [caller] { return std::this_thread::get_id() != caller; };
    const struct {
        const char* what;
        std::function<bool(int32_t firstRow)> fails;
        bool outOfMemory;
        bool runsWhateverTheScheduling;  // else only when a helper took a band at all
    } cases[] = {
        {"the first band", [](int32_t firstRow) { return firstRow == 0; }, false, true},
        {"the last band", [](int32_t firstRow) { return firstRow >= kRows - 4; }, true, true},
        {"every band of a helper thread", [&](int32_t) { return onHelper(); }, true, false},
        {"every band", [](int32_t) { return true; }, false, true},
    };
    for (const auto& c : cases) {
        std::atomic<int> running{0};
        std::atomic<int> helperBands{0};
        std::string caught;
        try {
            ForEachRowBand(kRows, kWorkPerRow, [&](int32_t firstRow, int32_t) {
                ++running;
                helperBands += onHelper() ? 1 : 0;
                if (c.fails(firstRow)) {
                    --running;
                    if (c.outOfMemory)
                        throw std::bad_alloc();
                    throw EngineError("band failed");
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                --running;
            });
        } catch (const std::bad_alloc&) {
            caught = "out of memory";
        } catch (const EngineError& error) {
            caught = error.what();
        }
        if (c.runsWhateverTheScheduling || helperBands > 0)
            EXPECT_EQ(caught, c.outOfMemory ? "out of memory" : "band failed") << c.what;
        else
            EXPECT_EQ(caught, "") << c.what;
        EXPECT_EQ(running, 0) << c.what << ": a band was still running";
    }
}

} // namespace
} // namespace gustara
