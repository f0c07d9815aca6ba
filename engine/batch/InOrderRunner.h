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
#include <vector>

namespace gustara {

// How many items an in-order run works on at once.
struct InOrderLimits {
    std::size_t width = 1;       // produce calls at the same time (worker threads)
    std::size_t lookahead = 1;   // items started or finished beyond the one the caller waits for
    // Bytes that items may hold at once: an item's estimated cost while it is produced, then
    // what its finished result holds until it is consumed. An item that does not fit waits for
    // others to finish, except that an item always starts when nothing else is held.
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
// hold. The calling thread calls job.StepShown(i, 0) when it begins to wait for item i, then
// job.StepShown(i, step) once for each step 1, 2, ... that item i reports, before its Consume.
// Consume returns false to stop: no further item starts and finished results are dropped.
// The job provides, with Result move-constructible:
//   uint64_t Cost(size_t i)              worker thread, before item i starts; must not throw
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
        uint64_t held = 0;
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
    std::size_t next = 0;      // the next item a worker claims
    std::size_t started = 0;   // items below it have started; they start in order
    std::size_t handed = 0;    // items below it are handed to Consume
    uint64_t held = 0;         // bytes held by started items not yet handed
    bool stopping = false;
    const std::size_t lookahead = std::max<std::size_t>(limits.lookahead, 1);

    auto produce = [&](std::size_t index) {
        Reporter reporter(mutex, changed, items[index].steps);
        return job.Produce(index, reporter);
    };
    auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stopping || next >= count || next < handed + lookahead; });
            if (stopping || next >= count)
                return;
            const std::size_t index = next++;
            lock.unlock();
            const uint64_t cost = job.Cost(index);
            lock.lock();
            changed.wait(lock, [&] {
                return stopping || (started == index && (held == 0 || cost <= limits.memoryBudget - std::min(held, limits.memoryBudget)));
            });
            if (stopping)
                return;
            ++started;
            held += cost;
            changed.notify_all();
            lock.unlock();
            Result result = produce(index);
            const uint64_t resultBytes = job.HeldBytes(result);
            lock.lock();
            held = held - cost + resultBytes;
            items[index].held = resultBytes;
            items[index].result.emplace(std::move(result));
            changed.notify_all();
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
