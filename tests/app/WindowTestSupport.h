#pragma once

// Helpers of the window tests: a settings folder of their own and the answering of the
// message boxes that the window opens.

#include <QAbstractButton>
#include <QApplication>
#include <QByteArray>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>

#include <functional>
#include <vector>

namespace gustara::test {

// The window's child of that object name and type; ends the test program when there is none.
template <class Widget>
Widget* Child(const QObject& window, const char* name)
{
    auto* child = window.findChild<Widget*>(QString::fromLatin1(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

// A temporary XDG_CONFIG_HOME for one test; the window's settings file lies below it.
class ConfigHome {
public:
    ConfigHome() { qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8()); }
    ~ConfigHome() { qunsetenv("XDG_CONFIG_HOME"); }
    QString path() const { return dir_.path(); }
    QString settingsDir() const { return dir_.path() + QStringLiteral("/Ferrowin/GustaraWorks/"); }
    QString iniPath() const { return settingsDir() + QStringLiteral("config.ini"); }

    void writeIni(const QByteArray& bytes) const
    {
        QDir().mkpath(settingsDir());
        QFile file(iniPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test settings file");
    }
    QByteArray readIni() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};

// What one message box showed.
struct SeenMessageBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttonCount = 0;
    bool modal = false;
};

// Runs `action` and answers every message box it opens by pressing its first button;
// returns the boxes in the order they appeared.
inline std::vector<SeenMessageBox> AnswerMessageBoxes(const std::function<void()>& action)
{
    std::vector<SeenMessageBox> seen;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->buttons().isEmpty())
            return;
        seen.push_back({box->windowTitle(), box->text(), box->icon(), box->buttons().size(), box->isModal()});
        box->buttons().first()->click();
    });
    poll.start();
    action();
    return seen;
}

// What the window manager sends when the user asks to close the window; true if accepted.
inline bool CloseFromTheWindowManager(QWidget& window)
{
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    // notify, unlike sendEvent, keeps the event spontaneous, as QTest does for keys.
    qApp->notify(&window, &event);
    return event.isAccepted();
}

} // namespace gustara::test
