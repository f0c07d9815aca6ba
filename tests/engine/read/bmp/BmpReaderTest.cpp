#include "read/bmp/BmpHeader.h"
#include "read/bmp/BmpReader.h"
#include "BmpFixtures.h"
#include "EngineError.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Records the largest single allocation so that tests can tell that a lying header was
// refused before its raster was allocated.
namespace {
std::atomic<std::size_t> largestAllocation{0};

void* TrackedAllocation(std::size_t size)
{
    std::size_t seen = largestAllocation.load();
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return TrackedAllocation(size); }
void* operator new[](std::size_t size) { return TrackedAllocation(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace gustara {
namespace {

using test::BmpFile;
using test::Rgb;

const Rgb kBlack{0, 0, 0};
const Rgb kWhite{255, 255, 255};
const Rgb kRed{255, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kGrey{9, 9, 9};

PictureRaster Load(const std::vector<uint8_t>& bytes)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.file("picture.bmp"), bytes);
    return ReadBmp(dir.file("picture.bmp"));
}

std::vector<Rgb> PixelsOf(const PictureRaster& raster)
{
    std::vector<Rgb> pixels;
    for (int32_t y = 0; y < raster.height(); ++y)
        for (int32_t x = 0; x < raster.width(); ++x) {
            const uint8_t* p = raster.row(y) + 3 * x;
            pixels.push_back({p[0], p[1], p[2]});
        }
    return pixels;
}

struct DecodeCase {
    const char* name;
    BmpFile file;
    // Rows from the top.
    std::vector<Rgb> expected;
};

BmpFile Direct(uint16_t bitCount, int32_t width, int32_t height, std::vector<uint8_t> pixels,
               uint32_t compression = 0, std::vector<uint32_t> masks = {}, uint32_t infoSize = 40)
{
    return {.infoSize = infoSize, .width = width, .height = height, .bitCount = bitCount,
            .compression = compression, .masks = std::move(masks), .pixels = std::move(pixels)};
}

BmpFile Paletted(uint16_t bitCount, int32_t width, int32_t height, std::vector<Rgb> palette,
                 std::vector<uint8_t> pixels, uint32_t coloursUsed = 0)
{
    BmpFile file = Direct(bitCount, width, height, std::move(pixels));
    file.coloursUsed = coloursUsed;
    file.palette = std::move(palette);
    return file;
}

// The file with one of its fields changed.
template <typename Field>
BmpFile With(BmpFile file, Field BmpFile::*field, std::type_identity_t<Field> value)
{
    file.*field = std::move(value);
    return file;
}

BmpFile Rle(uint32_t compression, int32_t width, int32_t height, std::vector<uint8_t> data)
{
    BmpFile file =
        Paletted(compression == 1 ? 8 : 4, width, height, {kGrey, kRed, kGreen, kBlue}, std::move(data), 4);
    file.compression = compression;
    return file;
}

const std::vector<DecodeCase> kDecodeCases = {
    // Paletted rows, stored bottom-up, each padded to 4 bytes; widths chosen odd.
    {"OneBitExplicitCount", Paletted(1, 3, 2, {kRed, kBlue}, {0b10100000, 0, 0, 0, 0b01100000, 0, 0, 0}, 2),
     {kRed, kBlue, kBlue, kBlue, kRed, kBlue}},
    {"TwoBitCountZero", Paletted(2, 5, 1, {kBlack, kRed, kGreen, kBlue}, {0b00011011, 0b01000000, 0, 0}),
     {kBlack, kRed, kGreen, kBlue, kRed}},
    {"FourBitExplicitCount", Paletted(4, 3, 1, {kGrey, kRed, kGreen}, {0x21, 0x00, 0, 0}, 3),
     {kGreen, kRed, kGrey}},
    {"EightBitWithPadding",
     Paletted(8, 5, 2, {kGrey, kRed, kGreen, kBlue}, {3, 2, 1, 0, 3, 0, 0, 0, 0, 1, 2, 3, 0, 0, 0, 0}),
     {kGrey, kRed, kGreen, kBlue, kGrey, kBlue, kGreen, kRed, kGrey, kBlue}},
    // Index 7 lies beyond the two-entry table.
    {"IndexBeyondTableIsBlack", Paletted(8, 2, 1, {kRed, kGreen}, {1, 7, 0, 0}, 2), {kGreen, kBlack}},
    {"CountAboveTwoToTheBitsIsCut", Paletted(1, 2, 1, {kRed, kGreen}, {0b01000000, 0, 0, 0}, 300), {kRed, kGreen}},
    // A table shorter than its count: the pixel data begins after two of the 256 entries.
    {"TableCutAtPixelData", Paletted(8, 2, 1, {kRed, kGreen}, {1, 0, 0, 0}, 0), {kGreen, kRed}},
    {"GapBeforePixelData",
     With(Paletted(8, 1, 1, {kRed, kGreen}, {1, 0, 0, 0}, 2), &BmpFile::pixelOffset, 14 + 40 + 8 + 20), {kGreen}},
    {"CoreHeaderThreeByteTable", With(Paletted(1, 2, 1, {kRed, kBlue}, {0b01000000, 0, 0, 0}), &BmpFile::infoSize, 12),
     {kRed, kBlue}},
    {"Os2HeaderOf16Bytes", With(Paletted(1, 2, 1, {kRed, kBlue}, {0b10000000, 0, 0, 0}), &BmpFile::infoSize, 16),
     {kBlue, kRed}},
    {"V5HeaderPaletted", With(Paletted(8, 1, 1, {kRed, kGreen}, {1, 0, 0, 0}, 2), &BmpFile::infoSize, 124), {kGreen}},

    // 16 bits: 5-5-5 by default, widened by repeating the top bits.
    {"SixteenBitDefault555", Direct(16, 4, 1, {0xFF, 0x7F, 0x00, 0x7C, 0x01, 0x00, 0x10, 0x00}),
     {kWhite, kRed, {0, 0, 8}, {0, 0, 132}}},
    {"SixteenBit565Bitfields",
     Direct(16, 4, 1, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x20, 0x00}, 3, {0xF800, 0x07E0, 0x001F}),
     {kRed, kGreen, kBlue, {0, 4, 0}}},
    {"SixteenBit565InV4Header", Direct(16, 2, 1, {0xFF, 0xFF, 0x1F, 0x00}, 3, {0xF800, 0x07E0, 0x001F}, 108),
     {kWhite, kBlue}},
    {"SixteenBitMasksIgnoredWithoutBitfields",
     Direct(16, 1, 1, {0xE0, 0x03, 0, 0}, 0, {0xF800, 0x07E0, 0x001F}, 124),
     {kGreen}},
    {"EmptyMaskGivesZero", Direct(16, 1, 1, {0xFF, 0xFF, 0, 0}, 3, {0xFF00, 0x00FF, 0}), {{255, 255, 0}}},

    // 24 bits are blue, green, red; one pixel leaves one byte of padding.
    {"TwentyFourBitBottomUp", Direct(24, 1, 2, {0, 0, 255, 0, 255, 0, 0, 0}), {kBlue, kRed}},
    {"TwentyFourBitTopDown", Direct(24, 1, -2, {0, 0, 255, 0, 255, 0, 0, 0}), {kRed, kBlue}},
    {"TwentyFourBitOddWidth", Direct(24, 3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}),
     {{3, 2, 1}, {6, 5, 4}, {9, 8, 7}}},

    // 32 bits: the fourth byte is never alpha, whatever it holds.
    {"ThirtyTwoBitFourthByteZero", Direct(32, 2, 1, {10, 20, 30, 0, 40, 50, 60, 0}), {{30, 20, 10}, {60, 50, 40}}},
    {"ThirtyTwoBitFourthByteSet", Direct(32, 1, 1, {10, 20, 30, 0x80}), {{30, 20, 10}}},
    {"ThirtyTwoBitBitfieldsReordered", Direct(32, 1, 1, {10, 20, 30, 0}, 3, {0x0000FF, 0x00FF00, 0xFF0000}),
     {{10, 20, 30}}},
    {"ThirtyTwoBitTenBitChannelsKeepTopBits",
     Direct(32, 1, 1, {0x03, 0x00, 0xF8, 0x3F}, 3, {0x3FF00000, 0x000FFC00, 0x000003FF}), {{255, 0x80, 0}}},
    {"ThirtyTwoBitV5AlphaMaskIgnored",
     Direct(32, 1, 1, {10, 20, 30, 0}, 3, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000}, 124), {{30, 20, 10}}},
    {"ThirtyTwoBitAlphaBitfields",
     Direct(32, 1, 1, {10, 20, 30, 0}, 6, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000}), {{30, 20, 10}}},

