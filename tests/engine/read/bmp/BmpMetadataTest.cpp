#include "BmpFixtures.h"
#include "read/bmp/BmpReader.h"
#include "MetadataFixtures.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace gustara {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint32_t kEmbedded = 0x4D424544;  // 'MBED'
constexpr uint32_t kLinked = 0x4C494E4B;    // 'LINK'
constexpr uint32_t kSrgb = 0x73524742;      // 'sRGB'

// Offsets in the file of the information header's colour space fields.
constexpr std::size_t kColourSpaceTypeAt = kFileHeaderSize + 56;
constexpr std::size_t kProfileDataAt = kFileHeaderSize + 112;
constexpr std::size_t kProfileSizeAt = kFileHeaderSize + 116;

const PictureRaster& Photo()
{
    static const PictureRaster photo = test::MakeTestPicture(64, 48, 9);
    return photo;
}

void Put32(Bytes& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

enum class ProfilePlace { BeforePixels, AfterPixels };

// A 24-bit bottom-up bitmap of the photo with an information header of `headerSize` bytes
// whose colour space is `colourSpaceType`, and `profile` stored where `place` says, the
// header's profile fields (when it has them) pointing at it.
Bytes BitmapWithProfile(const Bytes& profile, ProfilePlace place, uint32_t colourSpaceType = kEmbedded,
                        uint32_t headerSize = kV5HeaderSize)
{
    test::BmpFile bmp;
    bmp.infoSize = headerSize;
    bmp.width = Photo().width();
    bmp.height = Photo().height();
    for (int32_t y = Photo().height() - 1; y >= 0; --y) {
        const uint8_t* in = Photo().row(y);
        for (int32_t x = 0; x < Photo().width(); ++x, in += 3)
            bmp.pixels.insert(bmp.pixels.end(), {in[2], in[1], in[0]});
    }
    const uint32_t headersEnd = kFileHeaderSize + headerSize;
    const uint32_t profileSize = static_cast<uint32_t>(profile.size());
    const bool before = place == ProfilePlace::BeforePixels;
    bmp.pixelOffset = before ? headersEnd + profileSize : headersEnd;
    const uint32_t profileAt = before ? headersEnd : headersEnd + static_cast<uint32_t>(bmp.pixels.size());

    Bytes file = bmp.bytes();
    file.resize(file.size() + (before ? 0 : profile.size()));
    std::copy(profile.begin(), profile.end(), file.begin() + profileAt);
    Put32(file, 2, static_cast<uint32_t>(file.size()));
    Put32(file, kColourSpaceTypeAt, colourSpaceType);
    if (headerSize >= kV5HeaderSize) {
        Put32(file, kProfileDataAt, profileAt - kFileHeaderSize);
        Put32(file, kProfileSizeAt, profileSize);
    }
    return file;
}

PictureRaster Decode(const Bytes& file)
{
    test::TempDir dir;
    const std::string path = dir.file("photo.bmp");
    test::WriteFileBytes(path, file);
    return ReadBmp(path);
}

const Bytes& Profile()
{
    static const Bytes profile = test::DisplayProfile(3048);
    return profile;
}

TEST(BmpMetadata, EmbeddedProfileSurvivesByteForByte)
{
    for (const ProfilePlace place : {ProfilePlace::BeforePixels, ProfilePlace::AfterPixels}) {
        SCOPED_TRACE(place == ProfilePlace::BeforePixels ? "before the pixels" : "after the pixels");
        test::TempDir dir;
        const test::ConvertedSource converted = test::ConvertSource(dir, "photo.bmp", BitmapWithProfile(Profile(), place));
        EXPECT_EQ(converted.picture.width(), 32);
        EXPECT_EQ(converted.readBack.iccProfile, Profile());
        EXPECT_EQ(converted.readBack.orientation, 1);
        EXPECT_TRUE(test::SamePixels(Decode(BitmapWithProfile(Profile(), place)), Photo()));
    }
}

TEST(BmpMetadata, ProfileThatCannotBeTrustedIsLeftOut)
{
    struct Case {
        const char* what;
        Bytes file;
    };
    const auto lying = [](std::size_t at, uint32_t value) {
        Bytes file = BitmapWithProfile(Profile(), ProfilePlace::AfterPixels);
        Put32(file, at, value);
        return file;
    };
    const uint32_t afterPixels = kV5HeaderSize + 64 * 48 * 3;  // from the information header
    const Case cases[] = {
        {"offset past the end of the file", lying(kProfileDataAt, 0x7FFFFFF0)},
        {"size runs one byte past the end", lying(kProfileSizeAt, static_cast<uint32_t>(Profile().size()) + 1)},
        {"size 4 GiB - 1", lying(kProfileSizeAt, 0xFFFFFFFF)},
        {"offset and size wrap around", [&] {
             Bytes file = lying(kProfileDataAt, afterPixels + 16);
             Put32(file, kProfileSizeAt, 0xFFFFFFF0);
             return file;
         }()},
        {"offset 0: the information header itself", lying(kProfileDataAt, 0)},
        {"starts in the header's last field, looking like an RGB profile from there", [] {
             Bytes disguised = Profile();
             const std::string rgb = "RGB ";
             std::copy(rgb.begin(), rgb.end(), disguised.begin() + 12);
             Bytes file = BitmapWithProfile(disguised, ProfilePlace::BeforePixels);
             Put32(file, kProfileDataAt, kV5HeaderSize - 4);
             return file;
         }()},
        {"size 0", lying(kProfileSizeAt, 0)},
        {"shorter than a profile header", lying(kProfileSizeAt, 100)},
        {"colour space sRGB: the fields are not used", BitmapWithProfile(Profile(), ProfilePlace::AfterPixels, kSrgb)},
        {"linked profile: a file name, not followed", BitmapWithProfile(Profile(), ProfilePlace::AfterPixels, kLinked)},
        {"V4 header: no profile fields", BitmapWithProfile(Profile(), ProfilePlace::AfterPixels, kEmbedded, 108)},
        {"grey profile", BitmapWithProfile(test::DisplayProfile(600, "GRAY"), ProfilePlace::BeforePixels)},
        {"CMYK profile", BitmapWithProfile(test::DisplayProfile(600, "CMYK"), ProfilePlace::AfterPixels)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PictureRaster picture = Decode(c.file);
        EXPECT_TRUE(test::SamePixels(picture, Photo()));
        EXPECT_TRUE(picture.metadata().iccProfile.empty());
    }
}

TEST(BmpMetadata, ProfileIsAllThatChangesInTheOutput)
{
    test::TempDir dir;
    const test::ConvertedSource plain =
        test::ConvertSource(dir, "plain.bmp", BitmapWithProfile({}, ProfilePlace::AfterPixels, kSrgb));
    EXPECT_EQ(plain.output, test::CjpegReference(dir, plain.picture)) << "a bitmap without profile gives the plain encoding";

    const test::ConvertedSource tagged =
        test::ConvertSource(dir, "tagged.bmp", BitmapWithProfile(Profile(), ProfilePlace::BeforePixels));
    EXPECT_EQ(test::JpegPayloads(tagged.output, test::kJpegApp2).size(), 1u);
    EXPECT_TRUE(test::JpegPayloads(tagged.output, test::kJpegApp1).empty());
    EXPECT_TRUE(test::SamePixels(tagged.picture, plain.picture));
    EXPECT_EQ(test::WithoutMetadataSegments(tagged.output), plain.output);
}

TEST(BmpMetadata, BmpSuiteProfiles)
{
    const auto corpus = test::CorpusDir();
    struct Case {
        const char* name;
        std::size_t profileAt;  // from the start of the file, after the pixel data; 0: none
        std::size_t profileSize;
    };
    // rgb24prof2 stores red and green swapped and a profile that swaps them back: the pixels
    // stay as stored and the profile travels with them.
    for (const Case& c : {Case{"rgb24prof.bmp", 24734, 3048}, Case{"rgb24prof2.bmp", 24714, 540},
                          Case{"rgb24lprof.bmp", 0, 0}}) {
        SCOPED_TRACE(c.name);
        const std::string path = (corpus / "bmpsuite" / "q" / c.name).string();
        const PictureRaster picture = ReadBmp(path);
        EXPECT_EQ(picture.width(), 127);
        const Bytes file = test::ReadFileBytes(path);
        ASSERT_LE(c.profileAt + c.profileSize, file.size());
        const auto begin = file.begin() + static_cast<std::ptrdiff_t>(c.profileAt);
        EXPECT_EQ(picture.metadata().iccProfile, Bytes(begin, begin + static_cast<std::ptrdiff_t>(c.profileSize)));
    }
}

} // namespace
} // namespace gustara
