#include "platform/SystemPath.h"

#include "platform/WindowsText.h"

namespace gustara {

// The narrow strings of std::filesystem are in the ANSI code page, which cannot hold every
// name: the path is built from and read back as UTF-16.
std::filesystem::path SystemPath(std::string_view path)
{
    return std::filesystem::path(WideText(path));
}

std::string PathText(const std::filesystem::path& path)
{
    return Utf8Text(path.native());
}

} // namespace gustara
