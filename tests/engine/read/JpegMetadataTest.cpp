#include "EngineError.h"
#include "ExifBlocks.h"
#include "ExifOrientation.h"
#include "JpegFixtures.h"
#include "write/JpegWriter.h"
#include "MetadataFixtures.h"
#include "TestFiles.h"
#include "UnitThPicConvert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace gustara {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::size_t kIccChunkBytes = 65519;  // profile bytes in one full APP2 chunk
const std::string kIccSignature("ICC_PROFILE\0", 12);

struct Marker {
    int code;
    Bytes payload;
};

// A source file written by libjpeg: the picture at quality 95, then `markers` as they are and
// `profile` split into APP2 chunks by libjpeg, all after the JFIF header.
Bytes SourceJpeg(const PictureRaster& picture, const std::vector<Marker>& markers, const Bytes& profile = {})
{
    const test::JpegSamples samples{picture.width(), picture.height(), 3, JCS_RGB, picture.row(0), picture.stride()};
    return test::CompressJpeg(samples, 95, {}, [&markers, &profile](jpeg_compress_struct& info) {
        for (const Marker& marker : markers)
            jpeg_write_marker(&info, marker.code, marker.payload.data(), static_cast<unsigned int>(marker.payload.size()));
        if (!profile.empty())
            jpeg_write_icc_profile(&info, profile.data(), static_cast<unsigned int>(profile.size()));
    });
}

// An ICC profile of `size` bytes that looks real: a display profile's header over deterministic
// filler, without the tag table, so any size from 40 bytes will do.
Bytes IccProfile(std::size_t size, const std::string& colourSpace = "RGB ")
{
    Bytes profile(size);
    for (std::size_t i = 0; i < size; ++i)
        profile[i] = static_cast<uint8_t>(i * 7 + i / 251);
    test::PutProfileHeader(profile, colourSpace);
    return profile;
}

// One APP2 chunk as libjpeg writes them: signature, number (from 1), count, profile bytes.
Marker IccChunk(int number, int count, const Bytes& part)
{
    Bytes payload(kIccSignature.begin(), kIccSignature.end());
    payload.push_back(static_cast<uint8_t>(number));
    payload.push_back(static_cast<uint8_t>(count));
    payload.insert(payload.end(), part.begin(), part.end());
    return {test::kJpegApp2, payload};
}

// The profile in the APP2 chunks, which must be numbered 1..n in order, each saying n.
Bytes ProfileOf(const Bytes& jpeg)
{
    const std::vector<Bytes> chunks = test::JpegPayloads(jpeg, test::kJpegApp2);
    Bytes profile;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const Bytes& payload = chunks[i];
        EXPECT_TRUE(std::equal(kIccSignature.begin(), kIccSignature.end(), payload.begin()));
        EXPECT_EQ(payload[12], i + 1);
        EXPECT_EQ(payload[13], chunks.size());
        profile.insert(profile.end(), payload.begin() + 14, payload.end());
    }
    return profile;
}

bool Contains(const Bytes& bytes, const std::string& text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// Runs the engine's four steps on the source file, the 64 x 48 picture fitted into 32 x 32.
test::ConvertedSource Convert(const test::TempDir& dir, const Bytes& source, TthPicConvert engine = test::PhotoEngine())
{
    return test::ConvertSource(dir, "photo.jpg", source, std::move(engine));
}

const PictureRaster& Photo()
{
    static const PictureRaster photo = test::MakeTestPicture(64, 48, 11);
    return photo;
}

Marker Xmp()
{
    const std::string text = std::string("http://ns.adobe.com/xap/1.0/") + '\0' + "<x:xmpmeta>GPSLatitude</x:xmpmeta>";
    return {test::kJpegApp1, Bytes(text.begin(), text.end())};
}

TEST(JpegMetadata, EveryOrientationArrivesAloneWithoutTheSourcesOtherExif)
{
    for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        test::TempDir dir;
        const bool bigEndian = orientation % 2 == 0;
        // XMP first, as some phones write it: the EXIF marker after it still counts.
        const test::ConvertedSource converted = Convert(dir, SourceJpeg(Photo(), {Xmp(), {test::kJpegApp1, test::ExifApp1(test::PhoneExif(bigEndian, orientation))}}));
        EXPECT_EQ(converted.picture.width(), 32);
        EXPECT_EQ(converted.picture.height(), 24);
        EXPECT_FALSE(Contains(converted.output, test::kPhoneMake));
        EXPECT_FALSE(Contains(converted.output, test::kPhoneModel));
        EXPECT_FALSE(Contains(converted.output, "xmpmeta"));

        const std::vector<Bytes> app1 = test::JpegPayloads(converted.output, test::kJpegApp1);
        if (orientation == 1) {
            EXPECT_TRUE(app1.empty()) << "nothing to tell viewers";
            continue;
        }
        ASSERT_EQ(app1.size(), 1u);
        const Bytes& exif = app1[0];
        // "Exif\0\0", 8-byte header, one entry, no next IFD: 32 bytes, the orientation alone.
        ASSERT_EQ(exif.size(), 32u);
        EXPECT_EQ(exif[14] << 8 | exif[15], exif[6] == 'M' ? 1 : 0x100) << "entry count";
        EXPECT_EQ(ReadExifApp1Orientation(exif), std::optional<uint16_t>(orientation));
    }
}

