#include "read/PictureFile.h"

#include "EngineError.h"
#include "platform/WindowsText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <windows.h>

namespace gustara {

namespace {

// The reason for a failed open or look at the file, from GetLastError.
[[noreturn]] void ThrowOpenFailure(DWORD error)
{
    switch (ErrnoOf(error)) {
    case ENOENT:
    case ENOTDIR:
        ThrowReadFailure(ReadFailure::Missing, {});
    case EACCES:
        ThrowReadFailure(ReadFailure::NoPermission, {});
    case ENOMEM:
        ThrowReadFailure(ReadFailure::OutOfMemory, {});
    default:
        ThrowReadFailure(ReadFailure::CannotRead, {}, SystemErrorText(error));
    }
}

struct HandleCloser {
    void operator()(void* handle) const { ::CloseHandle(handle); }
};

} // namespace

PictureFile OpenForReading(const std::string& path)
{
    // Others may go on reading, writing, renaming or deleting the file meanwhile, as on Linux.
    // A folder opens too, so it is named as one; nothing waits for a pipe's writer.
    const HANDLE opened =
        ::CreateFileW(WideText(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        ThrowOpenFailure(::GetLastError());
    std::unique_ptr<void, HandleCloser> handle(opened);
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileType(opened) != FILE_TYPE_DISK)
        ThrowReadFailure(ReadFailure::NotAFile, {});
    if (!::GetFileInformationByHandle(opened, &information))
        ThrowOpenFailure(::GetLastError());
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        ThrowReadFailure(ReadFailure::Folder, {});
    const uint64_t size = (uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    if (size == 0)
        ThrowReadFailure(ReadFailure::Empty, {});
    // Binary: in text mode the C library would turn "\r\n" into "\n" and stop at a byte 0x1A.
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(opened), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        ThrowReadFailure(ReadFailure::CannotRead, {}, std::strerror(errno));
    handle.release(); // the descriptor owns it now
    PictureFile file;
    file.handle.reset(::_fdopen(fd, "rb"));
    if (!file.handle) {
        const int error = errno;
        ::_close(fd);
        ThrowReadFailure(ReadFailure::CannotRead, {}, std::strerror(error));
    }
    file.size = size;
    return file;
}

void AdviseWholeRead(std::FILE*)
{
    // FILE_FLAG_SEQUENTIAL_SCAN at the open asked for the read-ahead already.
}

} // namespace gustara
