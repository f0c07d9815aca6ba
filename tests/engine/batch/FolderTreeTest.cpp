#include "batch/FolderTree.h"

#include "EngineError.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace gustara {
namespace {

namespace fs = std::filesystem;

TEST(PicturesInTree, TakesPicturesInPathOrderAndPassesOverHiddenLinksAndOutputs)
{
    const struct {
        const char* naming;  // "prefix", "suffix" or "dir"
        std::vector<std::string> kept;  // "path|sub-folder" below the tree, besides those all keep
    } cases[] = {
        {"prefix", {"a/out/y.jpg|a/out/", "a/x_s.jpg|a/", "a/x_s(12).jpg|a/"}},
        {"suffix", {"a/out/y.jpg|a/out/", "a/s-x.jpg|a/"}},
        {"dir", {"a/s-x.jpg|a/", "a/x_s.jpg|a/", "a/x_s(12).jpg|a/"}},
    };
    const test::TempDir dir;
    const fs::path top = dir.path() / "tree";
    for (const char* folder : {"a/b", "a/out", "a/.hidden", ".cache", "elsewhere"})
        fs::create_directories(top / folder);
    for (const char* file : {"a.jpg", "B.PNG", "notes.txt", ".hidden.jpg", "a/c-2.jpg", "a/b/z.jpeg", "a/out/y.jpg",
                             "a/s-x.jpg", "a/x_s.jpg", "a/x_s(12).jpg", "a/.hidden/h.jpg", ".cache/c.jpg", "elsewhere/e.jpg"})
        test::WriteFileBytes((top / file).string(), {1});
    fs::create_directory_symlink("../elsewhere", top / "a/link");
    fs::create_symlink("elsewhere/e.jpg", top / "linked.gif");
    for (const auto& c : cases) {
        TthPicConvert settings;
        settings.UseDecidesName = std::string(c.naming) != "dir";
        settings.NameBefore = std::string(c.naming) == "prefix";
        settings.FileNameAffix = settings.NameBefore ? "s-" : "_s";
        settings.DirName = "out";
        std::vector<std::string> found;
        for (const TreePicture& picture : PicturesInTree(top.string(), settings, MoreFormats::Off))
            found.push_back(picture.path.substr(top.string().size() + 1) + "|" + picture.subFolder);
        std::vector<std::string> expected = c.kept;
        for (const char* always : {"a.jpg|", "B.PNG|", "a/b/z.jpeg|a/b/", "a/c-2.jpg|a/", "elsewhere/e.jpg|elsewhere/",
                                   "linked.gif|"})
            expected.push_back(always);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected) << c.naming;
    }
    EXPECT_THROW(PicturesInTree(dir.file("missing"), TthPicConvert(), MoreFormats::Off), EngineError);
}

} // namespace
} // namespace gustara