    // Run-length data, bottom row first. Unset pixels take entry 0 (grey).
    {"Rle8RunsAbsoluteDeltaEarlyEnd",
     Rle(1, 4, 3,
         {3, 1, 0, 0,             // bottom: three red, end of line
          0, 3, 2, 3, 1, 0,       // middle: absolute green, blue, red and its pad byte
          0, 2, 0, 1,             // delta: same column, one row up
          1, 2, 0, 1}),           // top: one green, end of bitmap
     {kGrey, kGrey, kGrey, kGreen, kGreen, kBlue, kRed, kGrey, kRed, kRed, kRed, kGrey}},
    {"Rle8RunsClippedAtRowEnd", Rle(1, 2, 2, {5, 1, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}), {kRed, kGreen, kRed, kRed}},
    {"Rle8RowsUsedUpWithoutEndMark", Rle(1, 1, 1, {1, 3, 0, 0}), {kBlue}},
    {"Rle8DeltaPastTopEnds", Rle(1, 1, 2, {1, 1, 0, 2, 0, 200}), {kGrey, kRed}},
    {"Rle4RunsAndAbsolute",
     Rle(2, 5, 2,
         {5, 0x12, 0, 0,                  // bottom: red, green alternating
          0, 5, 0x21, 0x12, 0x10, 0,      // top: five absolute indices in three bytes and a pad
          0, 1}),
     {kGreen, kRed, kRed, kGreen, kRed, kRed, kGreen, kRed, kGreen, kRed}},
};