TEST(JpegMetadata, ColourProfileSurvivesByteForByte)
{
    struct Case {
        const char* what;
        std::size_t size;
        std::size_t chunks;
    };
    for (const Case& c : {Case{"P3-like display profile", 588, 1}, Case{"one full chunk", kIccChunkBytes, 1},
                          Case{"large profile over four chunks", 3 * kIccChunkBytes + 4000, 4}}) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const Bytes profile = IccProfile(c.size);
        const test::ConvertedSource converted = Convert(dir, SourceJpeg(Photo(), {}, profile));
        EXPECT_EQ(test::JpegPayloads(converted.output, test::kJpegApp2).size(), c.chunks);
        EXPECT_EQ(ProfileOf(converted.output), profile);
    }
}

TEST(JpegMetadata, ProfilesThatDoNotDescribeRgbAreDropped)
{
    // The output is always RGB: a grey or CMYK profile would misdescribe it.
    for (const std::string space : {"GRAY", "CMYK"}) {
        test::TempDir dir;
        const test::ConvertedSource converted = Convert(dir, SourceJpeg(Photo(), {}, IccProfile(600, space)));
        EXPECT_TRUE(test::JpegPayloads(converted.output, test::kJpegApp2).empty()) << space;
    }
    test::TempDir dir;
    const test::ConvertedSource headerOnly = Convert(dir, SourceJpeg(Photo(), {}, IccProfile(100)));
    EXPECT_TRUE(test::JpegPayloads(headerOnly.output, test::kJpegApp2).empty()) << "shorter than a profile header";
}

TEST(JpegMetadata, MetadataIsAllThatChangesInTheDatastream)
{
    test::TempDir dir;
    const test::ConvertedSource plain = Convert(dir, SourceJpeg(Photo(), {}));
    EXPECT_TRUE(test::JpegPayloads(plain.output, test::kJpegApp1).empty());
    EXPECT_TRUE(test::JpegPayloads(plain.output, test::kJpegApp2).empty());
    EXPECT_EQ(plain.output, test::CjpegReference(dir, plain.picture)) << "a source without metadata gives the plain encoding";

    const test::ConvertedSource tagged = Convert(dir, SourceJpeg(Photo(), {{test::kJpegApp1, test::ExifApp1(test::PhoneExif(true, 6))}}, IccProfile(3000)));
    EXPECT_EQ(test::JpegPayloads(tagged.output, test::kJpegApp1).size(), 1u);
    EXPECT_EQ(test::JpegPayloads(tagged.output, test::kJpegApp2).size(), 1u);
    EXPECT_TRUE(test::SamePixels(tagged.picture, plain.picture));
    EXPECT_EQ(test::WithoutMetadataSegments(tagged.output), plain.output);
}

TEST(JpegMetadata, TargetSizeSearchCountsTheMarkers)
{
    test::TempDir dir;
    TthPicConvert engine = test::PhotoEngine();
    engine.ByQuality = false;
    engine.TargetFileSize = 150;  // KiB, less than the profile alone
    const Bytes profile = IccProfile(160 * 1024);
    const test::ConvertedSource converted = Convert(dir, SourceJpeg(Photo(), {}, profile), std::move(engine));
    EXPECT_EQ(converted.output, EncodeJpeg(converted.picture, 0, false)) << "no quality gets below the target";
    EXPECT_EQ(ProfileOf(converted.output), profile);
}

