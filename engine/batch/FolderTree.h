#pragma once

#include "UnitThPicConvert.h"
#include "read/PictureFormat.h"

#include <string>
#include <vector>

namespace gustara {

// A picture found in a folder tree: its path (the folder walked, then the names below it) and
// the folders between, relative to the folder walked: empty directly in it, else ending in "/".
struct TreePicture {
    std::string path;
    std::string subFolder;
};

// The pictures in the folder `top` and in every folder below it, in byte order of their paths,
// so every run takes them in the same order. A picture is an entry whose extension
// IsSupportedExt takes with `more`; a symbolic link to a file counts, one to a folder is never
// followed. Entries whose names start with "." are passed over, and so are the outputs of
// `settings`: names that IsOwnOutputName knows in affix mode, folders named DirName in
// sub-folder mode, so that a second run leaves the first one's outputs alone. Throws
// EngineError when a folder of the tree cannot be listed; nothing is returned then.
std::vector<TreePicture> PicturesInTree(const std::string& top, const TthPicConvert& settings, MoreFormats more);

} // namespace gustara