void PrintTo(const DecodeCase& decodeCase, std::ostream* out)
{
    *out << decodeCase.name;
}

class BmpDecodes : public testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecodes, ToTheExpectedPixels)
{
    const DecodeCase& decodeCase = GetParam();
    const PictureRaster raster = Load(decodeCase.file.bytes());
    ASSERT_EQ(raster.width(), decodeCase.file.width);
    ASSERT_EQ(raster.height(), std::abs(decodeCase.file.height));
    EXPECT_EQ(PixelsOf(raster), decodeCase.expected);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BmpDecodes, testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The bytes with `size` of them at `at` replaced by little-endian `value`.
std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, std::size_t at, uint32_t value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
}

const BmpFile kPlain24 = Direct(24, 1, 1, {0, 0, 255, 0});
const BmpFile kPlain8 = Paletted(8, 1, 1, {kRed, kGreen}, {1, 0, 0, 0}, 2);

struct RejectCase {
    const char* name;
    std::vector<uint8_t> bytes;
    // A part of the message that names the reason.
    const char* reason;
};

const std::vector<RejectCase> kRejectCases = {
    {"EmptyFile", {}, "空です"},
    {"BadSignature", Patched(kPlain24.bytes(), 1, 'A', 1), "中身がBMP形式ではありません"},
    {"TwoPlanes", With(kPlain24, &BmpFile::planes, 2).bytes(), "プレーン数"},
    {"CutInFileHeader", test::Cut(kPlain24.bytes(), 10), "途中で切れています"},
    {"CutInInfoHeader", test::Cut(kPlain24.bytes(), 30), "途中で切れています"},
    {"CutInColourTable", test::Cut(kPlain8.bytes(), 14 + 40 + 5), "途中で切れています"},
    {"CutInPixels", test::Cut(kPlain24.bytes(), kPlain24.bytes().size() - 1), "途中で切れています"},
    {"InfoHeaderLongerThanFile", Patched(kPlain24.bytes(), 14, 0xFFFFFFF0), "途中で切れています"},
    {"InfoHeaderOf13Bytes", With(kPlain24, &BmpFile::infoSize, 13).bytes(), "情報ヘッダの大きさ 13"},
    {"OffsetPastEnd", Patched(kPlain24.bytes(), 10, 4096), "途中で切れています"},
    {"OffsetInsideHeaders", With(kPlain24, &BmpFile::pixelOffset, 20).bytes(), "ヘッダの中"},
    {"PixelsWhereTheColourTableBelongs", Paletted(8, 1, 1, {}, {0, 0, 0, 0}).bytes(), "カラーテーブルの位置"},
    {"WidthZero", Direct(24, 0, 1, {}).bytes(), "画素がありません"},
    {"NegativeWidth", Direct(24, -1, 1, {0, 0, 0, 0}).bytes(), "-1 x 1"},
    {"HeightInt32Min", Direct(24, 1, INT32_MIN, {0, 0, 0, 0}).bytes(), "2147483648"},
    {"SixtyFourBits", Direct(64, 1, 1, std::vector<uint8_t>(8)).bytes(), "64 ビット/ピクセル"},
    {"ZeroBitsEmbeddedJpeg", Direct(0, 1, 1, {0xFF, 0xD8}, 4).bytes(), "JPEG"},
    {"EmbeddedPng", Direct(0, 1, 1, {0x89, 'P'}, 5).bytes(), "PNG"},
    {"CmykCompression", With(kPlain24, &BmpFile::compression, 11).bytes(), "圧縮方式 11"},
    {"BitfieldsWith24Bits", Direct(24, 1, 1, {0, 0, 0, 0}, 3, {0xFF0000, 0xFF00, 0xFF}).bytes(), "ビットフィールド"},
    {"Rle8With4Bits", With(Paletted(4, 1, 1, {kRed}, {0, 1, 0, 1}), &BmpFile::compression, 1).bytes(), "RLE8 圧縮で 4 ビット/ピクセル"},
    {"RleTopDown", Rle(1, 1, -1, {1, 1, 0, 1}).bytes(), "上から格納"},
    {"RleEndsEarly", Rle(1, 2, 2, {2, 1, 0, 0, 1}).bytes(), "途中で切れています"},
    {"RleAbsoluteRunCut", Rle(1, 4, 1, {0, 4, 1, 2}).bytes(), "途中で切れています"},
    {"NonContiguousMask", Direct(16, 1, 1, {0, 0, 0, 0}, 3, {0xF00F, 0x0F00, 0x00F0}).bytes(), "連続していない"},
};

