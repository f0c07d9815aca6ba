#include "preview/StrengthPreview.h"

#include "EngineError.h"
#include "PngFixtures.h"
#include "pixels/DisplayOrientation.h"
#include "preview/CompareStrip.h"
#include "read/JpegReader.h"
#include "rules/DropRules.h"
#include "TestFiles.h"
#include "UnitThPicConvert.h"
#include "write/JpegWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace gustara {
namespace {

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
    // Worked examples, then a sweep: the decoded sides cover the fit and an eighth less would not.
    const struct {
        int32_t width, height;
        PictureSize box;
        int eighths;
    } kCases[] = {
        {6000, 4000, {750, 750}, 1},  {6000, 4000, {751, 751}, 2},   // 750 x 500 is exactly an eighth
        {6000, 4000, {960, 480}, 1},  {6000, 4000, {5999, 5999}, 8}, // the fit is 720 x 480
        {6000, 4000, {6000, 6000}, 8}, {100, 10, {40, 40}, 4},       // not shrunk; 40 x 4 needs 3.2
        {4000, 6000, {400, 400}, 1},  {800, 600, {100, 40}, 1},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(CoveringScaleEighths(c.width, c.height, c.box), c.eighths)
            << c.width << "x" << c.height << " into " << c.box.width << "x" << c.box.height;
    for (int32_t width = 1; width <= 120; width += 7)
        for (int32_t height = 1; height <= 120; height += 5)
            for (const PictureSize box : {PictureSize{1, 1}, PictureSize{7, 30}, PictureSize{40, 9}, PictureSize{33, 33},
                                          PictureSize{130, 130}}) {
                const int m = CoveringScaleEighths(width, height, box);
                const auto fit = FitToBoxSize(width, height, box.width, box.height);
                const auto covers = [&](int eighths) {
                    const PictureSize want = fit.value_or(PictureSize{width, height});
                    return (width * eighths + 7) / 8 >= want.width && (height * eighths + 7) / 8 >= want.height;
                };
                ASSERT_TRUE(covers(m) && (m == 1 || !covers(m - 1) || !fit)) << width << "x" << height << " at " << m;
            }
}

TEST(StrengthPreview, EachStrengthIsTheBatchFilterOnTheFittedUprightOriginal)
{
    const test::TempDir dir;
    const PictureRaster flat = test::MakeTestPicture(90, 60);
    PictureRaster phone = test::MakeTestPicture(400, 240);
    phone.metadata().orientation = 6;  // held upright: shown 240 x 400
    const std::string jpeg = test::StoreFile(dir, "phone.jpg", EncodeJpeg(phone, 95, false));
    // The stored 400 x 240 fits 50 x 30 (the cell turned), which an eighth of it covers exactly.
    const PictureRaster eighth = ReadJpeg(jpeg, [](int32_t, int32_t, const PictureMetadata&) { return 1; });
    ASSERT_EQ(eighth.width(), 50);
    const struct {
        std::string path;
        PictureSize shown, cell;
        PictureRaster before;  // the pixels the batch would fit into the cell
    } kCases[] = {
        {test::StoreFile(dir, "dish.png", PngOf(flat)), {90, 60}, {40, 40}, flat.clone()},  // read whole
        {jpeg, {240, 400}, {30, 50}, TurnedUpright(eighth)},                                // reduced
    };
    for (const auto& c : kCases) {
        PictureSize askedFor{0, 0};
        const StrengthPreview preview = MakeStrengthPreview(c.path, [&](PictureSize shown) {
            askedFor = shown;
            return c.cell;
        });
        EXPECT_EQ(askedFor.width, c.shown.width) << c.path;
        EXPECT_EQ(askedFor.height, c.shown.height) << c.path;
        EXPECT_EQ(preview.shownSource.width, c.shown.width) << c.path;
        EXPECT_TRUE(test::SamePixels(preview.pictures[0], BatchPixels(c.before, c.cell, 0))) << c.path;
        for (std::size_t i = 0; i < kCompareLevels.size(); ++i)
            EXPECT_TRUE(test::SamePixels(preview.pictures[i + 1], BatchPixels(c.before, c.cell, kCompareLevels[i])))
                << c.path << " level " << kCompareLevels[i];
    }
}

TEST(StrengthPreview, UnreadablePicturesFailWithTheirReason)
{
    const test::TempDir dir;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string reason;  // empty: the decoder's own
    } kCases[] = {
        {"cut.jpg", test::Cut(EncodeJpeg(test::MakeTestPicture(32, 32), 90, false), 300), ""},
        {"empty.png", {}, ""},
        {"notes.txt", {1, 2, 3}, std::string(Text(Message::ReasonFormat))},
    };
    for (const auto& c : kCases) {
        try {
            MakeStrengthPreview(test::StoreFile(dir, c.name, c.bytes), [](PictureSize) { return PictureSize{10, 10}; });
            ADD_FAILURE() << c.name << " was shown";
        } catch (const EngineError& error) {
            EXPECT_TRUE(c.reason.empty() || error.what() == c.reason) << c.name << ": " << error.what();
        }
    }
}

TEST(CompareStrip, PicturesSitSideBySideOnWhiteWithGaps)
{
    // Picture i is the colour ('A' + i, 'a' + i, '0' + i), shown as its letter; white is '.'.
    PictureRaster pictures[3] = {PictureRaster(2, 3), PictureRaster(1, 1), PictureRaster(3, 2)};
    for (int i = 0; i < 3; ++i)
        pictures[i].fill(static_cast<uint8_t>('A' + i), static_cast<uint8_t>('a' + i), static_cast<uint8_t>('0' + i));
    pictures[0].metadata().iccProfile = {7};
    const PictureRaster strip = JoinSideBySide(pictures);
    EXPECT_EQ(strip.metadata().iccProfile, std::vector<uint8_t>{7});
    const std::string gap(kStripGap, '.');
    const std::string expected[] = {"AA" + gap + "B" + gap + "CCC", "AA" + gap + "." + gap + "CCC", "AA" + gap + "." + gap + "..."};
    ASSERT_EQ(strip.height(), 3);
    for (int32_t y = 0; y < 3; ++y) {
        std::string row;
        for (int32_t x = 0; x < strip.width(); ++x) {
            const uint8_t* p = strip.row(y) + 3 * x;
            const bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
            row += white ? '.' : (p[1] == p[0] + 32 && p[2] == p[0] - 17 ? static_cast<char>(p[0]) : '?');
        }
        EXPECT_EQ(row, expected[y]);
    }
}

} // namespace
} // namespace gustara
