#include "shared/LocalPaths.h"

#include <QByteArray>

#include <filesystem>
#include <string_view>

namespace gustara {

std::string LocalPathBytes(const QUrl& url)
{
    // The fully encoded form keeps the bytes that are not UTF-8 as their percent escapes.
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

QUrl LocalFileUrl(const std::string& path)
{
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"), QUrl::StrictMode);
}

std::vector<std::string> CommandLinePaths(int argc, char** argv)
{
    std::vector<std::string> paths;
    std::error_code noFolder;
    const std::string folder = std::filesystem::current_path(noFolder).native();
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with("file://"))
            paths.push_back(LocalPathBytes(QUrl::fromEncoded(QByteArray(argument.data(), argument.size()))));
        else if (argument.starts_with('/') || folder.empty())
            paths.emplace_back(argument);
        else
            paths.push_back(folder + (folder.ends_with('/') ? "" : "/") + std::string(argument));
    }
    return paths;
}

} // namespace gustara