TEST(JpegMetadata, BrokenExifConvertsWithoutOrientation)
{
    using Layout = test::PhoneExifLayout;
    struct Case {
        const char* what;
        bool bigEndian;
        void (*breakIt)(test::TiffBytes&);
    };
    const Case cases[] = {
        {"IFD0 past the end", false, [](test::TiffBytes& t) { t.put32(4, 0x7FFFFFF0); }},
        {"IFD0 past the end", true, [](test::TiffBytes& t) { t.put32(4, 0x7FFFFFF0); }},
        {"huge entry count, cut inside the orientation", true,
         [](test::TiffBytes& t) { t.put16(Layout::kIfd0, 0xFFFF); t.bytes.resize(Layout::kOrientationEnd - 2); }},
        {"entry count stops before the orientation, next IFD is IFD0", false,
         [](test::TiffBytes& t) { t.put16(Layout::kIfd0, 2); t.put32(Layout::kNextIfd, Layout::kIfd0); }},
        {"orientation claiming a billion values", false,
         [](test::TiffBytes& t) { t.put32(Layout::kOrientationEntry + 4, 1000000000); }},
        {"orientation 9", true, [](test::TiffBytes& t) { t.put16(Layout::kOrientationEntry + 8, 9); }},
        {"cut inside the header", true, [](test::TiffBytes& t) { t.bytes.resize(5); }},
        {"nothing after the EXIF prefix", false, [](test::TiffBytes& t) { t.bytes.clear(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (c.bigEndian ? " (MM)" : " (II)"));
        test::TempDir dir;
        test::TiffBytes tiff(c.bigEndian);
        tiff.bytes = test::PhoneExif(c.bigEndian, 6);
        c.breakIt(tiff);
        const test::ConvertedSource converted = Convert(dir, SourceJpeg(Photo(), {{test::kJpegApp1, test::ExifApp1(tiff.bytes)}}));
        EXPECT_TRUE(test::JpegPayloads(converted.output, test::kJpegApp1).empty());
        EXPECT_FALSE(Contains(converted.output, test::kPhoneMake));
    }
}

TEST(JpegMetadata, BrokenProfileChunksConvertWithoutProfile)
{
    const Bytes profile = IccProfile(3 * 1000);
    const auto part = [&profile](int index) {
        const auto begin = profile.begin() + 1000 * index;
        return Bytes(begin, begin + 1000);
    };
    struct Case {
        const char* what;
        std::vector<Marker> chunks;
    };
    const Case cases[] = {
        {"gap in the numbering", {IccChunk(1, 3, part(0)), IccChunk(3, 3, part(2))}},
        {"counts disagree", {IccChunk(1, 3, part(0)), IccChunk(2, 2, part(1)), IccChunk(3, 3, part(2))}},
        {"count too small for the numbers", {IccChunk(1, 2, part(0)), IccChunk(2, 2, part(1)), IccChunk(3, 2, part(2))}},
        {"count zero", {IccChunk(1, 0, part(0))}},
        {"number zero", {IccChunk(0, 1, part(0))}},
        {"number twice", {IccChunk(1, 2, part(0)), IccChunk(1, 2, part(1))}},
        {"chunk cut inside its signature", {{test::kJpegApp2, Bytes(kIccSignature.begin(), kIccSignature.begin() + 7)}}},
        {"chunk without profile bytes", {IccChunk(1, 1, {})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const test::ConvertedSource converted = Convert(dir, SourceJpeg(Photo(), c.chunks));
        EXPECT_TRUE(test::JpegPayloads(converted.output, test::kJpegApp2).empty());
    }
}

TEST(JpegMetadata, FileCutInsideTheExifMarkerFailsCleanly)
{
    const Bytes whole = SourceJpeg(Photo(), {{test::kJpegApp1, test::ExifApp1(test::PhoneExif(false, 6))}});
    const std::size_t app1End = test::JpegSegmentsWith(whole, test::kJpegApp1).at(0).end;
    test::TempDir dir;
    TthPicConvert engine = test::PhotoEngine();
    PictureRaster picture;
    const std::string path = dir.file("cut.jpg");
    test::WriteFileBytes(path, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(app1End - 20)));
    EXPECT_THROW(engine.LoadPicture(path, picture), EngineError);
    EXPECT_TRUE(picture.empty());
}

TEST(PictureRasterMetadata, TravelsWithThePixels)
{
    PictureRaster picture = test::MakeTestPicture(4, 3);
    picture.metadata().orientation = 8;
    picture.metadata().iccProfile = IccProfile(200);

    const PictureRaster copy = picture.clone();
    EXPECT_EQ(copy.metadata().orientation, 8);
    EXPECT_EQ(copy.metadata().iccProfile, picture.metadata().iccProfile);

    PictureRaster moved = std::move(picture);
    EXPECT_EQ(moved.metadata().orientation, 8);
    EXPECT_EQ(moved.metadata().iccProfile, copy.metadata().iccProfile);
    EXPECT_EQ(picture.metadata().orientation, 1);  // NOLINT(bugprone-use-after-move): moved-from state is defined
    EXPECT_TRUE(picture.metadata().iccProfile.empty());
}

} // namespace
} // namespace gustara
