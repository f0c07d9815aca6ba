#include "FileKind.h"

#include <sys/stat.h>

namespace gustara {

FileKind KindAt(const std::string& path, Links links)
{
    struct stat info {};
    const int result = links == Links::Followed ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    return result == 0 ? KindOf(info.st_mode) : FileKind::Nothing;
}

} // namespace gustara
