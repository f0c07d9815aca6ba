#include "CliRunner.h"
#include "ExifOrientation.h"
#include "MetadataFixtures.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace gustara {
namespace {

namespace fs = std::filesystem;

using test::CliResult;

// A small tree of dated photos, as a food blogger keeps them: tree/2024-05-01/{pasta.jpg,
// soup.png} with the camera's EXIF, tree/shop/ramen/bowl.jpg without, all modified at one time;
// besides, what a walk passes over: hidden entries and a link to a folder.
class CliHabitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir.path() / "tree/2024-05-01");
        fs::create_directories(dir.path() / "tree/shop/ramen");
        test::WriteFileBytes(dir.file("tree/2024-05-01/pasta.jpg"), test::DatedPhoto(false));
        test::WriteFileBytes(dir.file("tree/2024-05-01/soup.png"), test::DatedPhoto(true));
        test::WriteFileBytes(dir.file("tree/shop/ramen/bowl.jpg"), EncodeJpeg(test::MakeTestPicture(20, 20), 90, false));
        for (const char* source : {"tree/2024-05-01/pasta.jpg", "tree/2024-05-01/soup.png", "tree/shop/ramen/bowl.jpg"})
            fs::last_write_time(dir.file(source), kTaken);
        fs::create_directory_symlink("../2024-05-01", dir.path() / "tree/shop/link");
        fs::create_directories(dir.path() / "tree/.cache");
        for (const char* hidden : {"tree/.cache/b.jpg", "tree/shop/.seen.jpg"})
            fs::copy(dir.file("tree/shop/ramen/bowl.jpg"), dir.file(hidden));
    }
    CliResult Run(const std::string& arguments) { return test::RunCli(dir.path(), arguments); }

    const fs::file_time_type kTaken = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    test::TempDir dir;
};

TEST_F(CliHabitsTest, RecursiveWalksTheTreeInPathOrderAndKeepsItsShape)
{
    EXPECT_EQ(Run("tree").status, 2);
    const CliResult beside = Run("-r tree");
    EXPECT_EQ(beside.status, 0) << beside.err;
    EXPECT_EQ(beside.out, "tree/2024-05-01/s-pasta.jpg\ntree/2024-05-01/s-soup.jpg\ntree/shop/ramen/s-bowl.jpg\n");
    // The outputs of the first run are not converted again.
    EXPECT_EQ(Run("-r tree/").out, "tree/2024-05-01/s-pasta(1).jpg\ntree/2024-05-01/s-soup(1).jpg\ntree/shop/ramen/s-bowl(1).jpg\n");
    EXPECT_EQ(Run("-r --output-dir=out tree").out, "out/2024-05-01/s-pasta.jpg\nout/2024-05-01/s-soup.jpg\nout/shop/ramen/s-bowl.jpg\n");
}

TEST_F(CliHabitsTest, KeepDateCarriesTheThreeTagsAndTheTimeAndNothingElse)
{
    const CaptureDate taken{test::kTakenAt[0], test::kTakenAt[1], test::kTakenAt[2]};
    const struct {
        const char* options;
        std::vector<uint16_t> tags;
        CaptureDate date;
    } cases[] = {
        {"--keep-date", {0x0112, 0x8769, 0x9003, 0x9011, 0x9291}, taken},
        {"", {0x0112}, {}},
    };
    for (const auto& c : cases) {
        const CliResult result = Run(std::string(c.options) + " --suffix=" + (c.date.empty() ? "_off" : "_on") + " -r tree");
        ASSERT_EQ(result.status, 0) << result.err;
        for (const char* output : {"tree/2024-05-01/pasta", "tree/2024-05-01/soup"}) {
            const std::string path = dir.file(std::string(output) + (c.date.empty() ? "_off.jpg" : "_on.jpg"));
            const auto app1 = test::JpegPayloads(test::ReadFileBytes(path), test::kJpegApp1);
            ASSERT_EQ(app1.size(), 1u) << path;
            const std::span<const uint8_t> tiff = ExifTiffBlock(app1[0]);
            EXPECT_EQ(test::ExifTagsOf({tiff.begin(), tiff.end()}), c.tags) << path;
            EXPECT_EQ(ReadExifCaptureDate(tiff), c.date) << path;
            EXPECT_EQ(fs::last_write_time(path) == kTaken, !c.date.empty()) << path;
        }
    }
}

TEST_F(CliHabitsTest, DryRunNamesAsTheRunWouldAndWritesNothing)
{
    // Two sources of one name, and the name already taken.
    test::WriteFileBytes(dir.file("tree/2024-05-01/pasta.png"), test::DatedPhoto(true));
    fs::create_directories(dir.path() / "tree/2024-05-01/done");
    test::WriteFileBytes(dir.file("tree/2024-05-01/done/pasta.jpg"), {1});
    test::WriteFileBytes(dir.file("tree/notes.txt"), {1});
    std::string before, after;
    test::RunCommand("ls -lR --full-time " + test::ShellQuote(dir.path().string()), &before);
    const CliResult planned = Run("-n -r --dir=done tree/2024-05-01 tree/shop/ramen/bowl.jpg");
    EXPECT_EQ(planned.status, 0) << planned.err;
    EXPECT_EQ(planned.out, "tree/2024-05-01/done/pasta(1).jpg\ntree/2024-05-01/done/pasta(2).jpg\n"
                           "tree/2024-05-01/done/soup.jpg\ntree/shop/ramen/done/bowl.jpg\n");
    EXPECT_EQ(Run("-n tree/notes.txt").status, 2);
    test::RunCommand("ls -lR --full-time " + test::ShellQuote(dir.path().string()), &after);
    EXPECT_EQ(after, before);
}

TEST_F(CliHabitsTest, JsonGivesOneEscapedObjectPerPicture)
{
    fs::rename(dir.file("tree/shop/ramen/bowl.jpg"), dir.file("tree/shop/ramen/\"b\\\n\x01\xff.jpg"));
    test::WriteFileBytes(dir.file("tree/shop/ramen/broken.jpg"), {0xFF, 0xD8, 0xFF});
    const CliResult result = Run("--json --keep-going --quality=70 -r tree/shop");
    EXPECT_EQ(result.status, 1);
    const auto bytes = fs::file_size(dir.file("tree/shop/ramen/s-\"b\\\n\x01\xff.jpg"));
    EXPECT_EQ(result.out, "{\"source\":\"tree/shop/ramen/\\\"b\\\\\\u000a\\u0001\\ufffd.jpg\",\"output\":"
                          "\"tree/shop/ramen/s-\\\"b\\\\\\u000a\\u0001\\ufffd.jpg\",\"status\":\"written\",\"reason\":null,"
                          "\"bytes\":" + std::to_string(bytes) + ",\"quality\":70,\"cut_short\":false}\n"
                          "{\"source\":\"tree/shop/ramen/broken.jpg\",\"output\":null,\"status\":\"failed\",\"reason\":"
                          "\"ファイルが途中で切れています\",\"bytes\":null,\"quality\":null,\"cut_short\":false}\n");
}

} // namespace
} // namespace gustara
