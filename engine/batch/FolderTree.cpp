#include "batch/FolderTree.h"

#include "EngineError.h"
#include "platform/SystemPath.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace gustara {

namespace {

namespace fs = std::filesystem;

bool IsHidden(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

} // namespace

std::vector<TreePicture> PicturesInTree(const std::string& top, const TthPicConvert& settings, MoreFormats more)
{
    std::vector<TreePicture> pictures;
    const std::string start = EndsWithSeparator(top) ? top : top + "/";
    // Folders still to list, as their sub-folder parts; a stack instead of recursion, so that
    // a deep tree cannot exhaust the call stack.
    std::vector<std::string> pending{std::string()};
    while (!pending.empty()) {
        const std::string subFolder = std::move(pending.back());
        pending.pop_back();
        const std::string folder = start + subFolder;
        std::error_code error;
        for (fs::directory_iterator it(SystemPath(folder), error), end; !error && it != end; it.increment(error)) {
            const std::string name = PathText(it->path().filename());
            if (IsHidden(name))
                continue;
            std::error_code kindError;
            const bool isLink = it->is_symlink(kindError);
            // A link's target decides only whether it is a folder, and such links are skipped.
            if (it->is_directory(kindError)) {
                if (!isLink && (settings.UseDecidesName || name != settings.DirName))
                    pending.push_back(subFolder + name + "/");
                continue;
            }
            if (IsSupportedExt(name, more) && !settings.IsOwnOutputName(name))
                pictures.push_back({folder + name, subFolder});
        }
        if (error)
            throw EngineError(Format(Message::CannotListFolder, {folder, error.message()}));
    }
    std::sort(pictures.begin(), pictures.end(),
              [](const TreePicture& a, const TreePicture& b) { return a.path < b.path; });
    return pictures;
}

} // namespace gustara
