#pragma once

#include <atomic>

namespace gustara {

// SIGINT, SIGTERM and SIGHUP ask for a stop instead of ending the process at once: the handler only
// records the signal (and wakes the descriptor given to WakeOnStopSignal), and the batch sees
// it through StopSignalled() before each picture starts and before each file is written, so a
// file being written is finished or never appears, its temporary file included. A signal that
// was ignored when the program started (as for a background job of a script, or under nohup)
// stays ignored. Interrupted system calls restart. Does not fail: a handler that cannot be
// installed leaves that signal as it was.
void CatchStopSignals();

// From now on each caught signal also writes one byte to `fd` (the write end of a
// non-blocking pipe), so that an event loop waiting on the read end wakes up; -1 stops it.
// The descriptor must stay open until then.
void WakeOnStopSignal(int fd);

// Set from the first caught stop signal on; read by the batch from any thread.
const std::atomic<bool>& StopSignalled();

// 128 plus the number of the last caught signal (130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP), or 0
// while none has been caught.
int StopExitStatus();

} // namespace gustara
