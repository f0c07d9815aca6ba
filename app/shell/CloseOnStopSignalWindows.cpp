#include "shell/CloseOnStopSignal.h"

#include "batch/StopSignals.h"
#include "main/UnitMain.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>

namespace gustara {

namespace {

// The console's control handler only records the event, as a signal handler does; a window
// program seldom has a console, so a look now and then is enough.
constexpr int kLookMilliseconds = 250;
// Windows waits a few seconds for the answer to the session's end before it asks the user.
constexpr int kSessionEndMilliseconds = 4000;

class StopWatch : public QObject {
public:
    StopWatch(TFormMain& window, std::function<void()> arrived) : Window(window), Arrived(std::move(arrived))
    {
        auto* look = new QTimer(this);
        connect(look, &QTimer::timeout, this, [this, look] {
            if (StopSignalled()) {
                look->stop();
                Arrived();
            }
        });
        look->start(kLookMilliseconds);
        connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { SessionEnds(); });
    }

private:
    // Once the session-end message is answered the process is ended without returning to
    // main(), so the settings the window saves as it is destroyed are saved here.
    void SessionEnds()
    {
        Arrived();
        const QDeadlineTimer deadline(kSessionEndMilliseconds);
        while (Window.IsConverting() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        Window.SaveConfig();
    }

    TFormMain& Window;
    std::function<void()> Arrived;
};

} // namespace

std::unique_ptr<QObject> WatchStopSignals(TFormMain& window, std::function<void()> arrived)
{
    return std::make_unique<StopWatch>(window, std::move(arrived));
}

} // namespace gustara
