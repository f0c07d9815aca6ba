#pragma once

#include "rules/PathParts.h"

#include <cstdint>
#include <set>
#include <span>
#include <string>

namespace gustara {

enum class NewFileResult { Written, NameTaken };

// A folder opened once for writing into: files written through it land in that folder even if
// its name is taken by a link or another folder meanwhile. Owns the system's handle of it (a
// descriptor on Linux, a handle that keeps the folder from being renamed on Windows); move-only.
class OpenedFolder {
public:
    // Creates the folder at `path` (its parent must exist) when it is missing, and opens it
    // without following a link at its last part, so a link planted under that name never sends
    // the files elsewhere. Throws EngineError("ファイル <forFile> を作成できません: <cause>")
    // naming the first file meant for it: a link or a file at the name, a missing parent, a
    // parent where no folder may be made (the cause of that failure, not a missing folder).
    OpenedFolder(const std::string& path, const std::string& forFile);
    OpenedFolder(OpenedFolder&& other) noexcept;
    OpenedFolder& operator=(OpenedFolder&&) = delete;
    ~OpenedFolder();

    std::intptr_t handle() const { return handle_; }
    // The path given, with a trailing "/": the start of every path written through it.
    const std::string& path() const { return path_; }

private:
    std::intptr_t handle_;
    std::string path_;
};

// One file per system (OutputFileLinux.cpp, OutputFileWindows.cpp) for the folder and the new file.
// Writes `bytes` as a new file at `path` without ever replacing anything there: the data
// goes to an unnamed temporary file in the target folder, is forced to the disk, and only
// then is linked into place, so no reader sees a partial file and neither a killed process
// nor a power cut leaves one behind. Where the file system has no unnamed files (FAT, some
// network file systems) a hidden ".gustara-<number>" file beside the target takes its place;
// only there can a killed process leave such a file behind, never a partial output.
// Returns NameTaken when an entry other than a folder (a file, a link, dangling or not) holds
// the name. Throws EngineError("ファイル <path> を作成できません: <cause>") when the file cannot
// be created or written in full (a read-only or missing folder, a full disk, a file-size limit,
// a name too long, a folder holding the name); nothing is left behind then.
// With `in`, `path` starts with in->path() and the file is made in that opened folder.
NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes, const OpenedFolder* in = nullptr);

// Writes `bytes` as a new file at name.path() or, while that name is taken, at the numbered
// names stem + "(1)" + extension, "(2)", ...; returns the path written. Fails as WriteNewFile
// does.
std::string WriteUnderFreeName(const StemAndExtension& name, std::span<const uint8_t> bytes,
                               const OpenedFolder* in = nullptr);

// True when an entry other than a folder holds the name, so that a write there takes the next
// numbered name. Never fails.
bool NameIsTaken(const std::string& path);

// The name WriteUnderFreeName would write under now, with the names in `claimed` counted as
// taken as well; nothing is written. Throws only bad_alloc.
std::string FirstFreeName(const StemAndExtension& name, const std::set<std::string>& claimed);

// Gives the file at `to` the modification time of the file at `from`. Returns false when
// either cannot be reached; never throws.
bool CopyModificationTime(const std::string& from, const std::string& to);

} // namespace gustara
