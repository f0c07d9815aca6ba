#include "pixels/AreaAverageResampler.h"
#include "EngineError.h"
#include "pixels/FitToBox.h"
#include "TestFiles.h"
#include "UnitThPicConvert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>

namespace gustara {
namespace {

struct FitCase {
    int32_t width, height, boxWidth, boxHeight;
    std::optional<PictureSize> expected;
    const char* why;
};

TEST(FitToBoxSize, SizesAndPicturesLeftAlone)
{
    const FitCase cases[] = {
        {4000, 3000, 1280, 1280, PictureSize{1280, 960}, "landscape"},
        {3000, 4000, 1280, 1280, PictureSize{960, 1280}, "portrait"},
        {2592, 1944, 640, 640, PictureSize{640, 480}, "camera picture"},
        {1000, 500, 801, 801, PictureSize{801, 400}, "400.5 rounds to even"},
        {2000, 2000, 800, 600, PictureSize{600, 600}, "a square goes the landscape way, then fits the height"},
        {1000, 700, 800, 200, PictureSize{286, 200}, "typed box, height decides"},
        {700, 600, 800, 200, std::nullopt, "700 is not more than the box's longer side 800"},
        {1280, 960, 1280, 1280, std::nullopt, "longer side equal to the box"},
        {800, 800, 800, 800, std::nullopt, "same size"},
        {600, 2000, 200, 800, PictureSize{200, 667}, "portrait wider than the box: width decides"},
        {321, 1, 160, 160, PictureSize{160, 1}, "a fitted side of 0 is raised to 1"},
        {1, 321, 160, 160, PictureSize{1, 160}, "the same, standing"},
        {0, 0, 160, 160, std::nullopt, "an empty picture is never resized"},
        {1, 1, 1, 1, std::nullopt, "smallest box"},
        {2, 1, 1, 1, PictureSize{1, 1}, "into the smallest box"},
    };
    for (const auto& c : cases) {
        const auto fitted = FitToBoxSize(c.width, c.height, c.boxWidth, c.boxHeight);
        ASSERT_EQ(fitted.has_value(), c.expected.has_value()) << c.why;
        if (fitted) {
            EXPECT_EQ(fitted->width, c.expected->width) << c.why;
            EXPECT_EQ(fitted->height, c.expected->height) << c.why;
        }
    }
}

TEST(FitToBoxSize, BoxWithoutAreaIsRefused)
{
    const struct {
        int32_t boxWidth, boxHeight;
    } boxes[] = {{0, 0}, {0, 800}, {800, 0}, {-1, 800}, {800, -5}};
    for (const auto& box : boxes)
        EXPECT_THROW(FitToBoxSize(4000, 3000, box.boxWidth, box.boxHeight), EngineError)
            << box.boxWidth << " x " << box.boxHeight;
}

TEST(FitPicSize, ResizesOnlyWhenAskedAndNeeded)
{
    const PictureRaster source = test::MakeTestPicture(400, 300, 5);
    TthPicConvert engine;
    engine.PicWidth = 128;
    engine.PicHeight = 128;

    PictureRaster untouched = source.clone();
    engine.FitPicSize(untouched);
    EXPECT_TRUE(test::SamePixels(untouched, source)) << "resizing is off";

    engine.UsePicSize = true;
    PictureRaster fitted = source.clone();
    engine.FitPicSize(fitted);
    EXPECT_TRUE(test::SamePixels(fitted, AreaAverageResize(source, 128, 96)));

    engine.PicWidth = engine.PicHeight = 400;
    PictureRaster small = source.clone();
    engine.FitPicSize(small);
    EXPECT_TRUE(test::SamePixels(small, source)) << "not larger than the box";
}

// Stored sizes; orientations 5..8 show the picture with its sides swapped.
TEST(FitPicSize, PictureTurnedAQuarterFitsTheBoxAsItIsSeen)
{
    const struct {
        int32_t width, height, boxWidth, boxHeight;
        std::pair<int32_t, int32_t> upright, turned;
    } cases[] = {
        {80, 60, 16, 12, {16, 12}, {12, 9}},   // seen 60 x 80: 9 x 12 fits 16 x 12
        {60, 80, 16, 12, {9, 12}, {12, 16}},   // seen 80 x 60: 16 x 12
        {80, 60, 16, 16, {16, 12}, {16, 12}},  // a square box fits either way
        {80, 60, 80, 30, {80, 60}, {80, 60}},  // no longer than the box's longer side: untouched
    };
    TthPicConvert engine;
    engine.UsePicSize = true;
    for (const auto& c : cases)
        for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
            engine.PicWidth = c.boxWidth;
            engine.PicHeight = c.boxHeight;
            PictureRaster picture = test::MakeTestPicture(c.width, c.height, 5);
            picture.metadata().orientation = orientation;
            engine.FitPicSize(picture);
            EXPECT_EQ(std::pair(picture.width(), picture.height()), orientation >= 5 ? c.turned : c.upright)
                << c.width << "x" << c.height << " orientation " << orientation;
            EXPECT_EQ(picture.metadata().orientation, orientation);
        }
}

TEST(FitPicSize, BoxWithoutAreaFailsAndKeepsThePicture)
{
    const PictureRaster source = test::MakeTestPicture(40, 30, 5);
    TthPicConvert engine;
    engine.UsePicSize = true;
    PictureRaster picture = source.clone();
    EXPECT_THROW(engine.FitPicSize(picture), EngineError);
    EXPECT_TRUE(test::SamePixels(picture, source));
}

} // namespace
} // namespace gustara
