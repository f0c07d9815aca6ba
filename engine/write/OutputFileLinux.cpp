#include "write/OutputFile.h"

#include "EngineError.h"
#include "FileKind.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

// Where a new file goes: `name` relative to `folder` (the working folder or an opened one);
// `shown` is its whole path, for the reasons.
struct Place {
    int folder;
    std::string name;
    const std::string& shown;
};

Place PlaceOf(const std::string& path, const OpenedFolder* in)
{
    return in == nullptr ? Place{AT_FDCWD, path, path}
                         : Place{static_cast<int>(in->handle()), path.substr(in->path().size()), path};
}

std::string FolderOf(const std::string& path)
{
    const std::string_view folder = FolderPart(path);
    return folder.empty() ? std::string(".") : std::string(folder);
}

// A symbolic link counts as itself, dangling or not: nothing is ever written through one.
FileKind EntryKind(int folder, const std::string& name)
{
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 ? KindOf(info.st_mode) : FileKind::Nothing;
}

// A name held by a folder cannot become the file; any other entry means "try the next name".
NewFileResult NameTakenUnlessFolder(const Place& place)
{
    if (EntryKind(place.folder, place.name) == FileKind::Folder)
        throw CannotCreate(place.shown, EISDIR);
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
NewFileResult LinkIntoPlace(int fd, const Place& place)
{
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, procPath.c_str(), place.folder, place.name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return NewFileResult::Written;
    if (errno == EEXIST)
        return NameTakenUnlessFolder(place);
    throw CannotCreate(place.shown, errno);
}

// A new hidden file beside the target, created with the same mode as any new file (so the
// umask decides, as for the unnamed file); its name is returned in `temporary`.
int CreateHiddenTemporary(const Place& place, std::string& temporary)
{
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = std::string(FolderPart(place.name)) + ".gustara-" + std::to_string(random() % 1000000000);
        const int fd = ::openat(place.folder, temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the finished temporary file its name without replacing anything, and removes the
// temporary name in every case. A rename that may not replace is one step; file systems
// without it get a hard link (FAT has no hard links but knows the rename). Returns 0 or the
// errno of the failure.
int MoveIntoPlace(const std::string& temporary, const Place& place)
{
    const char* from = temporary.c_str();
    if (::renameat2(place.folder, from, place.folder, place.name.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    int result = errno;
    if (result == EINVAL || result == ENOSYS)
        result = ::linkat(place.folder, from, place.folder, place.name.c_str(), 0) == 0 ? 0 : errno;
    ::unlinkat(place.folder, from, 0);
    return result;
}

// Where the file system has no unnamed temporary files: a hidden named one beside the
// target, moved to the name only when complete. A process killed before the move leaves it
// behind, so this path is taken only where the unnamed file is impossible.
NewFileResult WriteThroughNamedTemporary(const Place& place, std::span<const uint8_t> bytes)
{
    std::string temporary;
    FileDescriptor file(CreateHiddenTemporary(place, temporary));
    if (file.get() < 0)
        throw CannotCreate(place.shown, errno);
    if (!WriteDurably(file.get(), bytes) || !file.close()) {
        const int error = errno;
        ::unlinkat(place.folder, temporary.c_str(), 0);
        throw CannotCreate(place.shown, error);
    }
    const int moveError = MoveIntoPlace(temporary, place);
    if (moveError == 0)
        return NewFileResult::Written;
    if (moveError != EEXIST)
        throw CannotCreate(place.shown, moveError);
    return NameTakenUnlessFolder(place);
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

OpenedFolder::OpenedFolder(const std::string& path, const std::string& forFile)
    : handle_(-1), path_(EndsWithSeparator(path) ? path : path + '/')
{
    const int madeError = ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
    handle_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (handle_ >= 0)
        return;
    const int error = errno;
    struct stat info {};
    if (error == ENOTDIR && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
        throw EngineError(WithDetail(Format(Message::CannotCreateFile, {forFile}), Text(Message::WriteLinkAtFolder)));
    // A folder that could not be made is missing for the reason it could not be made.
    throw CannotCreate(forFile, error == ENOENT && madeError != 0 && madeError != EEXIST ? madeError : error);
}

OpenedFolder::OpenedFolder(OpenedFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_))
{
}

OpenedFolder::~OpenedFolder()
{
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes, const OpenedFolder* in)
{
    const Place place = PlaceOf(path, in);
    if (EntryKind(place.folder, place.name) != FileKind::Nothing)
        return NameTakenUnlessFolder(place);
    if (!UnnamedFilesPossible())
        return WriteThroughNamedTemporary(place, bytes);
    FileDescriptor file(::openat(place.folder, FolderOf(place.name).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            return WriteThroughNamedTemporary(place, bytes);
        throw CannotCreate(path, errno);
    }
    if (!WriteDurably(file.get(), bytes))
        throw CannotCreate(path, errno);
    return LinkIntoPlace(file.get(), place);
}

} // namespace gustara
