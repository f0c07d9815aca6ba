// File-system faults through the real command line and the engine: whatever goes wrong, no
// partial file is left, no source changes and no existing file is replaced.

#include "CliRunner.h"
#include "EngineError.h"
#include "write/JpegWriter.h"
#include "TestFiles.h"
#include "UnitThPicConvert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace gustara {
namespace {

namespace fs = std::filesystem;

using test::CliResult;

std::string ReadText(const std::string& path)
{
    const auto bytes = test::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}


std::set<std::string> Lines(const std::string& text)
{
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.insert(line);
    return lines;
}

// Every file and link under `root` by relative path: a file's bytes, a link's target text.
using Tree = std::map<std::string, std::string>;

Tree Snapshot(const fs::path& root)
{
    Tree tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink()) {
            tree[name] = "-> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            tree[name] = ReadText(entry.path().string());
        }
    }
    return tree;
}

// djpeg reports a truncated or corrupt datastream with a warning and exit status 2.
bool DecodesCompletely(const std::string& path)
{
    return test::RunCommand("djpeg -ppm " + test::ShellQuote(path) + " >/dev/null 2>&1") == 0;
}

// What every run must leave: the entries that were there are unchanged, and each new entry is
// a complete JPEG that the run reported writing (so no temporary or partial file exists).
void ExpectNothingLost(const test::TempDir& dir, const Tree& before, const std::set<std::string>& reported,
                       const std::string& what)
{
    const Tree after = Snapshot(dir.path());
    for (const auto& [name, content] : before) {
        const auto now = after.find(name);
        EXPECT_TRUE(now != after.end() && now->second == content) << what << ": " << name << " changed or vanished";
    }
    for (const auto& [name, content] : after) {
        if (before.count(name))
            continue;
        EXPECT_TRUE(reported.count(name)) << what << ": unexpected entry " << name;
        EXPECT_TRUE(DecodesCompletely(dir.file(name))) << what << ": " << name << " is not a complete JPEG";
    }
}

void StoreJpeg(const test::TempDir& dir, const std::string& name, int32_t width = 40, int32_t height = 30)
{
    test::WriteFileBytes(dir.file(name), EncodeJpeg(test::MakeTestPicture(width, height), 95, false));
}

struct FaultCase {
    const char* what;
    std::function<void(const test::TempDir&)> setup;
    std::string prefix;  // shell text run before the program
    std::string arguments;
    std::string failed;  // the picture named as failed; empty when all succeed
    std::string message; // the failure's own text, after the picture's name
    std::set<std::string> written;
};

void ExpectOutcome(const FaultCase& c)
{
    test::TempDir dir;
    c.setup(dir);
    const Tree before = Snapshot(dir.path());
    const CliResult result = test::RunCli(dir.path(), c.arguments, c.prefix);
    if (c.failed.empty()) {
        EXPECT_EQ(result.status, 0) << c.what << "\n" << result.err;
        EXPECT_EQ(result.err, "") << c.what;
    } else {
        EXPECT_EQ(result.status, 1) << c.what << "\n" << result.err;
        EXPECT_EQ(result.err, "[" + c.failed + "]の処理に失敗しました: " + c.message + "\n") << c.what;
    }
    EXPECT_EQ(Lines(result.out), c.written) << c.what;
    ExpectNothingLost(dir, before, c.written, c.what);
}

TEST(FaultTest, EachFaultFailsOnlyItsPictureAndLeavesNothingPartial)
{
    const std::string longName(251, 'n');  // with ".jpg" the longest name a folder takes
    const FaultCase cases[] = {
        {"a file-size limit below the output's size",
         [](const test::TempDir& dir) {
             StoreJpeg(dir, "big.jpg", 400, 300);
             StoreJpeg(dir, "small.jpg");
         },
         // 16 blocks: 8 KB for sh, 16 KB for bash; either way far below the big output.
         "ulimit -f 16;", "--keep-going big.jpg small.jpg", "big.jpg", "ファイル s-big.jpg を作成できません: ファイルの大きさの上限を超えます",
         {"s-small.jpg"}},
        {"the sub-folder's name taken by a file",
         [](const test::TempDir& dir) {
             StoreJpeg(dir, "a.jpg");
             test::WriteFileBytes(dir.file("out"), {'x'});
         },
         "", "--dir=out a.jpg", "a.jpg", "ファイル out/a.jpg を作成できません: 保存先のフォルダと同じ名前のファイルがあります", {}},
        {"the sub-folder's name taken by a link to another folder",
         [](const test::TempDir& dir) {
             StoreJpeg(dir, "a.jpg");
             fs::create_directory(dir.file("album"));
             fs::create_symlink("album", dir.file("out"));
         },
         "", "--dir=out a.jpg", "a.jpg", "ファイル out/a.jpg を作成できません: 保存先のフォルダの名前がリンクです（リンクの先には保存しません）", {}},
        {"a source gone before its turn, an earlier output in the way",
         [](const test::TempDir& dir) {
             StoreJpeg(dir, "a.jpg");
             StoreJpeg(dir, "c.jpg");
             test::WriteFileBytes(dir.file("s-c.jpg"), {'o', 'l', 'd'});
         },
         "", "--keep-going a.jpg gone.jpg c.jpg", "gone.jpg", "ファイルが見つかりません",
         {"s-a.jpg", "s-c(1).jpg"}},
        {"a name that the affix makes too long",
         [longName](const test::TempDir& dir) {
             StoreJpeg(dir, longName + ".jpg");
             StoreJpeg(dir, "a.jpg");
         },
         "", "--keep-going " + longName + ".jpg a.jpg", longName + ".jpg",
         "ファイル s-" + longName + ".jpg を作成できません: ファイル名が長すぎます", {"s-a.jpg"}},
        {"links at the output names, one dangling, one to a folder",
         [](const test::TempDir& dir) {
             StoreJpeg(dir, "a.jpg");
             fs::create_directory(dir.file("album"));
             fs::create_symlink("nowhere.jpg", dir.file("s-a.jpg"));
             fs::create_symlink("album", dir.file("s-a(1).jpg"));
         },
         "", "a.jpg", "", "", {"s-a(2).jpg"}},
        {"a folder at the output name",
         [](const test::TempDir& dir) {
             StoreJpeg(dir, "a.jpg");
             fs::create_directory(dir.file("s-a.jpg"));
         },
         "", "a.jpg", "a.jpg", "ファイル s-a.jpg を作成できません: 同じ名前のフォルダがあります", {}},
    };
    for (const FaultCase& c : cases)
        ExpectOutcome(c);
}

