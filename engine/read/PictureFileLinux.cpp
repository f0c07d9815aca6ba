#include "read/PictureFile.h"

#include "EngineError.h"
#include "FileKind.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gustara {

namespace {

// The reason for a failed open or stat, from errno.
[[noreturn]] void ThrowOpenFailure(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        ThrowReadFailure(ReadFailure::Missing, {});
    case EACCES:
    case EPERM:
        ThrowReadFailure(ReadFailure::NoPermission, {});
    case ENOMEM:
        ThrowReadFailure(ReadFailure::OutOfMemory, {});
    default:
        ThrowReadFailure(ReadFailure::CannotRead, {}, std::strerror(error));
    }
}

} // namespace

PictureFile OpenForReading(const std::string& path)
{
    // Non-blocking, so that opening a named pipe does not wait for a writer; reads of the
    // regular file it must turn out to be never block anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        ThrowOpenFailure(errno);
    PictureFile file;
    file.handle.reset(::fdopen(fd, "rb"));
    if (!file.handle) {
        const int error = errno;
        ::close(fd);
        ThrowOpenFailure(error);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        ThrowOpenFailure(errno);
    switch (KindOf(info.st_mode)) {
    case FileKind::Folder:
        ThrowReadFailure(ReadFailure::Folder, {});
    case FileKind::RegularFile:
        break;
    default:
        ThrowReadFailure(ReadFailure::NotAFile, {});
    }
    if (info.st_size == 0)
        ThrowReadFailure(ReadFailure::Empty, {});
    file.size = static_cast<uint64_t>(info.st_size);
    return file;
}

void AdviseWholeRead(std::FILE* file)
{
    ::posix_fadvise(::fileno(file), 0, 0, POSIX_FADV_WILLNEED);
}

} // namespace gustara
