#include "shell/HandedPictures.h"

#include "main/UnitMain.h"
#include "progress/UnitStatus.h"

#include <QApplication>
#include <QEvent>

#include <utility>

namespace gustara {

HandedPictures::HandedPictures(TFormMain& window, TFormStatus& status) : Window(window), Status(status)
{
    Window.installEventFilter(this);
    connect(&Window, &TFormMain::BatchEnded, this, &HandedPictures::TryDeliver, Qt::QueuedConnection);
}

void HandedPictures::Add(std::vector<std::string> paths)
{
    Waiting.insert(Waiting.end(), std::make_move_iterator(paths.begin()), std::make_move_iterator(paths.end()));
    Window.setWindowState(Window.windowState() & ~Qt::WindowMinimized);
    Window.raise();
    Window.activateWindow();
    QMetaObject::invokeMethod(this, &HandedPictures::TryDeliver, Qt::QueuedConnection);
}

bool HandedPictures::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::WindowActivate)
        QMetaObject::invokeMethod(this, &HandedPictures::TryDeliver, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void HandedPictures::TryDeliver()
{
    // A closed window is on its way out after its batch: the program ends.
    if (Waiting.empty() || Window.IsConverting() || !Window.isVisible() || QApplication::activeModalWidget())
        return;
    if (!Window.isEnabled()) {
        // The progress window shows how a batch ended.
        if (!Window.ConvertSucceeded)
            return;
        Status.BtnCloseClick();
    }
    Window.OpenPaths(std::exchange(Waiting, {}));
}

} // namespace gustara
