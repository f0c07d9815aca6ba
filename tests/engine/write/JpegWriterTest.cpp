#include "EngineError.h"
#include "write/JpegWriter.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include <jpeglib.h>

namespace gustara {
namespace {

// cjpeg with the same settings is the reference encoder.
std::vector<uint8_t> Cjpeg(const PictureRaster& picture, int quality, bool progressive)
{
    test::TempDir dir;
    test::WritePpm(dir.file("in.ppm"), picture);
    const std::string command = "cjpeg -dct float -quality " + std::to_string(quality) + " -baseline" +
                                (progressive ? " -progressive" : "") + " -outfile " +
                                test::ShellQuote(dir.file("out.jpg")) + " " + test::ShellQuote(dir.file("in.ppm"));
    if (test::RunCommand(command) != 0)
        throw std::runtime_error("cjpeg failed: " + command);
    return test::ReadFileBytes(dir.file("out.jpg"));
}

struct EncodeCase {
    int width;
    int height;
    int quality;
    bool progressive;
};

class EncodeJpegAsCjpeg : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeJpegAsCjpeg, GivesTheSameBytes)
{
    const EncodeCase& c = GetParam();
    const PictureRaster picture = test::MakeTestPicture(c.width, c.height, 7);
    const std::vector<uint8_t> bytes = EncodeJpeg(picture, c.quality, c.progressive);
    EXPECT_EQ(bytes, Cjpeg(picture, c.quality, c.progressive));
}

INSTANTIATE_TEST_SUITE_P(QualitiesSizesAndModes, EncodeJpegAsCjpeg,
                         testing::Values(EncodeCase{33, 17, 0, false}, EncodeCase{33, 17, 0, true},
                                         EncodeCase{33, 17, 1, false}, EncodeCase{33, 17, 1, true},
                                         EncodeCase{33, 17, 50, false}, EncodeCase{33, 17, 50, true},
                                         EncodeCase{33, 17, 100, false}, EncodeCase{33, 17, 100, true},
                                         EncodeCase{1, 1, 100, false}, EncodeCase{1, 1, 75, true},
                                         // More than the first 64 KiB of the output buffer.
                                         EncodeCase{400, 300, 100, false}, EncodeCase{400, 300, 100, true}));

// A datastream is given back exactly when it is below the limit, at the boundary too, in
// the first 64 KiB of the buffer and past it, baseline and progressive.
TEST(EncodeJpegBelow, GivesEncodeJpegsBytesOnlyBelowTheLimit)
{
    for (const auto& [width, height] : {std::pair{33, 17}, std::pair{400, 300}})
        for (bool progressive : {false, true}) {
            const PictureRaster picture = test::MakeTestPicture(width, height, 7);
            const std::vector<uint8_t> whole = EncodeJpeg(picture, 100, progressive);
            const auto size = static_cast<int64_t>(whole.size());
            for (int64_t limit : {int64_t{-1}, int64_t{0}, int64_t{1}, size - 1, size, size + 1, INT64_MAX}) {
                const auto below = EncodeJpegBelow(picture, 100, progressive, limit);
                EXPECT_EQ(below.has_value(), size < limit) << width << " " << progressive << " " << limit;
                if (below) {
                    EXPECT_EQ(*below, whole) << width << " " << progressive << " " << limit;
                }
            }
        }
}

TEST(EncodeJpeg, ClampsQualityIntoOneToHundred)
{
    const PictureRaster picture = test::MakeTestPicture(16, 16);
    const std::vector<uint8_t> lowest = EncodeJpeg(picture, 1, false);
    EXPECT_EQ(EncodeJpeg(picture, 0, false), lowest);
    EXPECT_EQ(EncodeJpeg(picture, -5, false), lowest);
    EXPECT_EQ(EncodeJpeg(picture, 150, false), EncodeJpeg(picture, 100, false));
}

TEST(EncodeJpeg, EmptyPictureGivesEmptyDatastream)
{
    for (const auto& [width, height] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}})
        EXPECT_TRUE(EncodeJpeg(PictureRaster(width, height), 100, false).empty()) << width << "x" << height;
}

TEST(EncodeJpeg, RefusesASideLongerThanJpegHolds)
{
    constexpr int32_t beyond = JPEG_MAX_DIMENSION + 1;
    for (const auto& [width, height] : {std::pair{beyond, 1}, std::pair{1, beyond}}) {
        try {
            EncodeJpeg(test::MakeTestPicture(width, height), 100, false);
            ADD_FAILURE() << "no error for " << width << "x" << height << ", beyond what JPEG allows";
        } catch (const EngineError& error) {
            EXPECT_EQ(std::string(error.what()), "JPEG の一辺は 65500 ピクセルまでのため保存できません: "
                                                     + std::to_string(width) + " x " + std::to_string(height));
        }
    }
}

} // namespace
} // namespace gustara
