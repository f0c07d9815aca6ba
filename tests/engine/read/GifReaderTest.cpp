#include "EngineError.h"
#include "read/GifReader.h"
#include "TestFiles.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

using namespace gustara;
using namespace gustara::test;

namespace {

using Rgb = std::array<uint8_t, 3>;

struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::vector<GifPixelType> rows; // width x height indices, rows in the order they are stored
    std::vector<GifColorType> localMap;
    int transparentIndex = -1;
};

struct GifLayout {
    int width = 0;
    int height = 0;
    std::vector<GifColorType> globalMap;
    std::vector<GifFrame> frames;
};

// Colour maps must have a power-of-two size.
ColorMapObject* MakeMap(const std::vector<GifColorType>& colours)
{
    return colours.empty() ? nullptr : GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
}

void Require(bool ok, const char* step)
{
    if (!ok)
        throw std::runtime_error(std::string("giflib failed to ") + step);
}

std::vector<uint8_t> EncodeGif(const GifLayout& layout)
{
    TempDir dir;
    const std::string path = dir.file("out.gif");
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    Require(gif, "open");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = MakeMap(layout.globalMap);
    Require(EGifPutScreenDesc(gif, layout.width, layout.height, 8, 0, global) == GIF_OK, "write the screen");
    GifFreeMapObject(global);
    for (const GifFrame& frame : layout.frames) {
        if (frame.transparentIndex >= 0) {
            const GifByteType control[4] = {0x01, 0, 0, static_cast<GifByteType>(frame.transparentIndex)};
            Require(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK, "write the extension");
        }
        ColorMapObject* local = MakeMap(frame.localMap);
        Require(EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced, local)
                    == GIF_OK,
                "write the image");
        GifFreeMapObject(local);
        Require(frame.rows.size() == size_t(frame.width) * size_t(frame.height), "match the frame size");
        std::vector<GifPixelType> rows = frame.rows;
        for (int y = 0; y < frame.height; ++y)
            Require(EGifPutLine(gif, rows.data() + y * frame.width, frame.width) == GIF_OK, "write a line");
    }
    Require(EGifCloseFile(gif, &error) == GIF_OK, "close");
    return ReadFileBytes(path);
}

PictureRaster Decode(const std::vector<uint8_t>& bytes)
{
    TempDir dir;
    return ReadGif(StoreFile(dir, "picture.gif", bytes));
}

int Count(const std::vector<uint8_t>& bytes)
{
    TempDir dir;
    return CountGifImages(StoreFile(dir, "picture.gif", bytes), 2);
}

Rgb PixelAt(const PictureRaster& picture, int x, int y)
{
    const uint8_t* p = picture.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

Rgb ToRgb(const GifColorType& colour)
{
    return {colour.Red, colour.Green, colour.Blue};
}

// 16 distinct colours; index i is (i * 16, 255 - i, 7 * i).
std::vector<GifColorType> Ramp()
{
    std::vector<GifColorType> colours;
    for (int i = 0; i < 16; ++i)
        colours.push_back({GifByteType(i * 16), GifByteType(255 - i), GifByteType(7 * i)});
    return colours;
}

// A frame of the given indices, or of a pattern over the 16 ramp colours.
GifFrame Frame(int left, int top, int width, int height, std::vector<GifPixelType> rows = {})
{
    GifFrame frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.rows = std::move(rows);
    if (frame.rows.empty())
        for (int i = 0; i < width * height; ++i)
            frame.rows.push_back(static_cast<GifPixelType>((i * 5 + i / width) % 16));
    return frame;
}

// Every pixel of the picture is the frame's colour inside it and white outside.
void ExpectFrameOnWhite(const PictureRaster& picture, const GifFrame& frame, const std::vector<GifColorType>& map)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const bool inside = x >= frame.left && x < frame.left + frame.width && y >= frame.top
                && y < frame.top + frame.height;
            const Rgb expected = inside
                ? ToRgb(map[frame.rows[(y - frame.top) * frame.width + (x - frame.left)]])
                : Rgb{255, 255, 255};
            ASSERT_EQ(PixelAt(picture, x, y), expected) << x << "," << y;
        }
}

constexpr size_t kScreenFlags = 10;  // packed byte of the logical screen descriptor
constexpr size_t kGlobalMapStart = 13;

} // namespace

