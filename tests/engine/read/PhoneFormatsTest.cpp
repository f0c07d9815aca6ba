// HEIC, AVIF and WebP files made from the test photo by the libraries' own encoders, each read
// as the libraries' own decoders (heif-convert, dwebp) read it, byte for byte; and hostile files.

#include "EngineError.h"
#include "MetadataFixtures.h"
#include "PngFixtures.h"
#include "read/HeifReader.h"
#include "read/PngReader.h"
#include "read/WebpReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <libheif/heif.h>

#include <algorithm>
#include <string>
#include <vector>

namespace gustara {
namespace {

using test::ShellQuote;
using Bytes = std::vector<uint8_t>;
using Reader = PictureRaster (*)(const std::string&);

// The test photo as a PNG for the encoders: 8-bit RGB, 8-bit RGBA with alpha running over the
// picture, or 16-bit RGB (which heif-enc stores with 10 bits).
enum class Source { Rgb, Rgba, Deep };

std::string WriteSource(const test::TempDir& dir, Source source)
{
    const PictureRaster photo = test::MakeTestPicture(64, 48, 7);
    const int channels = source == Source::Rgba ? 4 : 3;
    Bytes samples;
    for (int32_t y = 0; y < photo.height(); ++y)
        for (int32_t x = 0; x < photo.width(); ++x)
            for (int c = 0; c < channels; ++c) {
                const uint8_t value = c < 3 ? photo.row(y)[3 * x + c] : static_cast<uint8_t>(4 * x + y);
                samples.push_back(value);
                if (source == Source::Deep)
                    samples.push_back(static_cast<uint8_t>(value ^ (x * 37)));  // low byte
            }
    const test::PngHeader header{64, 48, source == Source::Deep ? 16 : 8,
                                 source == Source::Rgba ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB};
    return test::StoreFile(dir, "source.png", test::EncodePngRows(header, std::move(samples), [](png_structp, png_infop) {}));
}

struct MadeFile {
    const char* name;
    Source source;
    const char* encode;  // %s: the source, then the file made
    Reader read;
};

// Makes `made.name` in `dir` with the encoder; the empty string when the tool fails.
std::string Make(const test::TempDir& dir, const MadeFile& made)
{
    const std::string source = WriteSource(dir, made.source);
    const std::string path = dir.file(made.name);
    std::string command = made.encode;
    command.replace(command.find("%s"), 2, ShellQuote(source));
    command.replace(command.find("%s"), 2, ShellQuote(path));
    return test::RunCommand(command + " >/dev/null 2>&1") == 0 ? path : std::string();
}

const MadeFile kMadeFiles[] = {
    {"8bit.heic", Source::Rgb, "heif-enc -q 80 %s -o %s", ReadHeif},
    {"10bit.heic", Source::Deep, "heif-enc -q 80 -b 10 %s -o %s", ReadHeif},
    {"alpha.heic", Source::Rgba, "heif-enc -q 80 %s -o %s", ReadHeif},
    {"photo.avif", Source::Rgb, "heif-enc -q 60 %s -o %s", ReadHeif},
    {"12bit.avif", Source::Deep, "heif-enc -q 60 -b 12 %s -o %s", ReadHeif},
    {"lossy.webp", Source::Rgba, "cwebp -q 75 %s -o %s", ReadWebp},
    {"lossless.webp", Source::Rgba, "cwebp -lossless %s -o %s", ReadWebp},
    {"opaque.webp", Source::Rgb, "cwebp -q 75 %s -o %s", ReadWebp},
};

// The decoders' own output, as a PNG read by the PNG reader: heif-convert writes 16-bit PNG
// files for deep pictures and keeps alpha; dwebp keeps alpha.
TEST(PhoneFormats, decodeAsTheLibrariesOwnToolsByteForByte)
{
    for (const MadeFile& made : kMadeFiles) {
        SCOPED_TRACE(made.name);
        test::TempDir dir;
        const std::string path = Make(dir, made);
        ASSERT_FALSE(path.empty());
        const std::string reference = dir.file("reference.png");
        const std::string tool = made.read == ReadWebp ? "dwebp %s -o " : "heif-convert --quiet %s ";
        std::string command = tool;
        command.replace(command.find("%s"), 2, ShellQuote(path));
        ASSERT_EQ(test::RunCommand(command + ShellQuote(reference) + " >/dev/null 2>&1"), 0);
        const PictureRaster picture = made.read(path);
        EXPECT_EQ(picture.width(), 64);
        EXPECT_TRUE(test::SamePixels(picture, ReadPng(reference)));
        EXPECT_EQ(picture.metadata().orientation, 1);
    }
}

// heif-enc writes neither a turn nor a profile of its own, so this file is made with libheif's
// encoder directly: the test photo with `profile`, to be shown turned a quarter clockwise.
void WriteTurnedHeic(const std::string& path, const Bytes& profile)
{
    const PictureRaster photo = test::MakeTestPicture(64, 48, 7);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation_rotate_90_cw;
    ASSERT_EQ(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code, heif_error_Ok);
    heif_image_create(64, 48, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, 64, 48, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int32_t y = 0; y < 48; ++y)
        std::copy_n(photo.row(y), photo.stride(), plane + y * stride);
    heif_image_set_raw_color_profile(image, "prof", profile.data(), profile.size());
    EXPECT_EQ(heif_context_encode_image(context, image, encoder, options, nullptr).code, heif_error_Ok);
    EXPECT_EQ(heif_context_write_to_file(context, path.c_str()).code, heif_error_Ok);
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
}

// Turned as heif-convert turns it, so the raster carries no orientation, and with its profile.
TEST(PhoneFormats, turnedHeicIsReadUprightWithItsProfile)
{
    test::TempDir dir;
    const Bytes profile = test::DisplayProfile(400);
    const std::string path = dir.file("turned.heic");
    WriteTurnedHeic(path, profile);
    ASSERT_EQ(test::RunCommand("heif-convert --quiet " + ShellQuote(path) + " " + ShellQuote(dir.file("upright.png"))), 0);
    const PictureRaster picture = ReadHeif(path);
    EXPECT_EQ(picture.width(), 48);
    EXPECT_TRUE(test::SamePixels(picture, ReadPng(dir.file("upright.png"))));
    EXPECT_EQ(picture.metadata().orientation, 1);
    EXPECT_EQ(picture.metadata().iccProfile, profile);
}

// A header claiming 60000 x 60000 pixels, a cut file and a JPEG under a HEIF name each fail
// with their reason, before anything that size is allocated.
TEST(PhoneFormats, hostileFilesFailWithTheirReason)
{
    test::TempDir dir;
    const Bytes heic = test::ReadFileBytes(Make(dir, kMadeFiles[0]));
    const Bytes webp = test::ReadFileBytes(Make(dir, kMadeFiles[5]));
    const auto claimingHuge = [](Bytes bytes, const std::string& box, std::size_t at, const Bytes& size) {
        const auto found = std::search(bytes.begin(), bytes.end(), box.begin(), box.end());
        std::copy(size.begin(), size.end(), found + static_cast<std::ptrdiff_t>(at));
        return bytes;
    };
    // ispe: version and flags, then 32-bit width and height; VP8X: flags, then 24-bit sides - 1.
    const Bytes hugeHeic = claimingHuge(heic, "ispe", 8, {0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60});
    const Bytes hugeWebp = claimingHuge(webp, "VP8X", 8 + 4, {0x5F, 0xEA, 0, 0x5F, 0xEA, 0});
    const struct {
        const char* name;
        Bytes bytes;
        Reader read;
        const char* reason;
    } kCases[] = {
        {"huge.heic", hugeHeic, ReadHeif, "画像が大きすぎます"},
        {"huge.webp", hugeWebp, ReadWebp, "ファイルが壊れています"},
        {"cut.heic", test::Cut(heic, heic.size() * 2 / 3), ReadHeif, "ファイルが途中で切れています"},
        {"cut.webp", test::Cut(webp, webp.size() * 2 / 3), ReadWebp, "ファイルが途中で切れています"},
        {"jpeg.heic", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1}, ReadHeif,
         "中身がHEIF/AVIF形式ではありません"},
        {"png.webp", test::kPngSignature, ReadWebp, "中身がWebP形式ではありません"},
    };
    for (const auto& hostile : kCases) {
        SCOPED_TRACE(hostile.name);
        try {
            hostile.read(test::StoreFile(dir, hostile.name, hostile.bytes));
            ADD_FAILURE() << "loaded";
        } catch (const EngineError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(hostile.reason, 0), 0u) << error.what();
        }
    }
}

} // namespace
} // namespace gustara