TEST(FaultTest, AReadOnlyOutputFolderFailsThePicture)
{
    const auto prefix = test::UnprivilegedPrefix();
    if (!prefix)
        GTEST_SKIP() << "running as root and setpriv cannot run gustara-cli as an unprivileged user";
    // Beside the source, and in a sub-folder that cannot be made there (not "does not exist").
    for (const auto& [arguments, message] : {std::pair{"ro/a.jpg", "ro/s-a.jpg"}, {"--dir=out ro/a.jpg", "ro/out/a.jpg"}})
        ExpectOutcome({"a read-only output folder",
                       [](const test::TempDir& dir) {
                           fs::create_directory(dir.file("ro"));
                           StoreJpeg(dir, "ro/a.jpg");
                           fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                                                           | fs::perms::others_read | fs::perms::others_exec);
                           fs::permissions(dir.file("ro"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read
                                                               | fs::perms::group_exec | fs::perms::others_read
                                                               | fs::perms::others_exec);
                       },
                       *prefix, arguments, "ro/a.jpg", std::string("ファイル ") + message + " を作成できません: 書き込む権限がありません", {}});
}

TEST(FaultTest, TwoRunsOnOneFolderWriteEveryPictureOnceEachAndReplaceNothing)
{
    test::TempDir dir;
    const test::TempDir logs;
    constexpr int kPictures = 20;
    std::string pictures;
    for (int i = 0; i < kPictures; ++i) {
        const std::string name = "p" + std::to_string(i) + ".jpg";
        test::WriteFileBytes(dir.file(name), EncodeJpeg(test::MakeTestPicture(200, 150, i + 1), 95, false));
        pictures += " " + name;
    }
    const Tree before = Snapshot(dir.path());
    const std::string cli = test::ShellQuote(GUSTARA_CLI_PATH);
    const std::string log = test::ShellQuote(logs.path().string());
    std::string statuses;
    test::RunCommand("cd " + test::ShellQuote(dir.path().string()) + " && { " + cli + pictures + " >" + log
                         + "/1 2>&1 & a=$!; " + cli + pictures + " >" + log
                         + "/2 2>&1 & b=$!; wait $a; sa=$?; wait $b; echo $sa $?; }",
                     &statuses);
    EXPECT_EQ(statuses, "0 0\n");

    const auto first = Lines(ReadText(logs.file("1")));
    const auto second = Lines(ReadText(logs.file("2")));
    EXPECT_EQ(first.size(), kPictures);
    EXPECT_EQ(second.size(), kPictures);
    std::set<std::string> reported = first;
    reported.insert(second.begin(), second.end());
    std::set<std::string> expected;
    for (int i = 0; i < kPictures; ++i) {
        const std::string stem = "s-p" + std::to_string(i);
        expected.insert({stem + ".jpg", stem + "(1).jpg"});
        // The same picture and settings give the same bytes: neither run touched the other's file.
        EXPECT_EQ(test::ReadFileBytes(dir.file(stem + ".jpg")), test::ReadFileBytes(dir.file(stem + "(1).jpg"))) << stem;
    }
    EXPECT_EQ(reported, expected);
    ExpectNothingLost(dir, before, reported, "two runs at once");
}

// Engine-level: the output folder disappears between two pictures of a batch.
TEST(FaultTest, AnOutputFolderRemovedMidBatch)
{
    test::TempDir dir;
    const PictureRaster picture = test::MakeTestPicture(8, 6);
    TthPicConvert engine;
    engine.UseQuality = engine.ByQuality = true;
    engine.QualityValue = 90;

    // Sub-folder mode makes the folder again for every picture.
    engine.DirName = "Gustara";
    EXPECT_EQ(engine.SaveAsJpeg(dir.file("a.jpg"), picture), dir.file("Gustara/a.jpg"));
    fs::remove_all(dir.file("Gustara"));
    EXPECT_EQ(engine.SaveAsJpeg(dir.file("b.jpg"), picture), dir.file("Gustara/b.jpg"));
    EXPECT_TRUE(DecodesCompletely(dir.file("Gustara/b.jpg")));

    // Affix mode writes beside the source: with its folder gone the picture fails, and the
    // folder of the last written file stays what it was.
    engine.UseDecidesName = engine.NameBefore = true;
    engine.FileNameAffix = "s-";
    fs::create_directory(dir.file("gone"));
    fs::remove(dir.file("gone"));
    try {
        engine.SaveAsJpeg(dir.file("gone/c.jpg"), picture);
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + dir.file("gone/s-c.jpg") + " を作成できません: 保存先のフォルダがありません");
    }
    EXPECT_EQ(engine.GetOutputFolder(), dir.file("Gustara/"));
    EXPECT_FALSE(fs::exists(dir.file("gone")));
}

} // namespace
} // namespace gustara
