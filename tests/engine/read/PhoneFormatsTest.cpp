// HEIC, AVIF and WebP files made from the test photo by the libraries' own encoders, each read
// as the libraries' own decoders read it, byte for byte; the drop's rules; hostile files.

#include "EngineError.h"
#include "batch/PictureBatch.h"
#include "MetadataFixtures.h"
#include "PhoneFixtures.h"
#include "read/HeifReader.h"
#include "read/PictureReader.h"
#include "read/PngReader.h"
#include "read/WebpReader.h"

#include <gtest/gtest.h>
#include <libheif/heif.h>

#include <algorithm>
#include <optional>
#include <unistd.h>

namespace gustara {
namespace {

using Bytes = std::vector<uint8_t>;

// heif-enc writes no turn of its own: libheif's encoder makes the photo with `profile`, to be
// shown a quarter turned clockwise.
std::string MakeTurnedHeic(const test::TempDir& dir, const Bytes& profile)
{
    const PictureRaster photo = test::MakeTestPicture(64, 48, 7);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_image* image = nullptr;
    heif_image_create(64, 48, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, 64, 48, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int32_t y = 0; y < 48; ++y)
        std::copy_n(photo.row(y), photo.stride(), plane + y * stride);
    heif_image_set_raw_color_profile(image, "prof", profile.data(), profile.size());
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation_rotate_90_cw;
    EXPECT_EQ(heif_context_encode_image(context, image, encoder, options, nullptr).code, heif_error_Ok);
    heif_context_write_to_file(context, dir.file("turned.heic").c_str());
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return dir.file("turned.heic");
}

// Deep samples keep their top byte as heif-convert's 16-bit PNG read back does, alpha is laid
// on white as for PNG, and a turned picture stands upright with no orientation left to apply.
TEST(PhoneFormats, decodeAsTheLibrariesOwnToolsByteForByte)
{
    const struct {
        const char* name;
        const char* encoder;
        bool alpha;
        int bits;
    } kFiles[] = {
        {"8bit.heic", "heif-enc -q 80", false, 8}, {"10bit.heic", "heif-enc -q 80 -b 10", false, 16},
        {"alpha.heic", "heif-enc -q 80", true, 8}, {"photo.avif", "heif-enc -q 60", false, 8},
        {"12bit.avif", "heif-enc -q 60 -b 12", false, 16}, {"lossy.webp", "cwebp -q 75", true, 8},
        {"lossless.webp", "cwebp -lossless", true, 8}, {"opaque.webp", "cwebp -q 75", false, 8},
        {"turned.heic", nullptr, false, 8},
    };
    const Bytes profile = test::DisplayProfile(400);
    for (const auto& file : kFiles) {
        SCOPED_TRACE(file.name);
        test::TempDir dir;
        const std::string path = file.encoder ? test::MakePhoto(dir, file.name, file.encoder, file.alpha, file.bits)
                                              : MakeTurnedHeic(dir, profile);
        const PictureRaster picture = path.ends_with(".webp") ? ReadWebp(path) : ReadHeif(path);
        EXPECT_TRUE(test::SamePixels(picture, ReadPng(test::DecodedByTheLibrary(dir, path))));
        EXPECT_EQ(picture.width(), file.encoder ? 64 : 48);
        EXPECT_EQ(picture.metadata().orientation, 1);
        EXPECT_EQ(picture.metadata().iccProfile, file.encoder ? Bytes() : profile);
    }
}

// Only with MORE_FORMATS on, in any letter case; several frames are refused as animated pictures
// (not as an animated GIF), a file that cannot be looked into as a GIF that does not load.
TEST(PhoneFormats, dropTakesThemInOnlyWhenTurnedOn)
{
    test::TempDir dir;
    const std::string heic = test::MakePhoto(dir, "photo.HEIC", "heif-enc");
    Bytes sequence = test::ReadFileBytes(heic);
    std::copy_n("msf1", 4, sequence.begin() + 8);  // the file type box's major brand
    test::WriteFileBytes(dir.file("burst.hif"), sequence);
    test::WriteFileBytes(dir.file("jpeg.avif"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1});
    const std::string still = test::MakePhoto(dir, "still.Webp", "cwebp");
    // Two frames: still.Webp's photo, then the photo with alpha.
    const std::string animation = test::MakePhoto(dir, "cup.webp", "img2webp -lossy " + test::ShellQuote(still + ".png") + " -d 80", true);
    const std::pair<std::string, std::optional<Message>> kCases[] = {
        {heic, std::nullopt}, {still, std::nullopt},
        {animation, Message::ReasonAnimated}, {dir.file("burst.hif"), Message::ReasonAnimated},
        {dir.file("jpeg.avif"), Message::ReasonGifReadError}, {dir.file("scan.tif"), Message::ReasonFormatMore},
    };
    for (const auto& [path, whenOn] : kCases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(RejectionReason(path), Text(Message::ReasonFormat));
        EXPECT_EQ(RejectionReason(path, nullptr, MoreFormats::On), whenOn ? std::optional(Text(*whenOn)) : std::nullopt);
    }
}

// A header claiming 60000 x 60000 pixels, a cut file, another format under the name, a grid
// whose canvas is not its header's size, tiles no camera writes, data claimed past the end: each
// fails with its reason in our words alone, before anything that size is allocated or parsed.
TEST(PhoneFormats, hostileFilesFailWithTheirReason)
{
    test::TempDir dir;
    const Bytes heic = test::ReadFileBytes(test::MakePhoto(dir, "photo.heic", "heif-enc"));
    const Bytes webp = test::ReadFileBytes(test::MakePhoto(dir, "photo.webp", "cwebp", true));
    Bytes noMeta = heic;
    std::copy_n("moov", 4, std::search(noMeta.begin(), noMeta.end(), "meta", "meta" + 4));
    const auto claimingHuge = [](Bytes bytes, const std::string& box, int at, const Bytes& size) {
        std::copy(size.begin(), size.end(), std::search(bytes.begin(), bytes.end(), box.begin(), box.end()) + at);
        return bytes;
    };
    // VP8X: size, flags, 24-bit sides less one.
    const std::tuple<const char*, Bytes, const char*> kCases[] = {
        {"huge.heic", test::HeifGrid(heic, 1, 1, 60000, 60000, 60000, 60000), "画像が大きすぎます: 60000 x 60000"},
        {"huge.webp", claimingHuge(webp, "VP8X", 12, {0x5F, 0xEA, 0, 0x5F, 0xEA, 0}), "ファイルが壊れています"},
        {"canvas.heic", test::HeifGrid(heic, 2, 2, 20000, 20000, 128, 96), "ファイルが壊れています: 画像の大きさがヘッダと違います"},
        {"tiles.heic", test::HeifGrid(heic, 50, 50, 3200, 2400, 3200, 2400, 2500), "HEIF ファイルのタイルが多すぎます: 2501"},
        {"extent.heic", test::HeifGrid(heic, 1, 1, 64, 48, 64, 48, 1, 1u << 30), "ファイルが途中で切れています"},
        {"nometa.heic", noMeta, "ファイルが壊れています"},
        {"cut.heic", test::Cut(heic, heic.size() * 2 / 3), "ファイルが途中で切れています"},
        {"cut.webp", test::Cut(webp, webp.size() * 2 / 3), "ファイルが途中で切れています"},
        {"jpeg.heic", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1}, "中身がHEIF/AVIF形式ではありません。拡張子を確かめてください"},
        {"png.webp", test::kPngSignature, "中身がWebP形式ではありません。拡張子を確かめてください"},
    };
    for (const auto& [name, bytes, reason] : kCases) {
        const std::string path = test::StoreFile(dir, name, bytes);
        try {
            path.ends_with(".webp") ? ReadWebp(path) : ReadHeif(path);
            ADD_FAILURE() << name << " loaded";
        } catch (const EngineError& error) {
            EXPECT_EQ(std::string(error.what()), reason) << name;
        }
    }
}

// What the batch expects of a picture comes from the boxes the decoder uses: a panorama wider
// than the square root of the pixel cap loads, a WebP file is read as far as its header says
// (a sparse 40 GB tail is never read) and counted, a grid whose canvas differs runs alone.
TEST(PhoneFormats, sizesAndEstimatesComeFromWhatTheDecoderUses)
{
    test::TempDir dir;
    const Bytes wide = test::ReadFileBytes(test::MakePhoto(dir, "wide.heic", "heif-enc", false, 8, 128));
    EXPECT_EQ(ReadHeif(test::StoreFile(dir, "pano.heic", test::HeifGrid(wide, 1, 235, 30000, 48, 30000, 48))).width(), 30000);
    const std::string tail = test::MakePhoto(dir, "tail.webp", "cwebp");
    const uint64_t bytes = test::ReadFileBytes(tail).size();
    ASSERT_EQ(::truncate(tail.c_str(), int64_t{40} << 30), 0);
    EXPECT_EQ(ReadWebp(tail).width(), 64);
    EXPECT_EQ(EstimatedPeakBytes(tail), 64 * 48 * 3 * 2 + bytes);
    const std::string canvas = test::StoreFile(dir, "canvas.heic", test::HeifGrid(wide, 2, 2, 20000, 20000, 256, 96));
    EXPECT_EQ(EstimatedPeakBytes(canvas), UINT64_MAX);
}

} // namespace
} // namespace gustara
