#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace gustara {

// How many items an in-order run works on at once.
struct InOrderLimits {
    std::size_t width = 1;       // produce calls at the same time (worker threads)
    std::size_t lookahead = 1;   // items started or finished beyond the one the caller waits for
    // Bytes that items may hold at once: an item's estimated cost while it is produced, then
    // what its finished result holds until it is consumed. An item that does not fit waits for
    // others to finish, except that an item always starts when nothing is held but the results
    // of later items.
    uint64_t memoryBudget = std::numeric_limits<uint64_t>::max();
};

// What a job's Produce calls after each step of its item, so that the caller waiting for that
// item can show it. Safe from any thread.
class StepReporter {
public:
    virtual void StepDone() = 0;

protected:
    ~StepReporter() = default;
};

// Runs job.Produce(i, steps) for every i in [0, count) on up to limits.width worker threads
// and hands each result to job.Consume(i, result) on the calling thread, in the order of i.
// Items start in the order of i, as soon as a worker is free, i lies within limits.lookahead of
// the item being waited for, and its job.Cost(i) fits the memory budget beside what the others
// hold, or nothing is held but the results of later items. Out of that order, a worker that
// would otherwise wait while the item waited for is still in work takes a later item, up to
// twice the lookahead further on, when its cost fits the budget and, with what every item but
// the one waited for holds, stays within the largest cost of the items the lookahead already
// lets start beside it: so it runs beside the item waited for in no more memory than one of
// those could, and a large item still waits for its turn.
// The calling thread calls job.StepShown(i, 0) when it begins to wait for item i, then
// job.StepShown(i, step) once for each step 1, 2, ... that item i reports, before its Consume.
// Consume returns false to stop: no further item starts and finished results are dropped.
// The job provides, with Result move-constructible:
//   uint64_t Cost(size_t i)              worker thread, any number of times; must not throw
//   Result Produce(size_t i, StepReporter&)   worker thread; must not throw
//   uint64_t HeldBytes(const Result&)    worker thread, what a finished result holds
//   void StepShown(size_t i, int step)   calling thread
//   bool Consume(size_t i, Result&)      calling thread
// Returns when every started Produce has returned. An exception from StepShown or Consume is
// passed on after the workers have stopped. A thread that cannot be started leaves its share
// to the others, or the whole run to the calling thread when none could be.
template <typename Result, typename Job>
void RunInOrder(std::size_t count, const InOrderLimits& limits, Job& job)
{
    struct Item {
        std::optional<Result> result;
        std::optional<uint64_t> cost;  // once a worker has asked the job
        uint64_t held = 0;             // what its finished result holds
        bool costing = false;          // a worker is asking the job for its cost
        bool claimed = false;          // a worker has taken it
        bool admitted = false;         // its cost counts in `held`
        int steps = 0;
    };
    struct Reporter final : StepReporter {
        std::mutex& mutex;
        std::condition_variable& changed;
        int& steps;
        Reporter(std::mutex& m, std::condition_variable& c, int& s) : mutex(m), changed(c), steps(s) {}
        void StepDone() override
        {
            const std::lock_guard lock(mutex);
            ++steps;
            changed.notify_all();
        }
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Item> items(count);
    std::size_t next = 0;      // the first item no worker has taken
    std::size_t started = 0;   // the first item not admitted; in turn, items are admitted in order
    std::size_t handed = 0;    // items below it are handed to Consume
    uint64_t held = 0;         // bytes held by admitted items not yet handed
    bool stopping = false;
    const std::size_t lookahead = std::max<std::size_t>(limits.lookahead, 1);
    const std::size_t reach = 3 * lookahead;  // no item starts this far beyond the one waited for

    auto fits = [&](uint64_t cost) { return cost <= limits.memoryBudget - std::min(held, limits.memoryBudget); };
    auto holds = [&](const Item& item) -> uint64_t {
        return !item.admitted ? 0 : item.result ? item.held : *item.cost;
    };
    // What the finished results after `index` hold: all ran out of their turn.
    auto resultsAfter = [&](std::size_t index) {
        uint64_t bytes = 0;
        for (std::size_t i = index + 1; i < std::min(handed + reach, count); ++i)
            bytes += items[i].result ? items[i].held : 0;
        return bytes;
    };
    auto take = [&](std::size_t index) {
        items[index].claimed = true;
        while (next < count && items[next].claimed)
            ++next;
    };
    auto admit = [&](std::size_t index) {
        items[index].admitted = true;
        held += *items[index].cost;
        while (started < count && items[started].admitted)
            ++started;
        changed.notify_all();
    };
    // An item beyond the lookahead that may start out of its turn now, or one whose cost is to
    // be asked first; count when there is none.
    auto outOfTurn = [&]() -> std::size_t {
        const std::size_t turnEnd = std::min(handed + lookahead, count);
        if (next < turnEnd)
            return count;
        const std::size_t end = std::min(handed + reach, count);
        uint64_t largestBeside = 0;
        uint64_t besideHeld = 0;  // what the items after the one waited for hold
        for (std::size_t i = handed + 1; i < end; ++i) {
            if (i < turnEnd)
                largestBeside = std::max(largestBeside, items[i].cost.value_or(0));
            besideHeld += holds(items[i]);
        }
        for (std::size_t i = next; i < end; ++i) {
            const Item& item = items[i];
            if (item.claimed || item.costing)
                continue;
            if (!item.cost)
                return i;
            if (*item.cost <= largestBeside - std::min(besideHeld, largestBeside) && fits(*item.cost))
                return i;
        }
        return count;
    };
    // Asks the job for the cost of `index`, unless known, with the lock released.
    auto learnCost = [&](std::unique_lock<std::mutex>& lock, std::size_t index) {
        Item& item = items[index];
        if (item.cost)
            return;
        item.costing = true;
        lock.unlock();
        const uint64_t cost = job.Cost(index);
        lock.lock();
        item.costing = false;
        item.cost = cost;
        changed.notify_all();
    };
    auto produce = [&](std::size_t index) {
        Reporter reporter(mutex, changed, items[index].steps);
        return job.Produce(index, reporter);
    };
    // Produces the admitted item `index` with the lock released, and keeps its result.
    auto run = [&](std::unique_lock<std::mutex>& lock, std::size_t index) {
        lock.unlock();
        Result result = produce(index);
        const uint64_t resultBytes = job.HeldBytes(result);
        lock.lock();
        Item& item = items[index];
        held = held - *item.cost + resultBytes;
        item.held = resultBytes;
        item.result.emplace(std::move(result));
        changed.notify_all();
    };
    auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            std::size_t other = count;
            changed.wait(lock, [&] {
                return stopping || next >= count || next < handed + lookahead || (other = outOfTurn()) < count;
            });
            if (stopping || next >= count)
                return;
            if (next >= handed + lookahead) {
                if (!items[other].cost) {
                    learnCost(lock, other);
                    continue;
                }
                take(other);
                admit(other);
                run(lock, other);
                continue;
            }
            const std::size_t index = next;
            take(index);
            learnCost(lock, index);
            const uint64_t cost = *items[index].cost;
            // Results of items out of their turn are freed only after this item's Consume, so
            // they do not keep it from starting alone.
            changed.wait(lock, [&] {
                return stopping || (started == index && (held == resultsAfter(index) || fits(cost)));
            });
            if (stopping)
                return;
            admit(index);
            run(lock, index);
        }
    };
    auto stop = [&] {
        const std::lock_guard lock(mutex);
        stopping = true;
        changed.notify_all();
    };

    std::vector<std::jthread> threads;  // declared after the state they use: joined first
    const std::size_t threadCount = std::min(std::max<std::size_t>(limits.width, 1), count);
    threads.reserve(threadCount);
    for (std::size_t i = 0; i < threadCount; ++i) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }

    try {
        for (std::size_t index = 0; index < count; ++index) {
            Item& item = items[index];
            job.StepShown(index, 0);
            if (threads.empty()) {
                item.result.emplace(produce(index));
                for (int step = 1; step <= item.steps; ++step)
                    job.StepShown(index, step);
            } else {
                std::unique_lock lock(mutex);
                for (int shown = 0;;) {
                    changed.wait(lock, [&] { return item.steps > shown || item.result.has_value(); });
                    if (item.steps == shown)
                        break;
                    const int reached = item.steps;
                    lock.unlock();
                    while (shown < reached)
                        job.StepShown(index, ++shown);
                    lock.lock();
                }
                held -= item.held;
                handed = index + 1;
                changed.notify_all();
            }
            Result result = std::move(*item.result);
            item.result.reset();
            if (!job.Consume(index, result))
                break;
        }
    } catch (...) {
        stop();
        throw;
    }
    stop();
}

} // namespace gustara