TEST(GifReader, FullScreenFrameTakesLocalOrElseGlobalColours)
{
    GifLayout layout{4, 3, Ramp(), {Frame(0, 0, 4, 3)}};
    ExpectFrameOnWhite(Decode(EncodeGif(layout)), layout.frames[0], layout.globalMap);

    std::vector<GifColorType> local = Ramp();
    for (auto& colour : local)
        colour.Blue = 200;
    layout.frames[0].localMap = local;
    ExpectFrameOnWhite(Decode(EncodeGif(layout)), layout.frames[0], local);
}

TEST(GifReader, FrameOfScreenSizeIgnoresItsOffset)
{
    GifLayout layout{3, 2, Ramp(), {Frame(7, 9, 3, 2)}};
    const PictureRaster picture = Decode(EncodeGif(layout));
    ASSERT_EQ(picture.width(), 3);
    ASSERT_EQ(picture.height(), 2);
    layout.frames[0].left = layout.frames[0].top = 0;
    ExpectFrameOnWhite(picture, layout.frames[0], layout.globalMap);
}

// A frame is drawn on white at its offset; what reaches past the screen is cut off, unless the
// screen is too small to hold the frame at all.
TEST(GifReader, FrameIsDrawnAtItsOffsetAndCutOffAtTheScreen)
{
    const struct {
        const char* what;
        GifLayout layout;
        int width, height;
    } cases[] = {
        {"inside the screen", {100, 80, Ramp(), {Frame(10, 5, 50, 40)}}, 100, 80},
        {"past the right and bottom edges", {100, 80, Ramp(), {Frame(60, 50, 50, 40)}}, 100, 80},
        {"past the bottom edge only", {10, 10, Ramp(), {Frame(5, 7, 5, 6)}}, 10, 10},
        {"wholly outside the screen", {10, 10, Ramp(), {Frame(12, 3, 4, 4)}}, 10, 10},
        {"one row below the screen", {10, 10, Ramp(), {Frame(0, 10, 10, 1)}}, 10, 10},
        {"screen narrower than the frame", {4, 10, Ramp(), {Frame(1, 2, 6, 3)}}, 7, 10},
        {"screen lower than the frame", {10, 2, Ramp(), {Frame(8, 0, 3, 4)}}, 11, 4},
        {"zero-size screen", {0, 0, Ramp(), {Frame(0, 0, 4, 3)}}, 4, 3},
        {"zero-size screen, frame at an offset", {0, 0, Ramp(), {Frame(2, 1, 4, 3)}}, 6, 4},
        {"zero-width screen", {0, 9, Ramp(), {Frame(2, 1, 4, 3)}}, 6, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PictureRaster picture = Decode(EncodeGif(c.layout));
        ASSERT_EQ(picture.width(), c.width);
        ASSERT_EQ(picture.height(), c.height);
        ExpectFrameOnWhite(picture, c.layout.frames[0], c.layout.globalMap);
    }
}

TEST(GifReader, TransparentIndexShowsItsColour)
{
    const std::vector<GifColorType> map = {{255, 0, 0}, {0, 255, 0}};
    GifFrame frame = Frame(0, 0, 2, 1, {0, 1});
    frame.transparentIndex = 1;
    const PictureRaster picture = Decode(EncodeGif({2, 1, map, {frame}}));
    EXPECT_EQ(PixelAt(picture, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(picture, 1, 0), (Rgb{0, 255, 0}));
}

TEST(GifReader, InterlacedRowsLandInTheirPlaces)
{
    // Ten rows, row y of index y, stored in the four interlace passes: every 8th row from 0,
    // every 8th from 4, every 4th from 2, every 2nd from 1.
    const std::vector<int> storedOrder = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    std::vector<GifPixelType> rows;
    for (int y : storedOrder)
        rows.insert(rows.end(), 2, static_cast<GifPixelType>(y));
    // Once filling the screen, once drawn at an offset on a larger screen.
    for (const int left : {0, 3}) {
        GifFrame frame = Frame(left, 0, 2, 10, rows);
        frame.interlaced = true;
        const PictureRaster picture = Decode(EncodeGif({left == 0 ? 2 : 8, 12, Ramp(), {frame}}));
        for (int y = 0; y < 10; ++y)
            EXPECT_EQ(PixelAt(picture, left + 1, y), ToRgb(Ramp()[y])) << "row " << y << " left " << left;
    }
}

TEST(GifReader, OnlyTheFirstImageIsUsed)
{
    GifLayout layout{4, 4, Ramp(), {Frame(0, 0, 4, 4), Frame(0, 0, 4, 4), Frame(1, 1, 2, 2)}};
    for (auto& index : layout.frames[1].rows)
        index = 3;
    ExpectFrameOnWhite(Decode(EncodeGif(layout)), layout.frames[0], layout.globalMap);
}

TEST(GifReader, FileWithoutImageIsAnEmptyPicture)
{
    const std::vector<uint8_t> bytes = EncodeGif({16, 16, Ramp(), {}});
    const PictureRaster picture = Decode(bytes);
    EXPECT_EQ(picture.width(), 0);
    EXPECT_EQ(picture.height(), 0);
    EXPECT_EQ(Count(bytes), 0);
}

TEST(GifReader, IndicesBeyondTheColourMapAreBlack)
{
    std::vector<GifColorType> map = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
    std::vector<uint8_t> bytes = EncodeGif({4, 1, map, {Frame(0, 0, 4, 1, {0, 1, 2, 3})}});
    // Shrink the global map to its first two entries; the picture data still uses 2 and 3.
    ASSERT_EQ(bytes[kScreenFlags] & 0x07, 1);
    bytes[kScreenFlags] &= 0xF8;
    bytes.erase(bytes.begin() + kGlobalMapStart + 6, bytes.begin() + kGlobalMapStart + 12);
    const PictureRaster picture = Decode(bytes);
    EXPECT_EQ(PixelAt(picture, 0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(PixelAt(picture, 1, 0), (Rgb{40, 50, 60}));
    EXPECT_EQ(PixelAt(picture, 2, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(picture, 3, 0), (Rgb{0, 0, 0}));
}

TEST(GifReader, PictureWithoutAnyColourMapFails)
{
    std::vector<uint8_t> bytes = EncodeGif({2, 1, {{1, 2, 3}, {4, 5, 6}}, {Frame(0, 0, 2, 1, {0, 1})}});
    bytes[kScreenFlags] &= 0x70; // no global map
    bytes.erase(bytes.begin() + kGlobalMapStart, bytes.begin() + kGlobalMapStart + 6);
    EXPECT_THROW(Decode(bytes), EngineError);
    EXPECT_EQ(Count(bytes), 1);
}

TEST(GifReader, CountsImages)
{
    EXPECT_EQ(Count(EncodeGif({4, 4, Ramp(), {Frame(0, 0, 4, 4)}})), 1);
    // Counting stops at the second image: an animation is known there.
    EXPECT_EQ(Count(EncodeGif({4, 4, Ramp(), {Frame(0, 0, 4, 4), Frame(1, 1, 2, 2), Frame(0, 0, 4, 4)}})), 2);
}

TEST(GifReader, UnreadableFilesFail)
{
    const std::vector<uint8_t> one = EncodeGif({30, 20, Ramp(), {Frame(0, 0, 30, 20)}});
    const std::vector<uint8_t> two = EncodeGif({30, 20, Ramp(), {Frame(0, 0, 30, 20), Frame(0, 0, 30, 20)}});
    const std::string text = "this is not a picture\n";
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        bool readFails;
    } cases[] = {
        {"text", std::vector<uint8_t>(text.begin(), text.end()), true},
        {"empty", {}, true},
        {"cut in the screen descriptor", std::vector<uint8_t>(one.begin(), one.begin() + 9), true},
        {"cut in the first image", std::vector<uint8_t>(one.begin(), one.end() - 20), true},
        {"no trailer", std::vector<uint8_t>(one.begin(), one.begin() + kGlobalMapStart + 48), true},
        // Loading and counting both stop before the second image's data.
        {"cut in the second image", std::vector<uint8_t>(two.begin(), two.end() - 20), false},
    };
    for (const auto& c : cases) {
        if (c.readFails)
            EXPECT_THROW(Decode(c.bytes), EngineError) << c.what;
        else
            EXPECT_NO_THROW(Decode(c.bytes)) << c.what;
        if (c.readFails)
            EXPECT_THROW(Count(c.bytes), EngineError) << c.what;
        else
            EXPECT_EQ(Count(c.bytes), 2) << c.what;
    }
    TempDir dir;
    EXPECT_THROW(ReadGif(dir.file("missing.gif")), EngineError);
    EXPECT_THROW(CountGifImages(dir.file("missing.gif"), 2), EngineError);
}
