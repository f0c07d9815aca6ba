#include "preview/StrengthPreview.h"

#include "EngineError.h"
#include "PngFixtures.h"
#include "preview/CompareStrip.h"
#include "read/JpegReader.h"
#include "rules/DropRules.h"
#include "TestFiles.h"
#include "UnitThPicConvert.h"
#include "write/JpegWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace gustara {
namespace {

CellForPicture FixedCell(int32_t width, int32_t height)
{
    return [=](PictureSize) { return PictureSize{width, height}; };
}

std::vector<uint8_t> PngOf(const PictureRaster& picture)
{
    test::PngHeader header;
    header.width = static_cast<uint32_t>(picture.width());
    header.height = static_cast<uint32_t>(picture.height());
    std::vector<png_byte> packed(picture.data(), picture.data() + picture.byteCount());
    return test::EncodePngRows(header, std::move(packed), [](png_structp, png_infop) {});
}

// What a batch makes of `source` with the box `cell` at `level`, before encoding.
PictureRaster BatchPixels(const PictureRaster& source, PictureSize cell, int level)
{
    TthPicConvert batch;
    batch.UsePicSize = true;
    batch.PicWidth = cell.width;
    batch.PicHeight = cell.height;
    batch.FlavourLevel = level;
    PictureRaster picture = source.clone();
    batch.FitPicSize(picture);
    if (level > 0)
        batch.ApplyFlavour(picture);
    return picture;
}

TEST(CoveringScale, SmallestEighthStillCoveringTheFit)
{
    const struct {
        int32_t width, height;
        PictureSize box;
        int eighths;
    } kCases[] = {
        {6000, 4000, {750, 750}, 1},   // 750 x 500 is exactly an eighth
        {6000, 4000, {751, 751}, 2},
        {6000, 4000, {1500, 1500}, 2},
        {6000, 4000, {960, 480}, 1},   // the fit is 720 x 480
        {6000, 4000, {5999, 5999}, 8},
        {6000, 4000, {6000, 6000}, 8}, // not shrunk at all
        {4000, 6000, {400, 400}, 1},
        {100, 10, {40, 40}, 4},        // 40 x 4: the width needs 3.2 eighths
        {800, 600, {100, 40}, 1},      // 53 x 40
    };
    for (const auto& c : kCases)
        EXPECT_EQ(CoveringScaleEighths(c.width, c.height, c.box), c.eighths)
            << c.width << "x" << c.height << " into " << c.box.width << "x" << c.box.height;
}

TEST(CoveringScale, DecodedSidesCoverTheFitAndOneEighthLessWouldNot)
{
    for (int32_t width = 1; width <= 120; width += 7)
        for (int32_t height = 1; height <= 120; height += 5)
            for (const PictureSize box : {PictureSize{1, 1}, PictureSize{7, 30}, PictureSize{40, 9}, PictureSize{33, 33},
                                          PictureSize{130, 130}}) {
                const int m = CoveringScaleEighths(width, height, box);
                const auto fit = FitToBoxSize(width, height, box.width, box.height).value_or(PictureSize{width, height});
                const auto covers = [&](int eighths) {
                    return (width * eighths + 7) / 8 >= fit.width && (height * eighths + 7) / 8 >= fit.height;
                };
                ASSERT_TRUE(covers(m)) << width << "x" << height << " at " << m << "/8";
                ASSERT_TRUE(m == 1 || !covers(m - 1) || !FitToBoxSize(width, height, box.width, box.height)) << width << "x" << height;
            }
}

TEST(StrengthPreview, EachStrengthIsTheBatchFilterOnTheFittedOriginal)
{
    const test::TempDir dir;
    const PictureRaster source = test::MakeTestPicture(90, 60);
    const std::string path = test::StoreFile(dir, "dish.png", PngOf(source));
    const StrengthPreview preview = MakeStrengthPreview(path, FixedCell(40, 40));

    EXPECT_EQ(preview.shownSource.width, 90);
    EXPECT_EQ(preview.shownSource.height, 60);
    // A picture that is not a JPEG is read whole and fitted as a batch fits it.
    EXPECT_TRUE(test::SamePixels(preview.pictures[0], BatchPixels(source, {40, 40}, 0)));
    for (std::size_t i = 0; i < kCompareLevels.size(); ++i)
        EXPECT_TRUE(test::SamePixels(preview.pictures[i + 1], BatchPixels(source, {40, 40}, kCompareLevels[i])))
            << "level " << kCompareLevels[i];
}

TEST(StrengthPreview, JpegIsDecodedReducedAndTurnedUpright)
{
    const test::TempDir dir;
    PictureRaster stored = test::MakeTestPicture(400, 240);
    stored.metadata().orientation = 6;  // a phone held upright: shown 240 x 400
    const std::string path = test::StoreFile(dir, "phone.jpg", EncodeJpeg(stored, 95, false));
    PictureSize askedFor{0, 0};
    const StrengthPreview preview = MakeStrengthPreview(path, [&](PictureSize shown) {
        askedFor = shown;
        return PictureSize{30, 50};
    });

    EXPECT_EQ(askedFor.width, 240);
    EXPECT_EQ(askedFor.height, 400);
    // The stored 400 x 240 fits 50 x 30 (the cell turned), which an eighth of it covers
    // exactly; upright it is 30 x 50.
    const PictureRaster eighth = ReadJpeg(path, [](int32_t, int32_t, const PictureMetadata&) { return 1; });
    ASSERT_EQ(eighth.width(), 50);
    PictureRaster expected(30, 50);
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 30; ++x)
            std::memcpy(expected.row(y) + 3 * x, eighth.row(29 - x) + 3 * y, 3);
    EXPECT_TRUE(test::SamePixels(preview.pictures[0], expected));
    for (std::size_t i = 1; i < preview.pictures.size(); ++i)
        EXPECT_EQ(preview.pictures[i].width(), 30);
}

