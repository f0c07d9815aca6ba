#pragma once

#include <functional>

class QObject;

namespace gustara {

// Runs the operation on the user-interface thread (the thread of the application object)
// and blocks the calling worker until it has returned. An exception thrown by the operation
// is caught on the user-interface thread and thrown again, unchanged, in the caller. Called
// on the user-interface thread itself, it runs the operation directly. The user-interface
// thread must keep its event loop running and must never wait for a worker that may call
// this, or both block for ever. Throws std::logic_error when no application object exists
// and std::runtime_error when the application ends before the operation could run.
void RunOnUiThread(const std::function<void()>& operation);

// Queues the operation for the thread of `receiver` and returns at once, without waiting for
// it; the operation owns copies of what it uses. Operations posted from one thread, and calls
// of RunOnUiThread from it, run in the order they were made. An operation still queued when the
// receiver is destroyed is dropped. Never fails; the operation must not throw.
void PostToUiThread(QObject& receiver, std::function<void()> operation);

} // namespace gustara
