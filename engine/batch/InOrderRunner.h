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
    std::size_t width = 1;     // produce calls at the same time (worker threads)
    std::size_t lookahead = 1; // items started or finished beyond the one the caller waits for
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
// Items start in the order of i, within limits.lookahead of the item being waited for and
// within the memory budget; while a long item is in work, a free worker may take a later one
// out of turn when that takes no more memory than the lookahead already allows.
// The calling thread calls job.StepShown(i, 0) when it begins to wait for item i, then
// job.StepShown(i, step) once for each step 1, 2, ... that item i reports, before its Consume.
// Consume returns false to stop: no further item starts and finished results are dropped.
// The job provides, with Result move-constructible:
//   uint64_t Cost(size_t i)              worker thread, any number of times; must not throw
//   Result Produce(size_t i, StepReporter&)   worker thread; must not throw
//   uint64_t HeldBytes(const Result&)    worker thread, what a finished result holds
//   void StepShown(size_t i, int step)   calling thread
//   bool Consume(size_t i, Result&)      calling thread
// Run returns when every started Produce has returned. An exception from StepShown or Consume
// is passed on after the workers have stopped. A thread that cannot be started leaves its
// share to the others, or the whole run to the calling thread when none could be. One run per
// object; the job must outlive it.
template <typename Result, typename Job>
class InOrderRunner {
public:
    InOrderRunner(std::size_t count, const InOrderLimits& limits, Job& job)
        : count_(count), width_(std::min(std::max<std::size_t>(limits.width, 1), count)),
          lookahead_(std::max<std::size_t>(limits.lookahead, 1)), reach_(3 * lookahead_), budget_(limits.memoryBudget),
          job_(job), items_(count)
    {
    }
    InOrderRunner(const InOrderRunner&) = delete;
    InOrderRunner& operator=(const InOrderRunner&) = delete;

    void Run()
    {
        StartWorkers();
        try {
            HandInOrder();
        } catch (...) {
            StopWorkers();
            throw;
        }
        StopWorkers();
    }

private:
    struct Item {
        std::optional<Result> result;
        std::optional<uint64_t> cost; // once a worker has asked the job
        uint64_t held = 0;            // what its finished result holds
        bool costing = false;         // a worker is asking the job for its cost
        bool claimed = false;         // a worker has taken it
        bool admitted = false;        // its cost counts in held_
        int steps = 0;
    };

    class Reporter final : public StepReporter {
    public:
        Reporter(InOrderRunner& runner, int& steps) : runner_(runner), steps_(steps) {}
        void StepDone() override
        {
            const std::lock_guard lock(runner_.mutex_);
            ++steps_;
            runner_.changed_.notify_all();
        }

    private:
        InOrderRunner& runner_;
        int& steps_;
    };

    void StartWorkers()
    {
        threads_.reserve(width_);
        for (std::size_t i = 0; i < width_; ++i) {
            try {
                threads_.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break;
            }
        }
    }

