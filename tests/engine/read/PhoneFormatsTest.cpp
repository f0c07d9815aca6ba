// HEIC, AVIF and WebP files made from the test photo by the libraries' own encoders, each read
// as the libraries' own decoders (heif-convert, dwebp) read it, byte for byte; and hostile files.

#include "EngineError.h"
#include "MetadataFixtures.h"
#include "PhoneFixtures.h"
#include "read/HeifReader.h"
#include "read/PictureReader.h"
#include "read/PngReader.h"
#include "read/WebpReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <libheif/heif.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace gustara {
namespace {

using test::MadeFile;
using test::Make;
using test::ShellQuote;
using test::Source;
using test::WriteSource;
using Bytes = std::vector<uint8_t>;
using Reader = test::PhotoReader;

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

// The drop takes the five extensions in any case only with MORE_FORMATS on, refuses several
// frames as an animated GIF and a file it cannot look into as a GIF that does not load.
TEST(PhoneFormats, dropTakesThemInOnlyWhenTurnedOn)
{
    test::TempDir dir;
    const std::string still = Make(dir, kMadeFiles[7]);
    const std::string heic = Make(dir, kMadeFiles[0]);
    std::filesystem::rename(WriteSource(dir, Source::Rgb), dir.file("first.png"));
    const std::string animation = dir.file("animation.WebP");
    ASSERT_EQ(test::RunCommand("img2webp -lossy " + ShellQuote(dir.file("first.png")) + " -d 80 " +
                               ShellQuote(WriteSource(dir, Source::Rgba)) + " -o " + ShellQuote(animation) + " >/dev/null 2>&1"), 0);
    Bytes sequence = test::ReadFileBytes(heic);
    std::copy_n("msf1", 4, sequence.begin() + 8);  // the file type box's major brand
    test::WriteFileBytes(dir.file("burst.HIF"), sequence);
    std::filesystem::copy(heic, dir.file("photo.AVIF"));
    test::WriteFileBytes(dir.file("jpeg.heif"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'});
    const struct {
        std::string path;
        std::optional<Message> on;
    } kCases[] = {
        {still, std::nullopt},
        {dir.file("photo.AVIF"), std::nullopt},
        {animation, Message::ReasonAnimatedGif},
        {dir.file("burst.HIF"), Message::ReasonAnimatedGif},
        {dir.file("jpeg.heif"), Message::ReasonGifReadError},
        {dir.file("scan.tif"), Message::ReasonFormatMore},
    };
    for (const auto& drop : kCases) {
        SCOPED_TRACE(drop.path);
        EXPECT_EQ(RejectionReason(drop.path), Text(Message::ReasonFormat));
        const auto on = RejectionReason(drop.path, nullptr, MoreFormats::On);
        EXPECT_EQ(on, drop.on ? std::optional(Text(*drop.on)) : std::nullopt);
    }
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
