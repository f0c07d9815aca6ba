#include "EngineError.h"
#include "PngFixtures.h"
#include "read/PngReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace gustara;
using namespace gustara::test;

namespace {

using Rgb = std::array<uint8_t, 3>;

// A PNG to write: samples given one value per channel, row by row, at the file's depth.
struct PngLayout : PngHeader {
    std::vector<unsigned> samples;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    std::optional<png_color_16> key; // tRNS colour of grey and RGB files
    png_fixed_point gamma = 0;       // 0: no gAMA chunk
};

int Channels(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    default: return 1;
    }
}

// Rows packed as stored: sub-byte samples from the high bits, 16-bit samples big-endian.
std::vector<png_byte> PackRows(const PngLayout& layout)
{
    const size_t perRow = layout.width * Channels(layout.colourType);
    const size_t rowBytes = (perRow * layout.bitDepth + 7) / 8;
    std::vector<png_byte> packed(rowBytes * layout.height);
    for (uint32_t y = 0; y < layout.height; ++y) {
        png_byte* row = packed.data() + y * rowBytes;
        for (size_t i = 0; i < perRow; ++i) {
            const unsigned value = layout.samples.at(y * perRow + i);
            if (layout.bitDepth == 16) {
                row[2 * i] = static_cast<png_byte>(value >> 8);
                row[2 * i + 1] = static_cast<png_byte>(value);
            } else {
                const size_t bit = i * layout.bitDepth;
                row[bit / 8] |= static_cast<png_byte>(value << (8 - layout.bitDepth - bit % 8));
            }
        }
    }
    return packed;
}

std::vector<uint8_t> EncodePng(const PngLayout& layout)
{
    return EncodePngRows(layout, PackRows(layout), [&layout](png_structp png, png_infop info) {
        if (!layout.palette.empty())
            png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
        if (!layout.paletteAlpha.empty())
            png_set_tRNS(png, info, layout.paletteAlpha.data(), static_cast<int>(layout.paletteAlpha.size()), nullptr);
        if (layout.key) {
            png_color_16 key = *layout.key;
            png_set_tRNS(png, info, nullptr, 1, &key);
        }
        if (layout.gamma != 0)
            png_set_gAMA_fixed(png, info, layout.gamma);
    });
}

PictureRaster Decode(const std::vector<uint8_t>& bytes)
{
    TempDir dir;
    return ReadPng(StoreFile(dir, "in.png", bytes));
}

std::vector<Rgb> Pixels(const PictureRaster& picture)
{
    std::vector<Rgb> pixels;
    for (int32_t y = 0; y < picture.height(); ++y)
        for (int32_t x = 0; x < picture.width(); ++x)
            pixels.push_back({picture.row(y)[3 * x], picture.row(y)[3 * x + 1], picture.row(y)[3 * x + 2]});
    return pixels;
}

// One row of pixels: width = number of samples / channels.
PngLayout Row(int colourType, int bitDepth, std::vector<unsigned> samples)
{
    PngLayout layout;
    layout.colourType = colourType;
    layout.bitDepth = bitDepth;
    layout.width = static_cast<uint32_t>(samples.size() / Channels(colourType));
    layout.samples = std::move(samples);
    return layout;
}

// A whole chunk: length, type, data, CRC.
std::vector<uint8_t> Chunk(const std::string& type, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> chunk;
    AppendPngChunk(chunk, type, data);
    return chunk;
}

constexpr size_t kAfterSignature = 8;
constexpr size_t kAfterHeader = 8 + 25; // signature and the IHDR chunk

std::vector<uint8_t> Inserted(std::vector<uint8_t> file, size_t at, const std::vector<uint8_t>& chunk)
{
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), chunk.begin(), chunk.end());
    return file;
}

// The offset of the first chunk of that type.
size_t FindChunk(const std::vector<uint8_t>& file, const std::string& type)
{
    for (const PngChunk& chunk : PngChunks(file))
        if (chunk.type == type)
            return chunk.begin;
    return file.size();
}

const PngLayout& SmallRgb()
{
    static const PngLayout layout = Row(PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 40, 50, 60});
    return layout;
}

} // namespace

