#include "EngineError.h"
#include "write/OutputFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <utility>

namespace gustara {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kBytes = {0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9};

TEST(WriteNewFile, WritesTheBytesUnderANewName)
{
    test::TempDir dir;
    EXPECT_EQ(WriteNewFile(dir.file("a.jpg"), kBytes), NewFileResult::Written);
    EXPECT_EQ(test::ReadFileBytes(dir.file("a.jpg")), kBytes);
    // Nothing else is left in the folder: no temporary files.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(WriteNewFile, NeverReplacesAFile)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.file("taken.jpg"), {'o', 'l', 'd'});
    EXPECT_EQ(WriteNewFile(dir.file("taken.jpg"), kBytes), NewFileResult::NameTaken);
    EXPECT_EQ(test::ReadFileBytes(dir.file("taken.jpg")), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST(WriteNewFile, NeverWritesThroughALink)
{
    test::TempDir dir;
    std::error_code error;
    fs::create_symlink(dir.file("nowhere.jpg"), dir.file("dangling.jpg"), error);
    if (error)
        GTEST_SKIP() << "no symbolic link can be made here: " << error.message();
    EXPECT_EQ(WriteNewFile(dir.file("dangling.jpg"), kBytes), NewFileResult::NameTaken);
    EXPECT_FALSE(fs::exists(dir.file("nowhere.jpg")));
}

TEST(WriteUnderFreeName, NumbersGoBetweenTheStemAndTheExtensionGiven)
{
    test::TempDir dir;
    const std::pair<const char*, const char*> cases[] = {{"strip.jpeg", "strip(1).jpeg"}, {"plain", "plain(1)"}};
    for (const auto& [taken, expected] : cases) {
        test::WriteFileBytes(dir.file(taken), {'o', 'l', 'd'});
        EXPECT_EQ(WriteUnderFreeName(SplitAtExtension(dir.file(taken)), kBytes), dir.file(expected));
    }
}

TEST(WriteNewFile, FailsForAFolderAtTheNameOrAMissingFolder)
{
    test::TempDir dir;
    fs::create_directory(dir.file("photo.jpg"));
    EXPECT_THROW(WriteNewFile(dir.file("photo.jpg"), kBytes), EngineError);
    try {
        WriteNewFile(dir.file("missing/photo.jpg"), kBytes);
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + dir.file("missing/photo.jpg") + " を作成できません: 保存先のフォルダがありません");
    }
}

TEST(WriteNewFile, FailsInAReadOnlyFolderLeavingNothing)
{
    if (!test::FolderPermissionsApply())
        GTEST_SKIP() << "folder permissions do not hold this process back";
    test::TempDir dir;
    fs::create_directory(dir.file("locked"));
    fs::permissions(dir.file("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(WriteNewFile(dir.file("locked/a.jpg"), kBytes), EngineError);
    EXPECT_TRUE(fs::is_empty(dir.file("locked")));
}

} // namespace
} // namespace gustara
