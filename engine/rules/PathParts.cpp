#include "rules/PathParts.h"

#include "rules/Defaults.h"

namespace gustara {

std::string_view FolderPart(std::string_view path)
{
    const auto slash = path.find_last_of(PathSeparators());
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
}

bool EndsWithSeparator(std::string_view path)
{
    return !path.empty() && PathSeparators().find(path.back()) != std::string_view::npos;
}

std::string_view NamePart(std::string_view path)
{
    return path.substr(FolderPart(path).size());
}

std::string_view ExtensionOf(std::string_view path)
{
    const std::string_view name = NamePart(path);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string_view PathWithoutExtension(std::string_view path)
{
    return path.substr(0, path.size() - ExtensionOf(path).size());
}

StemAndExtension SplitAtExtension(std::string_view path)
{
    return {std::string(PathWithoutExtension(path)), std::string(ExtensionOf(path))};
}

std::string ReplaceExtension(std::string_view path, std::string_view newExtension)
{
    std::string result(PathWithoutExtension(path));
    result += newExtension;
    return result;
}

std::string SavePathFor(std::string_view sourcePath, std::string_view intoFolder)
{
    if (intoFolder.empty())
        return ReplaceExtension(sourcePath, kOutputExtension);
    std::string path(intoFolder);
    if (!EndsWithSeparator(path))
        path += '/';
    return path + ReplaceExtension(NamePart(sourcePath), kOutputExtension);
}

std::string UpperAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

} // namespace gustara
