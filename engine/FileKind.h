#pragma once

#include <string>
#include <sys/types.h>

namespace gustara {

// What a path names, as far as reading or writing a picture is concerned.
enum class FileKind {
    Nothing,  // no entry, or the system cannot tell (no permission to look)
    Folder,
    RegularFile,
    Other,    // a device, a pipe, a socket; or a symbolic link when links count as themselves
};

enum class Links { Followed, AsThemselves };

// The kind of an entry with the file mode `mode` (from stat or fstat). Never fails.
FileKind KindOf(mode_t mode);

// The kind of the entry at `path`, looked up without opening it, so a pipe or a device is
// never touched. Owns nothing; never fails: an entry it cannot look up is Nothing.
FileKind KindAt(const std::string& path, Links links);

} // namespace gustara
