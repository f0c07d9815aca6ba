#include "platform/SystemPath.h"

namespace gustara {

// A Linux name is bytes: they go through unchanged, UTF-8 or not.
std::filesystem::path SystemPath(std::string_view path)
{
    return std::filesystem::path(std::string(path));
}

std::string PathText(const std::filesystem::path& path)
{
    return path.string();
}

} // namespace gustara
