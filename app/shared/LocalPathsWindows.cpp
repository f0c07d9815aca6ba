#include "shared/LocalPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace gustara {

// On Windows a path is UTF-16 at the system and UTF-8 inside; it is shown with the system's
// own separator.

std::string LocalPathBytes(const QUrl& url)
{
    return QDir::toNativeSeparators(url.toLocalFile()).toStdString();
}

QUrl LocalFileUrl(const std::string& path)
{
    return QUrl::fromLocalFile(QString::fromStdString(path));
}

std::vector<std::string> CommandLinePaths(int argc, char** argv)
{
    // argv is in the ANSI code page, which cannot hold every name; Qt's list comes from the
    // UTF-16 command line, with Qt's own options taken out as they were from argv.
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != argc) {
        arguments.clear();
        for (int i = 0; i < argc; ++i)
            arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    std::vector<std::string> paths;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString local = argument.startsWith(QLatin1String("file://")) ? QUrl(argument).toLocalFile() : argument;
        paths.push_back(QDir::toNativeSeparators(QFileInfo(local).absoluteFilePath()).toStdString());
    }
    return paths;
}

} // namespace gustara