TEST(PngReader, AlphaIsFlattenedOntoWhite)
{
    // 16-bit alpha takes its high byte first.
    const struct {
        PngLayout layout;
        Rgb expected;
    } cases[] = {
        {Row(PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 0, 0, 128}), {255, 127, 127}},
        {Row(PNG_COLOR_TYPE_RGB_ALPHA, 8, {13, 200, 77, 0}), {255, 255, 255}},
        {Row(PNG_COLOR_TYPE_RGB_ALPHA, 8, {13, 200, 77, 255}), {13, 200, 77}},
        {Row(PNG_COLOR_TYPE_RGB_ALPHA, 8, {0, 100, 200, 1}), {254, 254, 254}},
        {Row(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0, 128}), {127, 127, 127}},
        {Row(PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x00FF, 0x80FF}), {127, 127, 127}},
        {Row(PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xFFFF, 0, 0, 0x8000}), {255, 127, 127}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pixels(Decode(EncodePng(c.layout))), std::vector<Rgb>{c.expected}) << c.layout.colourType;
}

TEST(PngReader, PaletteColoursAreExact)
{
    PngLayout layout = Row(PNG_COLOR_TYPE_PALETTE, 4, {0, 1, 1, 0, 1});
    layout.palette = {{10, 20, 30}, {200, 100, 50}};
    EXPECT_EQ(Pixels(Decode(EncodePng(layout))),
              (std::vector<Rgb>{{10, 20, 30}, {200, 100, 50}, {200, 100, 50}, {10, 20, 30}, {200, 100, 50}}));
}

TEST(PngReader, PaletteIndicesBeyondTheAlphaListAreOpaque)
{
    PngLayout layout = Row(PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 3});
    layout.palette = {{10, 20, 30}, {200, 100, 50}, {0, 0, 0}, {90, 90, 90}};
    layout.paletteAlpha = {0, 128};
    EXPECT_EQ(Pixels(Decode(EncodePng(layout))),
              (std::vector<Rgb>{{255, 255, 255}, {227, 177, 152}, {0, 0, 0}, {90, 90, 90}}));
}

TEST(PngReader, TransparentColourTurnsExactMatchesWhite)
{
    PngLayout rgb = Row(PNG_COLOR_TYPE_RGB, 8, {0, 255, 0, 0, 254, 0, 1, 255, 0, 0, 255, 0});
    rgb.key = png_color_16{0, 0, 255, 0, 0};
    EXPECT_EQ(Pixels(Decode(EncodePng(rgb))),
              (std::vector<Rgb>{{255, 255, 255}, {0, 254, 0}, {1, 255, 0}, {255, 255, 255}}));

    // 16-bit keys compare all 16 bits: the same high byte alone is not a match.
    PngLayout deep = Row(PNG_COLOR_TYPE_RGB, 16, {0x1234, 0x5678, 0x9ABC, 0x1234, 0x5678, 0x9ABD});
    deep.key = png_color_16{0, 0x1234, 0x5678, 0x9ABC, 0};
    EXPECT_EQ(Pixels(Decode(EncodePng(deep))), (std::vector<Rgb>{{255, 255, 255}, {0x12, 0x56, 0x9A}}));

    PngLayout grey16 = Row(PNG_COLOR_TYPE_GRAY, 16, {0x8001, 0x8000});
    grey16.key = png_color_16{0, 0, 0, 0, 0x8001};
    EXPECT_EQ(Pixels(Decode(EncodePng(grey16))), (std::vector<Rgb>{{255, 255, 255}, {128, 128, 128}}));

    PngLayout grey2 = Row(PNG_COLOR_TYPE_GRAY, 2, {0, 1, 2, 3});
    grey2.key = png_color_16{0, 0, 0, 0, 1};
    EXPECT_EQ(Pixels(Decode(EncodePng(grey2))),
              (std::vector<Rgb>{{0, 0, 0}, {255, 255, 255}, {170, 170, 170}, {255, 255, 255}}));

    // A key beyond the bit depth equals no sample (17 is 1 in its low four bits). libpng's
    // writer refuses such a key, so the chunk is added by hand.
    const std::vector<uint8_t> grey4 = EncodePng(Row(PNG_COLOR_TYPE_GRAY, 4, {1, 15}));
    EXPECT_EQ(Pixels(Decode(Inserted(grey4, FindChunk(grey4, "IDAT"), Chunk("tRNS", {0, 17})))),
              (std::vector<Rgb>{{17, 17, 17}, {255, 255, 255}}));
}

