#include "batch/InOrderRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

namespace gustara {
namespace {

constexpr uint64_t kCost = 10;  // every item's estimated bytes

void RaiseTo(std::atomic<uint64_t>& most, uint64_t value)
{
    for (uint64_t seen = most.load(); seen < value && !most.compare_exchange_weak(seen, value);) {
    }
}

// Items whose three steps take a scattered few hundred microseconds, so that later items often
// finish first. Records what the runner does: order, steps shown, threads and bytes at once.
struct RecordingJob {
    std::size_t stopAfter = SIZE_MAX;   // Consume returns false for this item
    std::size_t throwAt = SIZE_MAX;     // Consume throws for this item
    std::vector<uint64_t> costs;        // per item; kCost for items beyond
    std::size_t firstAwaits = SIZE_MAX;  // item 0 finishes only after this one (or 10 s)
    std::mutex mutex;
    std::vector<std::size_t> consumed, produced;
    std::vector<std::vector<int>> shown;  // steps shown per item, in the order shown
    std::atomic<uint64_t> running{0}, mostRunning{0}, holding{0}, mostHolding{0};

    explicit RecordingJob(std::size_t items) : shown(items) {}

    uint64_t Cost(std::size_t index) const { return index < costs.size() ? costs[index] : kCost; }
    std::size_t Produce(std::size_t index, StepReporter& reporter)
    {
        RaiseTo(mostRunning, ++running);
        RaiseTo(mostHolding, holding += Cost(index));
        if (index == 0 && firstAwaits != SIZE_MAX)
            for (int waited = 0; waited < 10000 && !Produced(firstAwaits); ++waited)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (std::size_t step = 0; step < 3; ++step) {
            std::this_thread::sleep_for(std::chrono::microseconds(200 * ((index * 7 + step) % 5)));
            reporter.StepDone();
        }
        {
            const std::lock_guard lock(mutex);
            produced.push_back(index);
        }
        holding -= Cost(index);
        --running;
        return index * 10;
    }
    bool Produced(std::size_t index)
    {
        const std::lock_guard lock(mutex);
        return std::ranges::find(produced, index) != produced.end();
    }
    static uint64_t HeldBytes(std::size_t) { return 0; }
    void StepShown(std::size_t index, int step) { shown[index].push_back(step); }
    bool Consume(std::size_t index, std::size_t& result)
    {
        EXPECT_EQ(result, index * 10);
        if (index == throwAt)
            throw std::runtime_error("consume failed");
        consumed.push_back(index);
        return index != stopAfter;
    }
};

std::vector<std::size_t> FirstItems(std::size_t count)
{
    std::vector<std::size_t> items(count);
    std::iota(items.begin(), items.end(), 0);
    return items;
}

TEST(InOrderRunnerTest, ConsumesEveryItemOnceInOrderWithEveryStepShownWithinTheLimits)
{
    const struct {
        const char* name;
        std::size_t items;
        InOrderLimits limits;
        std::vector<uint64_t> costs = {};
    } cases[] = {
        {"one worker", 12, {1, 1, UINT64_MAX}},
        {"two workers", 24, {2, 4, UINT64_MAX}},
        {"more workers than items", 3, {8, 16, UINT64_MAX}},
        {"budget for two of four workers", 24, {4, 8, 2 * kCost + 5}},
        {"each item alone over the budget", 10, {4, 8, kCost / 2}},
        {"no items", 0, {2, 4, UINT64_MAX}},
        // Small items run out of turn beside large ones; then an item over the budget must
        // start alone although items after it hold the budget.
        {"large items among small ones", 40, {2, 2, 4 * kCost},
         {kCost, 3 * kCost, kCost, kCost, 5 * kCost, kCost, kCost, 2 * kCost}},
    };
    for (const auto& c : cases) {
        RecordingJob job(c.items);
        job.costs = c.costs;
        RunInOrder<std::size_t>(c.items, c.limits, job);
        EXPECT_EQ(job.consumed, FirstItems(c.items)) << c.name;
        for (std::size_t i = 0; i < c.items; ++i)
            EXPECT_EQ(job.shown[i], (std::vector<int>{0, 1, 2, 3})) << c.name << " item " << i;
        EXPECT_LE(job.mostRunning.load(), c.limits.width) << c.name;
        const uint64_t largest = c.costs.empty() ? kCost : std::ranges::max(c.costs);
        EXPECT_LE(job.mostHolding.load(), std::max(largest, c.limits.memoryBudget)) << c.name;
    }
}

// While a long item is in work, a free worker goes on past the lookahead.
TEST(InOrderRunnerTest, LaterItemsRunOutOfTurnBesideALongOne)
{
    RecordingJob job(8);
    job.firstAwaits = 4;
    RunInOrder<std::size_t>(8, {2, 2, UINT64_MAX}, job);
    EXPECT_EQ(job.consumed, FirstItems(8));
    ASSERT_FALSE(job.produced.empty());
    EXPECT_NE(job.produced.front(), 0u);
    EXPECT_TRUE(job.Produced(4));
    EXPECT_LT(std::ranges::find(job.produced, 4), std::ranges::find(job.produced, 0));
}

// Items already started run to their end; none starts beyond three times the lookahead.
TEST(InOrderRunnerTest, StopsStartingAndConsumingAtTheFirstRefusalOrException)
{
    for (const std::size_t width : {1, 2, 4})
        for (const bool throws : {false, true}) {
            RecordingJob job(40);
            (throws ? job.throwAt : job.stopAfter) = 5;
            const InOrderLimits limits{width, 2 * width, UINT64_MAX};
            if (throws)
                EXPECT_THROW(RunInOrder<std::size_t>(40, limits, job), std::runtime_error);
            else
                RunInOrder<std::size_t>(40, limits, job);
            EXPECT_EQ(job.consumed, FirstItems(throws ? 5 : 6)) << width;
            EXPECT_LE(job.produced.size(), 6 + 3 * 2 * width) << width;
        }
}

} // namespace
} // namespace gustara
