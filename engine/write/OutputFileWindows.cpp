#include "write/OutputFile.h"

#include "EngineError.h"
#include "FileKind.h"
#include "platform/WindowsText.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"

#include <cerrno>
#include <memory>
#include <random>
#include <utility>
#include <windows.h>

namespace gustara {

namespace {

struct HandleCloser {
    void operator()(void* handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// `error` is the errno of the step that failed; it names the cause after the path.
EngineError CannotCreate(const std::string& path, int error)
{
    return EngineError(CannotCreateFileText(path, error));
}

int LastErrno()
{
    return ErrnoOf(::GetLastError());
}

// A name held by a folder cannot become the file; any other entry means "try the next name".
NewFileResult NameTakenUnlessFolder(const std::string& path)
{
    if (KindAt(path, Links::AsThemselves) == FileKind::Folder)
        throw CannotCreate(path, EISDIR);
    return NewFileResult::NameTaken;
}

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {
            ::SetLastError(ERROR_DISK_FULL); // nothing written without an error: no room is all it can mean
            return false;
        }
        bytes = bytes.subspan(written);
    }
    return true;
}

// A new hidden-by-name file beside the target (Windows has no unnamed files), made only when no
// entry holds its name, so nothing planted there is ever written through; its name is returned
// in `temporary`.
Handle CreateTemporary(const std::string& path, std::wstring& temporary)
{
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = WideText(std::string(FolderPart(path)) + ".gustara-" + std::to_string(random() % 1000000000));
        const HANDLE file =
            ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return Handle(file);
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return Handle();
}

} // namespace

OpenedFolder::OpenedFolder(const std::string& path, const std::string& forFile)
    : handle_(-1), path_(EndsWithSeparator(path) ? path : path + '/')
{
    const std::wstring wide = WideText(path);
    const int madeError = ::CreateDirectoryW(wide.c_str(), nullptr) ? 0 : LastErrno();
    // Held without sharing the right to delete, so the folder cannot be renamed or removed, nor a
    // link put in its place, while files are written into it. A link or junction at the name is
    // opened as itself, never followed.
    const HANDLE opened =
        ::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const int error = LastErrno();
        // A folder that could not be made is missing for the reason it could not be made.
        throw CannotCreate(forFile, error == ENOENT && madeError != 0 && madeError != EEXIST ? madeError : error);
    }
    Handle folder(opened);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(opened, &information))
        throw CannotCreate(forFile, LastErrno());
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        throw EngineError(WithDetail(Format(Message::CannotCreateFile, {forFile}), Text(Message::WriteLinkAtFolder)));
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        throw CannotCreate(forFile, ENOTDIR);
    handle_ = reinterpret_cast<std::intptr_t>(folder.release());
}

OpenedFolder::OpenedFolder(OpenedFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_))
{
}

OpenedFolder::~OpenedFolder()
{
    if (handle_ != -1)
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

// The folder opened as `in` is held while this runs, so the path still leads into it.
NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes, const OpenedFolder*)
{
    if (KindAt(path, Links::AsThemselves) != FileKind::Nothing)
        return NameTakenUnlessFolder(path);
    std::wstring temporary;
    Handle file = CreateTemporary(path, temporary);
    if (!file)
        throw CannotCreate(path, LastErrno());
    // Forced to the disk before the file gets its name, so a deferred write error shows while
    // nothing is visible yet.
    const bool written = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    int error = written ? 0 : LastErrno();
    if (!::CloseHandle(file.release()) && error == 0)
        error = LastErrno();
    if (error != 0) {
        ::DeleteFileW(temporary.c_str());
        throw CannotCreate(path, error);
    }
    // Without MOVEFILE_REPLACE_EXISTING the move fails rather than replace anything.
    if (::MoveFileExW(temporary.c_str(), WideText(path).c_str(), MOVEFILE_WRITE_THROUGH))
        return NewFileResult::Written;
    error = LastErrno();
    ::DeleteFileW(temporary.c_str());
    if (error != EEXIST)
        throw CannotCreate(path, error);
    return NameTakenUnlessFolder(path);
}

} // namespace gustara
