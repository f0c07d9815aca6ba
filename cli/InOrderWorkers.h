#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace gustara::cli {

// Runs produce(i) for every i in [0, count) on up to `workers` threads and hands each result
// to consume(i, result) on the calling thread, in the order of i. At most `workers` results
// are being produced or waiting for their turn at any time, besides the one being consumed,
// which bounds the memory they hold; so while consume(i) waits (on a disk, say), produce(i + 1)
// runs even with one worker. consume returns false to stop: no further index is started, and
// the results of those already started are dropped once they are done.
// Returns when every started produce has returned. `produce` must not throw; an exception from
// `consume` is passed on after the workers are stopped. A thread that cannot be started leaves
// its share to the others, or to the calling thread when none could be.
template <typename Result, typename Produce, typename Consume>
void ProduceInOrder(std::size_t count, std::size_t workers, Produce produce, Consume consume)
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> results(count);
    std::size_t next = 0;      // the next index a worker takes
    std::size_t handed = 0;    // the results of indexes below it are handed to consume
    bool stopping = false;

    auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stopping || next >= count || next < handed + workers; });
            if (stopping || next >= count)
                return;
            const std::size_t index = next++;
            lock.unlock();
            Result result = produce(index);
            lock.lock();
            results[index] = std::move(result);
            changed.notify_all();
        }
    };
    auto stop = [&] {
        const std::lock_guard lock(mutex);
        stopping = true;
        changed.notify_all();
    };

    std::vector<std::jthread> threads;  // declared after the state they use: joined first
    const std::size_t threadCount = std::min(workers, count);
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
            std::optional<Result> result;
            if (threads.empty()) {
                result = produce(index);
            } else {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return results[index].has_value(); });
                result = std::move(results[index]);
                results[index].reset();
                handed = index + 1;
                changed.notify_all();
            }
            if (!consume(index, *result))
                break;
        }
    } catch (...) {
        stop();
        throw;
    }
    stop();
}

} // namespace gustara::cli
