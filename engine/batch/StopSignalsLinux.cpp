#include "batch/StopSignals.h"

#include <cerrno>
#include <csignal>

#include <unistd.h>

namespace gustara {

namespace {

// Only lock-free atomics may be touched by a signal handler.
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

std::atomic<bool> stopSignalled{false};
std::atomic<int> caughtSignal{0};
std::atomic<int> wakeUpFd{-1};

extern "C" void RecordStopSignal(int signal)
{
    caughtSignal.store(signal);
    stopSignalled.store(true);
    const int fd = wakeUpFd.load();
    if (fd >= 0) {
        // The interrupted code may look at errno right after the handler returns.
        const int savedErrno = errno;
        const char wakeUp = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &wakeUp, 1);  // a full pipe is awake already
        errno = savedErrno;
    }
}

void Catch(int signal)
{
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
        return;
    struct sigaction action {};
    action.sa_handler = RecordStopSignal;
    sigemptyset(&action.sa_mask);
    // A read or write that a signal interrupts goes on instead of failing the picture.
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

void CatchStopSignals()
{
    Catch(SIGINT);
    Catch(SIGTERM);
    // The terminal that started the program was closed: a stop like any other.
    Catch(SIGHUP);
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
