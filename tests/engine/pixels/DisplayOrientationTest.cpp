#include "pixels/DisplayOrientation.h"

#include <gtest/gtest.h>

#include <string>

namespace gustara {
namespace {

// The picture's red channels as letters, rows separated by "/".
std::string LettersOf(const PictureRaster& picture)
{
    std::string rows;
    for (int32_t y = 0; y < picture.height(); ++y)
        for (int32_t x = 0; x < picture.width(); ++x)
            rows += std::string(y > 0 && x == 0 ? "/" : "") + static_cast<char>(picture.row(y)[3 * x]);
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
        PictureRaster stored(3, 2);
        stored.fill(0, 0, 0);
        for (int i = 0; i < 6; ++i)
            stored.row(i / 3)[3 * (i % 3)] = static_cast<uint8_t>('A' + i);
        stored.metadata().orientation = c.orientation;
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
