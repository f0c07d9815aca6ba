#include "StopSignals.h"

#include <csignal>

namespace gustara::cli {

namespace {

// Only lock-free atomics may be touched by a signal handler.
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

std::atomic<bool> stopSignalled{false};
std::atomic<int> caughtSignal{0};

extern "C" void RecordStopSignal(int signal)
{
    caughtSignal.store(signal);
    stopSignalled.store(true);
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

} // namespace gustara::cli
