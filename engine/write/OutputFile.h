#pragma once

#include "rules/PathParts.h"

#include <cstdint>
#include <set>
#include <span>
#include <string>

namespace gustara {

enum class NewFileResult { Written, NameTaken };

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
NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes);

// Writes `bytes` as a new file at name.path() or, while that name is taken, at the numbered
// names stem + "(1)" + extension, "(2)", ...; returns the path written. Fails as WriteNewFile
// does.
std::string WriteUnderFreeName(const StemAndExtension& name, std::span<const uint8_t> bytes);

// True when an entry other than a folder holds the name, so that a write there takes the next
// numbered name. Never fails.
bool NameIsTaken(const std::string& path);

// The name WriteUnderFreeName would write under now, with the names in `claimed` counted as
// taken as well; nothing is written. Throws only bad_alloc.
std::string FirstFreeName(const StemAndExtension& name, const std::set<std::string>& claimed);

// Gives the file at `to` the modification time of the file at `from`. Returns false when
// either cannot be reached; never throws.
bool CopyModificationTime(const std::string& from, const std::string& to);

// Creates one folder level; the result is not checked: a failure shows when the file in it
// cannot be created.
void CreateFolderIgnoringResult(const std::string& path);

} // namespace gustara
