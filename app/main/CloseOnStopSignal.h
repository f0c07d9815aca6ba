#pragma once

#include <QObject>

class QSocketNotifier;

namespace gustara {

class TFormMain;

// Closes the main window as its close button does when SIGINT, SIGTERM or SIGHUP arrives (a
// kill, the end of the desktop session, Ctrl+C in or the closing of the terminal that started it): a batch in progress
// stops as 中止 stops it, the file being written is finished or never appears, no temporary
// file stays, and then the program ends, whatever other window is open. Create it on the
// user-interface thread once the main window exists; it catches the signals
// (CatchStopSignals) and answers one that came before. Without a pipe for the wake-up the
// signals only stop a batch. Never throws.
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
    int WakeUp[2] = {-1, -1};  // the pipe the signal handler writes to: read end, write end
    QSocketNotifier* Notifier = nullptr;
};

} // namespace gustara