TEST(StrengthPreview, UnreadablePicturesFailWithTheirReason)
{
    const test::TempDir dir;
    const auto jpeg = EncodeJpeg(test::MakeTestPicture(32, 32), 90, false);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string reason;  // empty: the decoder's own
    } kCases[] = {
        {"cut.jpg", test::Cut(jpeg, 300), ""},
        {"empty.png", {}, ""},
        {"notes.txt", {1, 2, 3}, std::string(kReasonFormat)},
    };
    for (const auto& c : kCases) {
        const std::string path = test::StoreFile(dir, c.name, c.bytes);
        try {
            MakeStrengthPreview(path, FixedCell(10, 10));
            ADD_FAILURE() << c.name << " was shown";
        } catch (const EngineError& error) {
            if (!c.reason.empty()) {
                EXPECT_EQ(error.what(), c.reason);
            }
        }
    }
}

TEST(CompareStrip, PicturesSitSideBySideOnWhiteWithGaps)
{
    PictureRaster pictures[3] = {PictureRaster(2, 3), PictureRaster(1, 1), PictureRaster(3, 2)};
    pictures[0].fill(10, 20, 30);
    pictures[1].fill(40, 50, 60);
    pictures[2].fill(70, 80, 90);
    pictures[0].metadata().iccProfile = {7};
    const PictureRaster strip = JoinSideBySide(pictures);
    ASSERT_EQ(strip.width(), 2 + 1 + 3 + 2 * kStripGap);
    ASSERT_EQ(strip.height(), 3);
    EXPECT_EQ(strip.metadata().iccProfile, std::vector<uint8_t>{7});
    // Each column's colour from the top row down: a picture, or white.
    const auto pixel = [&](int32_t x, int32_t y) {
        const uint8_t* p = strip.row(y) + 3 * x;
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    using Colour = std::array<int, 3>;
    const Colour white{255, 255, 255};
    const int32_t second = 2 + kStripGap;
    const int32_t third = second + 1 + kStripGap;
    for (int32_t y = 0; y < 3; ++y) {
        EXPECT_EQ(pixel(1, y), (Colour{10, 20, 30}));
        EXPECT_EQ(pixel(2, y), white);
        EXPECT_EQ(pixel(second, y), (y < 1 ? Colour{40, 50, 60} : white));
        EXPECT_EQ(pixel(third - 1, y), white);
        EXPECT_EQ(pixel(third + 2, y), (y < 2 ? Colour{70, 80, 90} : white));
    }
}

} // namespace
} // namespace gustara