    void StopWorkers()
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            changed_.notify_all();
        }
        threads_.clear();
    }

    // The calling thread: waits for each item in turn, shows its steps and consumes it.
    void HandInOrder()
    {
        for (std::size_t index = 0; index < count_; ++index) {
            job_.StepShown(index, 0);
            Result result = threads_.empty() ? ProduceHere(index) : TakeFromWorkers(index);
            if (!job_.Consume(index, result))
                return;
        }
    }

    Result ProduceHere(std::size_t index)
    {
        Result result = Produce(index);
        for (int step = 1; step <= items_[index].steps; ++step)
            job_.StepShown(index, step);
        return result;
    }

    // Shows the steps of `index` as its worker reports them, then takes its result and frees
    // what it held.
    Result TakeFromWorkers(std::size_t index)
    {
        Item& item = items_[index];
        std::unique_lock lock(mutex_);
        for (int shown = 0;;) {
            changed_.wait(lock, [&] { return item.steps > shown || item.result.has_value(); });
            if (item.steps == shown)
                break;
            const int reached = item.steps;
            lock.unlock();
            while (shown < reached)
                job_.StepShown(index, ++shown);
            lock.lock();
        }
        held_ -= item.held;
        handed_ = index + 1;
        changed_.notify_all();
        Result result = std::move(*item.result);
        item.result.reset();
        return result;
    }

    // A worker thread: takes the next item in turn, or one out of turn, until none is left.
    void Work()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            std::size_t other = count_;
            changed_.wait(lock, [&] {
                return stopping_ || next_ >= count_ || next_ < handed_ + lookahead_ || (other = OutOfTurn()) < count_;
            });
            if (stopping_ || next_ >= count_)
                return;
            if (next_ < handed_ + lookahead_)
                RunInTurn(lock, next_);
            else
                RunOutOfTurn(lock, other);
        }
    }

    // Starts `index` once every earlier item has started and its cost fits the budget, or
    // nothing is held but the results of later items: an item over the budget runs alone.
    void RunInTurn(std::unique_lock<std::mutex>& lock, std::size_t index)
    {
        Take(index);
        LearnCost(lock, index);
        const uint64_t cost = *items_[index].cost;
        // Results of items out of their turn are freed only after this item's Consume, so
        // they do not keep it from starting alone.
        changed_.wait(lock,
                      [&] { return stopping_ || (started_ == index && (held_ == ResultsAfter(index) || Fits(cost))); });
        if (stopping_)
            return;
        Admit(index);
        ProduceAndKeep(lock, index);
    }

    void RunOutOfTurn(std::unique_lock<std::mutex>& lock, std::size_t index)
    {
        if (!items_[index].cost) {
            LearnCost(lock, index);
            return;
        }
        Take(index);
        Admit(index);
        ProduceAndKeep(lock, index);
    }

    // An item beyond the lookahead that may start out of its turn now, or one whose cost is to
    // be asked first; count_ when there is none. Only while every item of the lookahead has
    // started, up to twice the lookahead further on, and only an item that fits the budget and
    // the room beside the item waited for (RoomBesideWaited).
    std::size_t OutOfTurn() const
    {
        if (next_ < std::min(handed_ + lookahead_, count_))
            return count_;
        const uint64_t room = RoomBesideWaited();
        for (std::size_t i = next_; i < std::min(handed_ + reach_, count_); ++i) {
            const Item& item = items_[i];
            if (item.claimed || item.costing)
                continue;
            if (!item.cost || (*item.cost <= room && Fits(*item.cost)))
                return i;
        }
        return count_;
    }

    // The largest cost of the items the lookahead lets start beside the item waited for, less
    // what every item after that one holds: an item out of turn takes no more memory than one
    // of those could, and a large item still waits for its turn.
    uint64_t RoomBesideWaited() const
    {
        const std::size_t turnEnd = std::min(handed_ + lookahead_, count_);
        uint64_t largest = 0;
        uint64_t besideHeld = 0;
        for (std::size_t i = handed_ + 1; i < std::min(handed_ + reach_, count_); ++i) {
            if (i < turnEnd)
                largest = std::max(largest, items_[i].cost.value_or(0));
            besideHeld += Holds(items_[i]);
        }
        return largest - std::min(besideHeld, largest);
    }

    bool Fits(uint64_t cost) const { return cost <= budget_ - std::min(held_, budget_); }

    uint64_t Holds(const Item& item) const { return !item.admitted ? 0 : item.result ? item.held : *item.cost; }

    // What the finished results after `index` hold: all ran out of their turn.
    uint64_t ResultsAfter(std::size_t index) const
    {
        uint64_t bytes = 0;
        for (std::size_t i = index + 1; i < std::min(handed_ + reach_, count_); ++i)
            bytes += items_[i].result ? items_[i].held : 0;
        return bytes;
    }

    void Take(std::size_t index)
    {
        items_[index].claimed = true;
        while (next_ < count_ && items_[next_].claimed)
            ++next_;
    }

    void Admit(std::size_t index)
    {
        items_[index].admitted = true;
        held_ += *items_[index].cost;
        while (started_ < count_ && items_[started_].admitted)
            ++started_;
        changed_.notify_all();
    }

    // Asks the job for the cost of `index`, unless known, with the lock released.
    void LearnCost(std::unique_lock<std::mutex>& lock, std::size_t index)
    {
        Item& item = items_[index];
        if (item.cost)
            return;
        item.costing = true;
        lock.unlock();
        const uint64_t cost = job_.Cost(index);
        lock.lock();
        item.costing = false;
        item.cost = cost;
        changed_.notify_all();
    }

    Result Produce(std::size_t index)
    {
        Reporter reporter(*this, items_[index].steps);
        return job_.Produce(index, reporter);
    }

    // Produces the admitted item `index` with the lock released, and keeps its result.
    void ProduceAndKeep(std::unique_lock<std::mutex>& lock, std::size_t index)
    {
        lock.unlock();
        Result result = Produce(index);
        const uint64_t resultBytes = job_.HeldBytes(result);
        lock.lock();
        Item& item = items_[index];
        held_ = held_ - *item.cost + resultBytes;
        item.held = resultBytes;
        item.result.emplace(std::move(result));
        changed_.notify_all();
    }

    const std::size_t count_;
    const std::size_t width_; // worker threads to start
    const std::size_t lookahead_;
    const std::size_t reach_; // no item starts this far beyond the one waited for
    const uint64_t budget_;
    Job& job_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Item> items_;
    std::size_t next_ = 0;    // the first item no worker has taken
    std::size_t started_ = 0; // the first item not admitted; in turn, items are admitted in order
    std::size_t handed_ = 0;  // items below it are handed to Consume
    uint64_t held_ = 0;       // bytes held by admitted items not yet handed
    bool stopping_ = false;
    std::vector<std::jthread> threads_; // declared after the state they use: joined first
};

// One run of an InOrderRunner.
template <typename Result, typename Job>
void RunInOrder(std::size_t count, const InOrderLimits& limits, Job& job)
{
    InOrderRunner<Result, Job>(count, limits, job).Run();
}

} // namespace gustara