TEST(PngReader, SamplesBecomeEightBitsExactly)
{
    const struct {
        int bitDepth;
        std::vector<unsigned> samples;
        std::vector<uint8_t> expected;
    } greys[] = {
        {1, {0, 1}, {0, 255}},
        {2, {0, 1, 2, 3}, {0, 85, 170, 255}},
        {4, {0, 1, 7, 15}, {0, 17, 119, 255}},
        {8, {0, 1, 128, 255}, {0, 1, 128, 255}},
        {16, {0x0000, 0x00FF, 0x12FF, 0xFFFF}, {0, 0, 0x12, 255}}, // high byte, never rounded up
    };
    for (const auto& grey : greys) {
        std::vector<Rgb> expected;
        for (uint8_t v : grey.expected)
            expected.push_back({v, v, v});
        EXPECT_EQ(Pixels(Decode(EncodePng(Row(PNG_COLOR_TYPE_GRAY, grey.bitDepth, grey.samples)))), expected)
            << grey.bitDepth << "-bit grey";
    }
    EXPECT_EQ(Pixels(Decode(EncodePng(Row(PNG_COLOR_TYPE_RGB, 16, {0x12FF, 0x3480, 0xFF7F})))),
              (std::vector<Rgb>{{0x12, 0x34, 0xFF}}));
}

TEST(PngReader, InterlacedEqualsNonInterlaced)
{
    // Sizes with empty Adam7 passes (1 x 1, a single column) and with partial ones.
    const std::array<std::array<uint32_t, 2>, 5> sizes = {{{1, 1}, {1, 9}, {3, 5}, {9, 7}, {33, 17}}};
    const std::array<int, 4> types = {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_GRAY_ALPHA,
                                      PNG_COLOR_TYPE_PALETTE};
    for (const auto& size : sizes) {
        for (int type : types) {
            PngLayout layout;
            layout.width = size[0];
            layout.height = size[1];
            layout.colourType = type;
            if (type == PNG_COLOR_TYPE_PALETTE)
                for (int i = 0; i < 16; ++i)
                    layout.palette.push_back({png_byte(i * 16), png_byte(255 - i * 7), png_byte(i * i)});
            const size_t count = size_t{size[0]} * size[1] * Channels(type);
            for (size_t i = 0; i < count; ++i)
                layout.samples.push_back(type == PNG_COLOR_TYPE_PALETTE ? i % 16 : (i * 37 + i / 5) % 256);
            const PictureRaster plain = Decode(EncodePng(layout));
            layout.interlaced = true;
            EXPECT_TRUE(SamePixels(Decode(EncodePng(layout)), plain)) << size[0] << "x" << size[1] << " type " << type;
        }
    }
}

TEST(PngReader, GammaIsAppliedAgainstADisplayOf2Point2)
{
    PngLayout layout = Row(PNG_COLOR_TYPE_RGB, 8, {0, 1, 64, 128, 200, 255});
    EXPECT_EQ(Pixels(Decode(EncodePng(layout))), (std::vector<Rgb>{{0, 1, 64}, {128, 200, 255}}));
    layout.gamma = 45455; // 1 / 2.2: the identity
    EXPECT_EQ(Pixels(Decode(EncodePng(layout))), (std::vector<Rgb>{{0, 1, 64}, {128, 200, 255}}));
    layout.gamma = 100000; // 255 * (v / 255)^0.45455, rounded
    EXPECT_EQ(Pixels(Decode(EncodePng(layout))), (std::vector<Rgb>{{0, 21, 136}, {186, 228, 255}}));
}