void PrintTo(const RejectCase& rejectCase, std::ostream* out)
{
    *out << rejectCase.name;
}

class BmpRejects : public testing::TestWithParam<RejectCase> {};

TEST_P(BmpRejects, WithAnEngineErrorNamingTheReason)
{
    try {
        Load(GetParam().bytes);
        FAIL() << "loaded";
    } catch (const EngineError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(BrokenFiles, BmpRejects, testing::ValuesIn(kRejectCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpReader, FailsForAMissingFile)
{
    test::TempDir dir;
    EXPECT_THROW(ReadBmp(dir.file("missing.bmp")), EngineError);
}

// 20000 x 20000 fits the pixel cap (1.2 GB of raster) but the file holds one row at most:
// the reader must refuse before allocating anything of that size.
TEST(BmpReader, RefusesALyingSizeBeforeAllocating)
{
    for (const BmpFile& file : {Direct(24, 20000, 20000, std::vector<uint8_t>(60)),
                                Direct(32, 100000, 100000, std::vector<uint8_t>(60))}) {
        const std::vector<uint8_t> bytes = file.bytes();
        test::TempDir dir;
        test::WriteFileBytes(dir.file("huge.bmp"), bytes);
        largestAllocation = 0;
        EXPECT_THROW(ReadBmp(dir.file("huge.bmp")), EngineError);
        EXPECT_LT(largestAllocation.load(), std::size_t{1} << 20);
    }
}

TEST(BmpChannel, WidensEveryMaskWidthByRepeatingItsBits)
{
    for (unsigned bits = 1; bits <= 8; ++bits) {
        const uint32_t top = (1u << bits) - 1;
        const BmpChannel channel = MakeBmpChannel(top << 3);
        EXPECT_EQ(channel.sample(0), 0) << bits;
        EXPECT_EQ(channel.sample(top << 3), 255) << bits;
        // The widened value starts with the value's own bits.
        for (uint32_t value = 0; value <= top; ++value)
            EXPECT_EQ(channel.sample(value << 3) >> (8 - bits), value) << bits << " bits, value " << value;
    }
    EXPECT_EQ(MakeBmpChannel(0x1F).sample(16), 132);
    EXPECT_EQ(MakeBmpChannel(0x3F).sample(63), 255);
}

TEST(BmpChannel, KeepsTheTopEightBitsOfAWideMask)
{
    const BmpChannel channel = MakeBmpChannel(0xFFFFFFFF);
    EXPECT_EQ(channel.sample(0xABCDEF12), 0xAB);
    EXPECT_EQ(MakeBmpChannel(0x7FF).sample(0x7FF), 255);
    EXPECT_EQ(MakeBmpChannel(0x7FF).sample(0x007), 0);
}

TEST(BmpChannel, EmptyMaskGivesZeroAndGapsAreRefused)
{
    EXPECT_EQ(MakeBmpChannel(0).sample(0xFFFFFFFF), 0);
    EXPECT_THROW(MakeBmpChannel(0x0101), EngineError);
}

} // namespace
} // namespace gustara
