#include "batch/StopRecord.h"
#include "batch/StopSignals.h"

namespace gustara {

namespace {

// Only lock-free atomics may be touched by a signal handler.
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

std::atomic<bool> stopSignalled{false};
std::atomic<int> caughtSignal{0};
std::atomic<int> wakeUpFd{-1};

} // namespace

int RecordStop(int signal)
{
    caughtSignal.store(signal);
    stopSignalled.store(true);
    return wakeUpFd.load();
}

void WakeOnStopSignal(int fd)
{
    wakeUpFd.store(fd);
}

const std::atomic<bool>& StopSignalled()
{
    return stopSignalled;
}

int StopExitStatus()
{
    const int signal = caughtSignal.load();
    return signal == 0 ? 0 : 128 + signal;
}

} // namespace gustara
