#include "FileKind.h"

#include <sys/stat.h>

namespace gustara {

FileKind KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return FileKind::Folder;
    return S_ISREG(mode) ? FileKind::RegularFile : FileKind::Other;
}

} // namespace gustara
