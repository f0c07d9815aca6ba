#include "CliRunner.h"
#include "preview/CompareStrip.h"
#include "read/JpegReader.h"
#include "TestFiles.h"
#include "write/JpegWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

namespace gustara {
namespace {

std::size_t EntryCount(const test::TempDir& dir)
{
    const std::filesystem::directory_iterator entries(dir.path());
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

TEST(CliCompare, WritesOneStripOfFourFittedPicturesAndNeverReplaces)
{
    const struct {
        const char* size;
        const char* written;  // each run after the first takes the next free name
        int32_t cellWidth, cellHeight;
    } kCases[] = {
        {"", "strip.jpg", 400, 300},  // the default box, 400
        {"--size=160", "strip(1).jpg", 160, 120},
        {"--size=100x40", "strip(2).jpg", 53, 40},  // a typed box
    };
    const test::TempDir dir;
    test::WriteFileBytes(dir.file("dish.jpg"), EncodeJpeg(test::MakeTestPicture(800, 600), 95, false));
    for (const auto& c : kCases) {
        const test::CliResult result = test::RunCli(dir.path(), std::string("--compare=strip.jpg ") + c.size + " dish.jpg");
        ASSERT_EQ(result.status, 0) << c.size << result.err;
        EXPECT_EQ(result.out, std::string(c.written) + "\n");
        const PictureRaster strip = ReadJpeg(dir.file(c.written));
        EXPECT_EQ(strip.width(), 4 * c.cellWidth + 3 * kStripGap) << c.size;
        EXPECT_EQ(strip.height(), c.cellHeight) << c.size;
    }
    EXPECT_EQ(EntryCount(dir), 4u);
}

TEST(CliCompare, RefusedOrBrokenPicturesAreReportedAndNothingIsWritten)
{
    const test::TempDir dir;
    for (const char* name : {"a.jpg", "b.jpg"})
        test::WriteFileBytes(dir.file(name), EncodeJpeg(test::MakeTestPicture(20, 20), 95, false));
    test::WriteFileBytes(dir.file("broken.jpg"), {0xFF, 0xD8, 0xFF});
    test::WriteFileBytes(dir.file("notes.txt"), {'x'});
    const struct {
        const char* arguments;
        int status;
        const char* error;
    } kCases[] = {
        {"--compare=out.jpg a.jpg b.jpg", 2, "--compare には画像を一つだけ指定してください"},
        {"--compare=out.jpg broken.jpg", 1, "[broken.jpg]の処理に失敗しました: "},
        {"--compare=out.jpg notes.txt", 2, "■「JPEG形式、GIF形式、PNG形式、BMP形式」以外の形式には対応していません"},
    };
    for (const auto& c : kCases) {
        const test::CliResult result = test::RunCli(dir.path(), c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    }
    EXPECT_EQ(EntryCount(dir), 4u);
}

} // namespace
} // namespace gustara
