// Small files that claim huge pictures or expand enormously. Each either fails with an
// EngineError before the picture's raster is allocated (the message names the size check or the
// decoder's own limit), or decodes within the pixel cap. bench/bomb-memory.sh measures the time
// and peak memory of the full-size versions.

#include "BmpFixtures.h"
#include "read/bmp/BmpReader.h"
#include "EngineError.h"
#include "GifFixtures.h"
#include "read/GifReader.h"
#include "JpegFixtures.h"
#include "read/JpegReader.h"
#include "PngFixtures.h"
#include "read/PngReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace gustara {
namespace {

using test::AppendBe32;
using test::StoreFile;
using test::TempDir;
using Bytes = std::vector<uint8_t>;
using Reader = PictureRaster (*)(const std::string&);

// Message of the pixel cap (CheckPictureSize), which runs before any raster is allocated.
constexpr const char* kTooLarge = "画像が大きすぎます";

// The message of the EngineError that reading `bytes` as `name` throws; fails the test when
// it loads.
std::string FailureOf(Reader read, const std::string& name, const Bytes& bytes)
{
    TempDir dir;
    const std::string path = StoreFile(dir, name, bytes);
    try {
        read(path);
    } catch (const EngineError& error) {
        return error.what();
    }
    ADD_FAILURE() << name << " loaded";
    return {};
}

PictureRaster Load(Reader read, const std::string& name, const Bytes& bytes)
{
    TempDir dir;
    return read(StoreFile(dir, name, bytes));
}

// ---- PNG

// A zlib stream of `head` then `count` zero bytes, deflated piece by piece so that the zeros
// never sit in memory at once.
Bytes DeflatedZeros(uint64_t count, const Bytes& head = {})
{
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, Z_BEST_COMPRESSION), Z_OK);
    const Bytes zeros(1 << 20, 0);
    Bytes out;
    uint8_t buffer[1 << 16];
    int status = Z_OK;
    bool headDone = head.empty();
    while (status != Z_STREAM_END) {
        const Bytes& source = headDone ? zeros : head;
        const uint64_t piece = headDone ? std::min<uint64_t>(count, zeros.size()) : head.size();
        if (headDone)
            count -= piece;
        headDone = true;
        stream.next_in = const_cast<Bytef*>(source.data());
        stream.avail_in = static_cast<uInt>(piece);
        const int flush = count == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = buffer;
            stream.avail_out = sizeof buffer;
            status = deflate(&stream, flush);
            out.insert(out.end(), buffer, buffer + (sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

// An 8-bit greyscale PNG of the given header whose data inflates to `dataBytes` zeros (black
// rows of filter type 0 when it is (width + 1) x height), with `ancillary` chunks before it.
Bytes MakeGreyPng(uint32_t width, uint32_t height, uint64_t dataBytes,
                  const std::vector<std::pair<const char*, Bytes>>& ancillary = {})
{
    Bytes png = test::kPngSignature;
    Bytes header;
    AppendBe32(header, width);
    AppendBe32(header, height);
    header.insert(header.end(), {8, 0, 0, 0, 0});
    test::AppendPngChunk(png, "IHDR", header);
    for (const auto& [type, data] : ancillary)
        test::AppendPngChunk(png, type, data);
    test::AppendPngChunk(png, "IDAT", DeflatedZeros(dataBytes));
    test::AppendPngChunk(png, "IEND", {});
    return png;
}

// The keyword, its terminating 0 and compression method 0, then `head` and zeros up to
// `inflated` bytes deflated: the layout of both iCCP and zTXt.
Bytes CompressedChunk(const std::string& keyword, uint64_t inflated, const Bytes& head = {})
{
    Bytes data(keyword.begin(), keyword.end());
    data.insert(data.end(), {0, 0});
    const Bytes stream = DeflatedZeros(inflated - head.size(), head);
    data.insert(data.end(), stream.begin(), stream.end());
    return data;
}

TEST(PngBombTest, HugeHeaderWithTinyDataIsRefusedBeforeAllocation)
{
    struct Case {
        uint32_t width;
        uint32_t height;
        const char* expected;
    };
    const Case cases[] = {
        {2000000, 16, kTooLarge},       // a side beyond the reader's limit: libpng refuses the header
        {30000, 30000, kTooLarge},      // 900 M pixels: each side allowed, the total is not
        {1u << 20, 1u << 20, kTooLarge},
        {1u << 20, 1024, kTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const std::string message = FailureOf(ReadPng, "bomb.png", MakeGreyPng(c.width, c.height, 16));
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
}

TEST(PngBombTest, HighlyCompressedPictureWithinTheCapDecodes)
{
    constexpr uint32_t side = 3000;
    const Bytes png = MakeGreyPng(side, side, uint64_t{side + 1} * side);
    ASSERT_LT(png.size() * 500, uint64_t{side} * side); // a real bomb: over 500 to 1
    const PictureRaster picture = Load(ReadPng, "bomb.png", png);
    ASSERT_EQ(picture.width(), int32_t{side});
    ASSERT_EQ(picture.height(), int32_t{side});
    EXPECT_TRUE(std::all_of(picture.data(), picture.data() + picture.byteCount(), [](uint8_t v) { return v == 0; }));
}

TEST(PngBombTest, CompressedAncillaryChunkBeyondTheChunkLimitIsDropped)
{
    // 16 MiB inflated from about 16 KiB, twice the reader's chunk limit: libpng stops there and
    // drops the chunk. The profile's header claims all of it.
    constexpr uint64_t inflated = uint64_t{16} << 20;
    Bytes profileLength;
    AppendBe32(profileLength, static_cast<uint32_t>(inflated));
    const std::pair<const char*, Bytes> chunks[] = {
        {"iCCP", CompressedChunk("bomb", inflated, profileLength)},
        {"zTXt", CompressedChunk("Comment", inflated)},
    };
    for (const auto& chunk : chunks) {
        SCOPED_TRACE(chunk.first);
        const PictureRaster picture = Load(ReadPng, "bomb.png", MakeGreyPng(8, 8, 9 * 8, {chunk}));
        EXPECT_EQ(picture.width(), 8);
        EXPECT_TRUE(picture.metadata().iccProfile.empty());
    }
}

// ---- JPEG

Bytes SmallJpeg(bool progressive)
{
    const PictureRaster source = test::MakeTestPicture(64, 64);
    const test::JpegSamples samples{64, 64, 3, JCS_RGB, source.data(), source.stride()};
    return test::CompressJpeg(samples, 90, [progressive](jpeg_compress_struct& info) {
        if (progressive)
            jpeg_simple_progression(&info);
    });
}

// Where each marker segment after SOI starts, EOI included.
std::vector<std::size_t> MarkerStarts(const Bytes& jpeg)
{
    std::vector<std::size_t> starts;
    for (const test::JpegSegment& segment : test::JpegSegments(jpeg))
        starts.push_back(segment.begin);
    return starts;
}

TEST(JpegBombTest, HugeHeaderIsRefusedBeforeAllocation)
{
    Bytes jpeg = SmallJpeg(false);
    for (const std::size_t at : MarkerStarts(jpeg)) {
        if (jpeg[at + 1] != 0xC0)
            continue;
        // SOF0: length, precision, then height and width.
        jpeg[at + 5] = jpeg[at + 7] = 65500 >> 8;
        jpeg[at + 6] = jpeg[at + 8] = 65500 & 0xFF;
    }
    EXPECT_NE(FailureOf(ReadJpeg, "bomb.jpg", jpeg).find(kTooLarge), std::string::npos);
}

// The progressive file with its last scan repeated `copies` more times: libjpeg only warns
// about the bogus progression, so every repeated scan would be decoded.
Bytes RepeatLastScan(int copies)
{
    Bytes jpeg = SmallJpeg(true);
    const std::vector<std::size_t> starts = MarkerStarts(jpeg);
    const std::size_t eoi = starts.back();
    const std::size_t lastScan = starts[starts.size() - 2];
    EXPECT_EQ(jpeg[lastScan + 1], 0xDA);
    const Bytes scan(jpeg.begin() + static_cast<std::ptrdiff_t>(lastScan), jpeg.begin() + static_cast<std::ptrdiff_t>(eoi));
    Bytes out(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(eoi));
    for (int i = 0; i < copies; ++i)
        out.insert(out.end(), scan.begin(), scan.end());
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

TEST(JpegBombTest, ThousandsOfScansFailAtTheScanLimit)
{
    EXPECT_EQ(Load(ReadJpeg, "scans.jpg", RepeatLastScan(400)).width(), 64);
    EXPECT_NE(FailureOf(ReadJpeg, "scans.jpg", RepeatLastScan(5000)).find("スキャンが多すぎます"), std::string::npos);
}

// ---- GIF

TEST(GifBombTest, HugeScreenOrImageIsRefusedBeforeAllocation)
{
    const Bytes bombs[] = {test::TinyGif(65535, 65535, 1, 1), test::TinyGif(1, 1, 65535, 65535), test::TinyGif(65535, 65535, 65535, 65535)};
    for (const Bytes& gif : bombs)
        EXPECT_NE(FailureOf(ReadGif, "bomb.gif", gif).find(kTooLarge), std::string::npos);
}

// ---- BMP

// An RLE8 bitmap of the given header size whose data is `rle` (a two-colour table).
Bytes MakeRleBmp(int32_t width, int32_t height, const Bytes& rle)
{
    test::BmpFile bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bitCount = 8;
    bmp.compression = 1;  // RLE8
    bmp.coloursUsed = 2;
    bmp.palette = {{0, 0, 0}, {255, 255, 255}};
    bmp.pixels = rle;
    return bmp.bytes();
}

TEST(BmpBombTest, HugeRleHeaderIsRefusedBeforeAllocation)
{
    EXPECT_NE(FailureOf(ReadBmp, "bomb.bmp", MakeRleBmp(100000, 100000, {2, 1, 0, 1})).find(kTooLarge), std::string::npos);
    EXPECT_NE(FailureOf(ReadBmp, "bomb.bmp", MakeRleBmp(65535, 65535, {2, 1, 0, 1})).find(kTooLarge), std::string::npos);
}

TEST(BmpBombTest, RleDataCutShortFailsCleanly)
{
    // Within the cap: the raster is reserved first (an early end-of-bitmap mark may leave the
    // whole picture to the background), but a file that ends before that mark fails.
    const Bytes cut[] = {{}, {2, 1}, {2, 1, 0, 0, 0, 2, 255}};
    for (const Bytes& rle : cut)
        EXPECT_NE(FailureOf(ReadBmp, "cut.bmp", MakeRleBmp(8192, 8192, rle)).find("途中で切れています"), std::string::npos);
}

} // namespace
} // namespace gustara