TEST(PngReader, AncillaryChunksAreReadOver)
{
    const std::vector<uint8_t> plain = EncodePng(SmallRgb());
    const std::string text("Comment\0soup", 12);
    const std::vector<std::vector<uint8_t>> chunks = {
        Chunk("tEXt", std::vector<uint8_t>(text.begin(), text.end())),
        Chunk("pHYs", {0, 0, 11, 19, 0, 0, 11, 19, 1}),
        Chunk("tIME", {7, 232, 1, 2, 3, 4, 5}),
        Chunk("prVt", {1, 2, 3}), // unknown, safe to ignore
    };
    for (const auto& chunk : chunks)
        EXPECT_TRUE(SamePixels(Decode(Inserted(plain, kAfterHeader, chunk)), Decode(plain)));
}

TEST(PngReader, MalformedFilesFail)
{
    const std::vector<uint8_t> plain = EncodePng(SmallRgb());
    std::vector<uint8_t> palette = [] {
        PngLayout layout = Row(PNG_COLOR_TYPE_PALETTE, 8, {0, 1});
        layout.palette = {{1, 2, 3}, {4, 5, 6}};
        return EncodePng(layout);
    }();
    const size_t paletteEnd = FindChunk(palette, "IDAT");
    std::vector<uint8_t> badCrc = plain;
    badCrc[FindChunk(badCrc, "IDAT") + 8] ^= 0x01;
    std::vector<uint8_t> noData = plain;
    const size_t idat = FindChunk(noData, "IDAT");
    noData.erase(noData.begin() + idat, noData.begin() + FindChunk(noData, "IEND"));
    std::vector<uint8_t> badSignature = plain;
    badSignature[1] = 'Q';

    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"wrong signature", badSignature},
        {"text before IHDR", Inserted(plain, kAfterSignature, Chunk("tEXt", {'a', 0, 'b'}))},
        {"unknown chunk before IHDR", Inserted(plain, kAfterSignature, Chunk("prVt", {1}))},
        {"unknown critical chunk", Inserted(plain, kAfterHeader, Chunk("QUUX", {1}))},
        {"no picture data", noData},
        {"tRNS with 257 entries", Inserted(palette, paletteEnd, Chunk("tRNS", std::vector<uint8_t>(257, 9)))},
        {"CRC error in IDAT", badCrc},
        {"cut in the header", std::vector<uint8_t>(plain.begin(), plain.begin() + 20)},
        {"cut in the data", std::vector<uint8_t>(plain.begin(), plain.begin() + idat + 10)},
        {"cut before IEND", std::vector<uint8_t>(plain.begin(), plain.end() - 12)},
    };
    for (const auto& c : cases)
        EXPECT_THROW(Decode(c.bytes), EngineError) << c.what;
}

TEST(PngReader, HugeHeadersFailBeforeDecoding)
{
    std::vector<uint8_t> file = EncodePng(SmallRgb());
    // IHDRs with valid CRCs whose sizes are refused: 100000 x 100000 exceeds the pixel cap.
    const std::vector<uint8_t> tooManyPixels = Chunk("IHDR", {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 2, 0, 0, 0});
    std::copy(tooManyPixels.begin(), tooManyPixels.end(), file.begin() + kAfterSignature);
    EXPECT_THROW(Decode(file), EngineError);
    // 2^20 + 1 pixels wide, 1 high: past the side limit although the pixel count is small.
    const std::vector<uint8_t> tooWide = Chunk("IHDR", {0, 0x10, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0});
    std::copy(tooWide.begin(), tooWide.end(), file.begin() + kAfterSignature);
    EXPECT_THROW(Decode(file), EngineError);
}

TEST(PngReader, OtherFilesNamedPngFail)
{
    TempDir dir;
    const std::string ppm = dir.file("in.ppm");
    const std::string jpeg = dir.file("photo.png");
    WritePpm(ppm, MakeTestPicture(8, 8));
    ASSERT_EQ(RunCommand("cjpeg " + ShellQuote(ppm) + " > " + ShellQuote(jpeg)), 0);
    EXPECT_THROW(ReadPng(jpeg), EngineError);
    EXPECT_THROW(ReadPng(dir.file("missing.png")), EngineError);
}
