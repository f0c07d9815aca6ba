#include "batch/StopSignals.h"

#include <csignal>
#include <io.h>
#include <windows.h>

namespace gustara {

namespace {

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

std::atomic<bool> stopSignalled{false};
std::atomic<int> caughtSignal{0};
std::atomic<int> wakeUpFd{-1};

// The console's events in the signals' terms, so the exit status is the one Linux gives: Ctrl+C
// and Ctrl+Break as SIGINT, a closed console window, a logoff or a shutdown as SIGHUP.
int SignalOf(DWORD event)
{
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : 1;
}

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI RecordStopEvent(DWORD event)
{
    caughtSignal.store(SignalOf(event));
    stopSignalled.store(true);
    const int fd = wakeUpFd.load();
    if (fd >= 0) {
        const char wakeUp = 1;
        ::_write(fd, &wakeUp, 1);
    }
    // For a closed console the process ends as soon as this returns: waiting here lets the
    // batch finish the file it is writing and end itself, within the time the system allows.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        ::Sleep(INFINITE);
    return TRUE;
}

} // namespace

void CatchStopSignals()
{
    // A process started with Ctrl+C ignored (a new process group) keeps ignoring it: the system
    // then calls no handler for it.
    ::SetConsoleCtrlHandler(RecordStopEvent, TRUE);
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
