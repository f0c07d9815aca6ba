#include "CliRunner.h"
#include "preview/CompareStrip.h"
#include "read/JpegReader.h"
#include "TestFiles.h"
#include "write/JpegWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace gustara {
namespace {

class CliCompareTest : public ::testing::Test {
protected:
    test::CliResult Run(const std::string& arguments) { return test::RunCli(dir.path(), arguments); }
    void MakeJpeg(const std::string& name, int32_t width, int32_t height)
    {
        test::WriteFileBytes(dir.file(name), EncodeJpeg(test::MakeTestPicture(width, height), 95, false));
    }
    std::size_t EntryCount() const
    {
        const std::filesystem::directory_iterator entries(dir.path());
        return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
    }

    test::TempDir dir;
};

TEST_F(CliCompareTest, WritesOneStripOfFourFittedPicturesAndNeverReplaces)
{
    const struct {
        const char* size;
        int32_t cellWidth, cellHeight;
    } kCases[] = {
        {"", 400, 300},               // the default box, 400
        {"--size=160", 160, 120},
        {"--size=100x40", 53, 40},    // a typed box
    };
    MakeJpeg("dish.jpg", 800, 600);
    for (const auto& c : kCases) {
        const test::CliResult result = Run(std::string("--compare=strip.jpg ") + c.size + " dish.jpg");
        ASSERT_EQ(result.status, 0) << c.size << result.err;
        const std::string written = result.out.substr(0, result.out.size() - 1);
        const PictureRaster strip = ReadJpeg(dir.file(written));
        EXPECT_EQ(strip.width(), 4 * c.cellWidth + 3 * kStripGap) << c.size;
        EXPECT_EQ(strip.height(), c.cellHeight) << c.size;
    }
    // Each run after the first took the next free name.
    EXPECT_EQ(test::RunCommand("cd " + test::ShellQuote(dir.path().string()) + " && ls strip.jpg 'strip(1).jpg' 'strip(2).jpg'"), 0);
    EXPECT_EQ(EntryCount(), 4u);
}

TEST_F(CliCompareTest, RefusedOrBrokenPicturesAreReportedAndNothingIsWritten)
{
    MakeJpeg("a.jpg", 20, 20);
    MakeJpeg("b.jpg", 20, 20);
    test::WriteFileBytes(dir.file("broken.jpg"), {0xFF, 0xD8, 0xFF});
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
        const test::CliResult result = Run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_NE(result.err.find(c.error), std::string::npos) << result.err;
    }
    EXPECT_EQ(EntryCount(), 3u);
}

} // namespace
} // namespace gustara
