#include "shell/CloseOnStopSignal.h"

#include "batch/StopSignals.h"
#include "main/UnitMain.h"

#include <QCoreApplication>

namespace gustara {

CloseOnStopSignal::CloseOnStopSignal(TFormMain& window)
    : Window(window), Watch(WatchStopSignals(window, [this] { StopSignalArrived(); }))
{
    CatchStopSignals();
    // A signal caught before the wake-up was in place woke nothing.
    if (StopSignalled())
        QMetaObject::invokeMethod(this, &CloseOnStopSignal::StopSignalArrived, Qt::QueuedConnection);
}

CloseOnStopSignal::~CloseOnStopSignal() = default;

void CloseOnStopSignal::StopSignalArrived()
{
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
