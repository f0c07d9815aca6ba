#pragma once

// What the stop handlers of each system share: the record of the first and last stop asked for.
namespace gustara {

// Records `signal` (a stop is asked from now on) and returns the descriptor to wake, or -1.
// Safe in a signal handler: it only touches lock-free atomics.
int RecordStop(int signal);

} // namespace gustara
