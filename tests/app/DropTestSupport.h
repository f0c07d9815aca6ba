#pragma once

// Helpers of the drop and batch tests: picture files to drop, drops delivered as Qt events,
// and the three windows of the program wired as at start-up.

#include "TestFiles.h"
#include "about/UnitAbout.h"
#include "main/UnitMain.h"
#include "progress/UnitStatus.h"
#include "write/JpegWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace gustara::test {

// How long a test waits for a batch of a few small pictures to end.
constexpr int kBatchTimeoutMs = 20000;

// The main window with its progress and About windows, attached as the program does.
struct ProgramWindows {
    TFormMain main;
    TFormStatus status{&main};
    TFormAbout about{&main};
    ProgramWindows() { main.AttachWindows(status, about); }
};

// Writes a small JPEG picture (a source that decodes) at path, given as bytes or as text.
inline void WriteJpegSource(const std::string& path, uint32_t seed = 1)
{
    WriteFileBytes(path, EncodeJpeg(MakeTestPicture(24, 16, seed), 95, false));
}

inline void WriteJpegSource(const QString& path, uint32_t seed = 1)
{
    WriteJpegSource(path.toStdString(), seed);
}

// Writes text under a picture's name: a source that is accepted but cannot be decoded.
inline void WriteUndecodableSource(const QString& path)
{
    const std::string text = "not a picture";
    WriteFileBytes(path.toStdString(), std::vector<uint8_t>(text.begin(), text.end()));
}

inline QList<QUrl> LocalUrls(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.push_back(QUrl::fromLocalFile(path));
    return urls;
}

// Delivers a drag entering the widget and the drop of urls, offered as URLs and as text as
// a file manager does; returns whether the widget took the drop. The main window handles
// the drop at the next turn of the event loop.
inline bool SendDrop(QWidget& target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QStringList lines;
    for (const QUrl& url : urls)
        lines.push_back(url.toString());
    data.setText(lines.join("\r\n"));
    const QPoint centre = target.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

// SendDrop, then handles the drop at once (a message box it shows is modal and returns
// only when answered).
inline bool DropAndHandle(QWidget& target, const QList<QUrl>& urls)
{
    const bool taken = SendDrop(target, urls);
    QCoreApplication::sendPostedEvents(&target, QEvent::MetaCall);
    return taken;
}

inline bool Exists(const QString& path)
{
    return QFileInfo::exists(path);
}

// For a path given as bytes, which need not be UTF-8.
inline bool Exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

} // namespace gustara::test
