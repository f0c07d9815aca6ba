#include "pixels/DisplayOrientation.h"

#include <gtest/gtest.h>

#include <string>

namespace gustara {
namespace {

// A stored picture of letters, one pixel each, rows separated by "/"; the letter is the red
// channel.
PictureRaster Letters(const std::string& rows, uint16_t orientation)
{
    const auto width = static_cast<int32_t>(rows.find('/'));
    const auto height = static_cast<int32_t>((rows.size() + 1) / (width + 1));
    PictureRaster picture(width, height);
    picture.fill(0, 0, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            picture.row(y)[3 * x] = static_cast<uint8_t>(rows[static_cast<std::size_t>(y * (width + 1) + x)]);
    picture.metadata().orientation = orientation;
    return picture;
}

std::string LettersOf(const PictureRaster& picture)
{
    std::string rows;
    for (int32_t y = 0; y < picture.height(); ++y) {
        if (y > 0)
            rows += '/';
        for (int32_t x = 0; x < picture.width(); ++x)
            rows += static_cast<char>(picture.row(y)[3 * x]);
    }
    return rows;
}

TEST(DisplayOrientation, EveryOrientationShowsThePictureAsAViewerDoes)
{
    // The stored picture ABC/DEF as a viewer shows it for each EXIF orientation.
    const struct {
        uint16_t orientation;
        const char* shown;
    } kCases[] = {
        {1, "ABC/DEF"}, {2, "CBA/FED"}, {3, "FED/CBA"}, {4, "DEF/ABC"},
        {5, "AD/BE/CF"}, {6, "DA/EB/FC"}, {7, "FC/EB/DA"}, {8, "CF/BE/AD"},
        {0, "ABC/DEF"}, {9, "ABC/DEF"},
    };
    for (const auto& c : kCases) {
        PictureRaster stored = Letters("ABC/DEF", c.orientation);
        stored.metadata().iccProfile = {1, 2, 3};
        const PictureRaster shown = TurnedUpright(stored);
        EXPECT_EQ(LettersOf(shown), c.shown) << "orientation " << c.orientation;
        EXPECT_EQ(shown.metadata().orientation, 1);
        EXPECT_EQ(shown.metadata().iccProfile, (std::vector<uint8_t>{1, 2, 3}));
        EXPECT_EQ(TurnsQuarter(c.orientation), shown.width() == 2) << "orientation " << c.orientation;
    }
}

} // namespace
} // namespace gustara
