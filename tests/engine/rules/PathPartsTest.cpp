#include "rules/PathParts.h"
#include "read/PictureFormat.h"

#include <gtest/gtest.h>

#include <utility>

namespace gustara {
namespace {

struct PathCase {
    const char* path;
    const char* folder;
    const char* name;
    const char* extension;
    const char* withoutExtension;
};

class PathPartsTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathPartsTest, SplitsAtLastDelimiterAndLastDotOfTheName)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(FolderPart(c.path), c.folder);
    EXPECT_EQ(NamePart(c.path), c.name);
    EXPECT_EQ(ExtensionOf(c.path), c.extension);
    EXPECT_EQ(PathWithoutExtension(c.path), c.withoutExtension);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathPartsTest,
    ::testing::Values(
        PathCase{"/pics/photo.png", "/pics/", "photo.png", ".png", "/pics/photo"},
        PathCase{"/pics/my.photo.bmp", "/pics/", "my.photo.bmp", ".bmp", "/pics/my.photo"},
        PathCase{"/pics.d/photo", "/pics.d/", "photo", "", "/pics.d/photo"},
        PathCase{"photo.JPG", "", "photo.JPG", ".JPG", "photo"},
        PathCase{"/pics/", "/pics/", "", "", "/pics/"},
        PathCase{"/pics/.hidden", "/pics/", ".hidden", ".hidden", "/pics/"},
        PathCase{"/写真/ラーメン.jpeg", "/写真/", "ラーメン.jpeg", ".jpeg", "/写真/ラーメン"},
        PathCase{"", "", "", "", ""}));

TEST(ReplaceExtension, ReplacesWhateverCaseOrAppends)
{
    EXPECT_EQ(ReplaceExtension("/p/photo.JPG", ".jpg"), "/p/photo.jpg");
    EXPECT_EQ(ReplaceExtension("/p/photo.png", ".jpg"), "/p/photo.jpg");
    EXPECT_EQ(ReplaceExtension("/p.x/photo", ".jpg"), "/p.x/photo.jpg");
}

TEST(SavePathFor, IsTheSourcePathAsAJpegFile)
{
    EXPECT_EQ(SavePathFor("/p/my.photo.BMP"), "/p/my.photo.jpg");
    EXPECT_EQ(SavePathFor("/p.x/photo"), "/p.x/photo.jpg");
}

TEST(UpperAscii, TouchesOnlyAsciiLetters)
{
    EXPECT_EQ(UpperAscii(".jpeg"), ".JPEG");
    EXPECT_EQ(UpperAscii("ａｂｃ.gif"), "ａｂｃ.GIF");
}

TEST(PictureFormatOf, ChoosesByTheLastComponentsExtensionOnly)
{
    const std::pair<const char*, PictureFormat> cases[] = {
        {"photo.jpeg", PictureFormat::Jpeg}, {"PHOTO.JPG", PictureFormat::Jpeg},
        {"Photo.Jpg", PictureFormat::Jpeg},  {"photo.png.bmp", PictureFormat::Bmp},
        {"a.Png", PictureFormat::Png},       {"a.gif", PictureFormat::Gif},
        {"photo", PictureFormat::None},      {"photo.jpe", PictureFormat::None},
        {"photo.jfif", PictureFormat::None}, {"photo.tif", PictureFormat::None},
        {"/d.jpg/photo", PictureFormat::None}, {"photo.jpg ", PictureFormat::None},
    };
    for (const auto& [path, format] : cases)
        EXPECT_EQ(PictureFormatOf(path), format) << path;
}

} // namespace
} // namespace gustara
