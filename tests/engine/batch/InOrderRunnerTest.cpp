#include "batch/InOrderRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace gustara {
namespace {

void RaiseTo(std::atomic<uint64_t>& most, uint64_t value)
{
    for (uint64_t seen = most.load(); seen < value && !most.compare_exchange_weak(seen, value);) {
    }
}

// Items whose work takes a few milliseconds in a scattered pattern, so that later ones often
// finish first. Records what the runner does and checks its promises as it goes.
struct RecordingJob {
    std::size_t count = 0;
    uint64_t costEach = 10;
    int steps = 3;
    std::size_t stopAfter = SIZE_MAX;   // Consume returns false for this item
    std::size_t throwAt = SIZE_MAX;     // Consume throws for this item

    std::mutex mutex;
    std::vector<std::size_t> consumed;
    std::vector<std::vector<int>> shown;  // steps shown per item, in the order shown
    std::vector<std::size_t> produced;
    std::atomic<uint64_t> running{0};
    std::atomic<uint64_t> mostRunning{0};
    std::atomic<uint64_t> holding{0};
    std::atomic<uint64_t> mostHolding{0};

    explicit RecordingJob(std::size_t items) : count(items), shown(items) {}

    uint64_t Cost(std::size_t) const { return costEach; }
    std::size_t Produce(std::size_t index, StepReporter& reporter)
    {
        RaiseTo(mostRunning, ++running);
        RaiseTo(mostHolding, holding += costEach);
        for (int step = 0; step < steps; ++step) {
            std::this_thread::sleep_for(std::chrono::microseconds(200 * ((index * 7 + step) % 5)));
            reporter.StepDone();
        }
        {
            const std::lock_guard lock(mutex);
            produced.push_back(index);
        }
        holding -= costEach;
        --running;
        return index * 10;
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

struct Case {
    const char* name;
    std::size_t items;
    InOrderLimits limits;
    uint64_t costEach;
};

TEST(InOrderRunnerTest, ConsumesEveryItemOnceInOrderWithEveryStepShownWithinTheLimits)
{
    const Case cases[] = {
        {"one worker", 12, {1, 1, UINT64_MAX}, 10},
        {"two workers", 24, {2, 4, UINT64_MAX}, 10},
        {"more workers than items", 3, {8, 16, UINT64_MAX}, 10},
        {"budget for two of four workers", 24, {4, 8, 25}, 10},
        {"each item alone over the budget", 10, {4, 8, 5}, 10},
        {"no items", 0, {2, 4, UINT64_MAX}, 10},
    };
    for (const Case& c : cases) {
        RecordingJob job(c.items);
        job.costEach = c.costEach;
        RunInOrder<std::size_t>(c.items, c.limits, job);

        std::vector<std::size_t> all(c.items);
        for (std::size_t i = 0; i < c.items; ++i)
            all[i] = i;
        EXPECT_EQ(job.consumed, all) << c.name;
        for (std::size_t i = 0; i < c.items; ++i)
            EXPECT_EQ(job.shown[i], (std::vector<int>{0, 1, 2, 3})) << c.name << " item " << i;
        EXPECT_LE(job.mostRunning.load(), c.limits.width) << c.name;
        const uint64_t alone = c.costEach;
        EXPECT_LE(job.mostHolding.load(), std::max(alone, c.limits.memoryBudget)) << c.name;
    }
}

TEST(InOrderRunnerTest, StopsStartingAndConsumingAtTheFirstRefusalOrException)
{
    for (const std::size_t width : {1, 2, 4}) {
        RecordingJob stopped(40);
        stopped.stopAfter = 5;
        RunInOrder<std::size_t>(40, {width, 2 * width, UINT64_MAX}, stopped);
        EXPECT_EQ(stopped.consumed, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5})) << width;
        // Items already started run to their end; none starts beyond the lookahead.
        EXPECT_LE(stopped.produced.size(), 6 + 2 * width) << width;

        RecordingJob thrown(40);
        thrown.throwAt = 3;
        EXPECT_THROW(RunInOrder<std::size_t>(40, {width, 2 * width, UINT64_MAX}, thrown), std::runtime_error);
        EXPECT_EQ(thrown.consumed, (std::vector<std::size_t>{0, 1, 2})) << width;
        EXPECT_LE(thrown.produced.size(), 4 + 2 * width) << width;
    }
}

} // namespace
} // namespace gustara
