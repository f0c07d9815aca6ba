#include "shell/CloseOnStopSignal.h"

#include "batch/StopSignals.h"
#include "main/UnitMain.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace gustara {

CloseOnStopSignal::CloseOnStopSignal(TFormMain& window)
    : Window(window)
{
    if (::pipe2(WakeUp, O_NONBLOCK | O_CLOEXEC) == 0) {
        Notifier = new QSocketNotifier(WakeUp[0], QSocketNotifier::Read, this);
        connect(Notifier, &QSocketNotifier::activated, this, &CloseOnStopSignal::StopSignalArrived);
        WakeOnStopSignal(WakeUp[1]);
    }
    CatchStopSignals();
    // A signal caught before the pipe was in place woke nothing.
    if (StopSignalled())
        QMetaObject::invokeMethod(this, &CloseOnStopSignal::StopSignalArrived, Qt::QueuedConnection);
}

CloseOnStopSignal::~CloseOnStopSignal()
{
    WakeOnStopSignal(-1);
    for (const int end : WakeUp)
        if (end >= 0)
            ::close(end);
}

void CloseOnStopSignal::StopSignalArrived()
{
    char drained[64];
    while (WakeUp[0] >= 0 && ::read(WakeUp[0], drained, sizeof drained) > 0) {
    }
    // During a batch the window stops it and closes itself once it has ended.
    if (Window.close())
        EndWhenClosed();
    else
        connect(&Window, &TFormMain::BatchEnded, this, &CloseOnStopSignal::EndWhenClosed, Qt::UniqueConnection);
}

void CloseOnStopSignal::EndWhenClosed()
{
    // Message boxes and other windows open in the meantime must not keep the program alive.
    if (!Window.isVisible())
        QCoreApplication::exit(StopExitStatus());
}

} // namespace gustara
