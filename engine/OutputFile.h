#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace gustara {

enum class NewFileResult { Written, NameTaken };

// Writes `bytes` as a new file at `path` without ever replacing anything there: the data
// goes to an unnamed temporary file in the target folder that is linked into place only when
// complete, so no reader sees a partial file and a crash leaves nothing behind.
// Returns NameTaken when an entry other than a folder (a file, a dangling link) holds the
// name. Throws EngineError("ファイル <path> を作成できません") when the file cannot be created
// or written in full, a folder holding the name included; nothing is left behind then.
NewFileResult WriteNewFile(const std::string& path, std::span<const uint8_t> bytes);

// Creates one folder level; the result is not checked: a failure shows when the file in it
// cannot be created.
void CreateFolderIgnoringResult(const std::string& path);

} // namespace gustara
