#include "OutputFile.h"

#include "EngineError.h"
#include "PathParts.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

EngineError CannotCreate(const std::string& path)
{
    return EngineError("ファイル " + path + " を作成できません");
}

bool WriteAll(int fd, std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
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

bool FolderExists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A symbolic link counts as itself, dangling or not: nothing is ever written through one.
bool NonFolderExists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// A name held by a folder cannot become the file; any other entry means "try the next name".
NewFileResult NameTakenUnlessFolder(const std::string& path)
{
    if (FolderExists(path))
        throw CannotCreate(path);
    return NewFileResult::NameTaken;
}

// Links the finished, unnamed file into place; link fails with EEXIST rather than replace.
NewFileResult LinkIntoPlace(int fd, const std::string& path)
{
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return NewFileResult::Written;
    if (errno == EEXIST)
        return NameTakenUnlessFolder(path);
    throw CannotCreate(path);
}

// Where the file system has no unnamed temporary files: a hidden named one beside the
// target, hard-linked to the name (link never replaces) and then unlinked.
NewFileResult WriteThroughNamedTemporary(const std::string& path, std::span<const uint8_t> bytes)
{
    std::string temporary = FolderOf(path) + "/.gustara-XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0)
        throw CannotCreate(path);
    const bool complete = WriteAll(file.get(), bytes) && file.close();
    NewFileResult result = NewFileResult::NameTaken;
    int linkError = 0;
    if (complete) {
        if (::link(temporary.c_str(), path.c_str()) == 0)
            result = NewFileResult::Written;
        else
            linkError = errno;
    }
    ::unlink(temporary.c_str());
    if (!complete || (result != NewFileResult::Written && linkError != EEXIST))
        throw CannotCreate(path);
    return result == NewFileResult::Written ? result : NameTakenUnlessFolder(path);
}

} // namespace

NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes)
{
    if (NonFolderExists(path))
        return NewFileResult::NameTaken;
    if (FolderExists(path))
        throw CannotCreate(path);
    FileDescriptor file(::open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            return WriteThroughNamedTemporary(path, bytes);
        throw CannotCreate(path);
    }
    if (!WriteAll(file.get(), bytes))
        throw CannotCreate(path);
    const NewFileResult result = LinkIntoPlace(file.get(), path);
    if (!file.close() && result == NewFileResult::Written) {
        ::unlink(path.c_str());
        throw CannotCreate(path);
    }
    return result;
}

void CreateFolderIgnoringResult(const std::string& path)
{
    (void)::mkdir(path.c_str(), 0777);
}

} // namespace gustara
