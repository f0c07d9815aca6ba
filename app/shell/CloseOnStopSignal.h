#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace gustara {

class TFormMain;

// Closes the main window as its close button does when SIGINT, SIGTERM or SIGHUP arrives (a
// kill, the end of the desktop session, Ctrl+C in or the closing of the terminal that started
// it; on Windows the console's control events and the end of the session): a batch in progress
// stops as 中止 stops it, the file being written is finished or never appears, no temporary
// file stays, and then the program ends, whatever other window is open. Create it on the
// user-interface thread once the main window exists; it catches the signals
// (CatchStopSignals) and answers one that came before. Without a wake-up (WatchStopSignals)
// the signals only stop a batch. Never throws.
class CloseOnStopSignal : public QObject {
public:
    explicit CloseOnStopSignal(TFormMain& window);
    ~CloseOnStopSignal() override;
    CloseOnStopSignal(const CloseOnStopSignal&) = delete;
    CloseOnStopSignal& operator=(const CloseOnStopSignal&) = delete;

private:
    void StopSignalArrived();
    // Ends the event loops once the main window is closed, with the signal's exit status.
    void EndWhenClosed();

    TFormMain& Window;
    std::unique_ptr<QObject> Watch;
};

// What wakes the user-interface thread when a stop signal arrives, calling `arrived` there:
// on Linux a pipe that the signal handler writes to; on Windows the console's control events
// and the end of the Windows session, before which `window` saves its settings itself,
// since Windows ends the process once the session-end message has been answered. Created
// before the signals are caught; never throws.
std::unique_ptr<QObject> WatchStopSignals(TFormMain& window, std::function<void()> arrived);

} // namespace gustara
