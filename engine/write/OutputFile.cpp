#include "write/OutputFile.h"

#include "EngineError.h"
#include "FileKind.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace gustara {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (a deferred write error shows here).
    bool close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

// `error` is the errno of the step that failed; it names the cause after the path.
EngineError CannotCreate(const std::string& path, int error)
{
    return EngineError(CannotCreateFileText(path, error));
}

bool WriteAll(int fd, std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = ENOSPC;  // nothing written without an error: no room is all it can mean
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const std::string_view folder = FolderPart(path);
    return folder.empty() ? std::string(".") : std::string(folder);
}

// A symbolic link counts as itself, dangling or not: nothing is ever written through one.
bool FolderExists(const std::string& path)
{
    return KindAt(path, Links::AsThemselves) == FileKind::Folder;
}

bool EntryExists(const std::string& path)
{
    return KindAt(path, Links::AsThemselves) != FileKind::Nothing;
}

// A name held by a folder cannot become the file; any other entry means "try the next name".
NewFileResult NameTakenUnlessFolder(const std::string& path)
{
    if (FolderExists(path))
        throw CannotCreate(path, EISDIR);
    return NewFileResult::NameTaken;
}

// Forces the data to the disk before the file gets its name: a deferred write error (a full
// or failing disk, a network file system) shows while nothing is visible yet, and a power
// cut cannot leave the name pointing at missing data.
bool WriteDurably(int fd, std::span<const uint8_t> bytes)
{
    return WriteAll(fd, bytes) && ::fdatasync(fd) == 0;
}

// Links the finished, unnamed file into place; link fails with EEXIST rather than replace.
NewFileResult LinkIntoPlace(int fd, const std::string& path)
{
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return NewFileResult::Written;
    if (errno == EEXIST)
        return NameTakenUnlessFolder(path);
    throw CannotCreate(path, errno);
}

// A new hidden file beside the target, created with the same mode as any new file (so the
// umask decides, as for the unnamed file); its name is returned in `temporary`.
int CreateHiddenTemporary(const std::string& path, std::string& temporary)
{
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = std::string(FolderPart(path)) + ".gustara-" + std::to_string(random() % 1000000000);
        const int fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the finished temporary file its name without replacing anything, and removes the
// temporary name in every case. A rename that may not replace is one step; file systems
// without it get a hard link (FAT has no hard links but knows the rename). Returns 0 or the
// errno of the failure.
int MoveIntoPlace(const std::string& temporary, const std::string& path)
{
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    int result = errno;
    if (result == EINVAL || result == ENOSYS)
        result = ::link(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
    ::unlink(temporary.c_str());
    return result;
}

// Where the file system has no unnamed temporary files: a hidden named one beside the
// target, moved to the name only when complete. A process killed before the move leaves it
// behind, so this path is taken only where the unnamed file is impossible.
NewFileResult WriteThroughNamedTemporary(const std::string& path, std::span<const uint8_t> bytes)
{
    std::string temporary;
    FileDescriptor file(CreateHiddenTemporary(path, temporary));
    if (file.get() < 0)
        throw CannotCreate(path, errno);
    if (!WriteDurably(file.get(), bytes) || !file.close()) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw CannotCreate(path, error);
    }
    const int moveError = MoveIntoPlace(temporary, path);
    if (moveError == 0)
        return NewFileResult::Written;
    if (moveError != EEXIST)
        throw CannotCreate(path, moveError);
    return NameTakenUnlessFolder(path);
}

// An unnamed file gets its name through /proc; without /proc it could never be linked.
bool UnnamedFilesPossible()
{
#ifdef GUSTARA_TEST_SEAMS
    // Builds with tests can be made to write as on FAT, where stops must clean up by hand.
    if (std::getenv("GUSTARA_TEST_NAMED_TEMPORARY") != nullptr)
        return false;
#endif
    return ::access("/proc/self/fd", F_OK) == 0;
}

} // namespace

NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes)
{
    if (EntryExists(path))
        return NameTakenUnlessFolder(path);
    if (!UnnamedFilesPossible())
        return WriteThroughNamedTemporary(path, bytes);
    FileDescriptor file(::open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            return WriteThroughNamedTemporary(path, bytes);
        throw CannotCreate(path, errno);
    }
    if (!WriteDurably(file.get(), bytes))
        throw CannotCreate(path, errno);
    return LinkIntoPlace(file.get(), path);
}

void CreateFolderIgnoringResult(const std::string& path)
{
    (void)::mkdir(path.c_str(), 0777);
}

namespace {

std::string NumberedName(const StemAndExtension& name, uint64_t number)
{
    return name.stem + "(" + std::to_string(number) + ")" + name.extension;
}

} // namespace

std::string WriteUnderFreeName(const StemAndExtension& name, std::span<const uint8_t> bytes)
{
    std::string candidate = name.path();
    for (uint64_t number = 1; WriteNewFile(candidate, bytes) == NewFileResult::NameTaken; ++number)
        candidate = NumberedName(name, number);
    return candidate;
}

bool NameIsTaken(const std::string& path)
{
    return EntryExists(path) && !FolderExists(path);
}

std::string FirstFreeName(const StemAndExtension& name, const std::set<std::string>& claimed)
{
    std::string candidate = name.path();
    for (uint64_t number = 1; claimed.contains(candidate) || NameIsTaken(candidate); ++number)
        candidate = NumberedName(name, number);
    return candidate;
}

bool CopyModificationTime(const std::string& from, const std::string& to)
{
    std::error_code error;
    const auto time = std::filesystem::last_write_time(from, error);
    if (!error)
        std::filesystem::last_write_time(to, time, error);
    return !error;
}

} // namespace gustara
