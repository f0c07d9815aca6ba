#include "ExifBlocks.h"
#include "ExifOrientation.h"
#include "MetadataFixtures.h"
#include "PngFixtures.h"
#include "read/PngReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace gustara {
namespace {

using Bytes = std::vector<uint8_t>;

// A source PNG of the test photo: its samples as `colourType` stores them (grey takes the red
// channel, alpha is opaque), with an eXIf and an iCCP chunk when given.
struct PngSource {
    int colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    Bytes exif;
    Bytes profile;
};

const PictureRaster& Photo()
{
    static const PictureRaster photo = test::MakeTestPicture(64, 48, 5);
    return photo;
}

Bytes EncodePng(const PngSource& source)
{
    const int channels = source.colourType == PNG_COLOR_TYPE_GRAY ? 1 : source.colourType == PNG_COLOR_TYPE_RGB ? 3 : 4;
    Bytes samples;
    for (int32_t y = 0; y < Photo().height(); ++y)
        for (int32_t x = 0; x < Photo().width(); ++x)
            for (int c = 0; c < channels; ++c)
                samples.push_back(c < 3 ? Photo().row(y)[3 * x + c] : 255);
    const test::PngHeader header{static_cast<uint32_t>(Photo().width()), static_cast<uint32_t>(Photo().height()), 8,
                                 source.colourType, source.interlaced};
    return test::EncodePngRows(header, std::move(samples), [&source](png_structp png, png_infop info) {
        if (!source.exif.empty())
            png_set_eXIf_1(png, info, static_cast<png_uint_32>(source.exif.size()), const_cast<png_bytep>(source.exif.data()));
        if (!source.profile.empty())
            png_set_iCCP(png, info, "Display", PNG_COMPRESSION_TYPE_BASE, source.profile.data(),
                         static_cast<png_uint_32>(source.profile.size()));
    });
}

// A PNG file as its chunks, for changing what libpng's writer would refuse to write.
using test::PngChunk;

// The file with a correct CRC for every chunk; `badCrc` names one whose CRC is off by one.
Bytes Assemble(const std::vector<PngChunk>& chunks, const std::string& badCrc = "")
{
    Bytes png = test::kPngSignature;
    for (const PngChunk& chunk : chunks)
        test::AppendPngChunk(png, chunk.type, chunk.data, chunk.type == badCrc ? 1 : 0);
    return png;
}

PngChunk& ChunkNamed(std::vector<PngChunk>& chunks, const std::string& type)
{
    const auto found = std::find_if(chunks.begin(), chunks.end(), [&type](const PngChunk& chunk) { return chunk.type == type; });
    EXPECT_NE(found, chunks.end()) << type;
    return *found;
}

// Moves the chunk `type` to just before the chunk `before`.
void MoveChunk(std::vector<PngChunk>& chunks, const std::string& type, const std::string& before)
{
    const PngChunk moved = ChunkNamed(chunks, type);
    std::erase_if(chunks, [&type](const PngChunk& chunk) { return chunk.type == type; });
    chunks.insert(std::find_if(chunks.begin(), chunks.end(), [&before](const PngChunk& chunk) { return chunk.type == before; }), moved);
}

// An iCCP chunk's data: name, compression method 0, then `profile` deflated by zlib.
Bytes IccpData(const Bytes& profile)
{
    Bytes data = {'D', 'i', 's', 'p', 'l', 'a', 'y', 0, 0};
    uLongf size = compressBound(static_cast<uLong>(profile.size()));
    Bytes deflated(size);
    EXPECT_EQ(compress(deflated.data(), &size, profile.data(), static_cast<uLong>(profile.size())), Z_OK);
    data.insert(data.end(), deflated.begin(), deflated.begin() + static_cast<std::ptrdiff_t>(size));
    return data;
}

bool Contains(const Bytes& bytes, const std::string& text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

const Bytes& Profile()
{
    static const Bytes profile = test::DisplayProfile(600);
    return profile;
}

TEST(PngMetadata, EveryOrientationArrivesAloneThroughTheWholeConversion)
{
    for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        test::TempDir dir;
        PngSource source;
        source.exif = test::PhoneExif(orientation % 2 == 0, orientation);
        const test::ConvertedSource converted = test::ConvertSource(dir, "photo.png", EncodePng(source));
        EXPECT_EQ(converted.picture.width(), 32);
        EXPECT_EQ(converted.picture.height(), 24);
        EXPECT_EQ(converted.readBack.orientation, orientation);
        EXPECT_FALSE(Contains(converted.output, test::kPhoneMake));
        EXPECT_FALSE(Contains(converted.output, test::kPhoneModel));
        const std::vector<Bytes> app1 = test::JpegPayloads(converted.output, test::kJpegApp1);
        if (orientation == 1) {
            EXPECT_TRUE(app1.empty()) << "nothing to tell viewers";
            continue;
        }
        ASSERT_EQ(app1.size(), 1u);
        EXPECT_EQ(app1[0], MakeOrientationExifApp1(orientation));
    }
}

TEST(PngMetadata, ChunksCountWhereverTheFileMayPlaceThem)
{
    PngSource source;
    source.exif = test::PhoneExif(false, 6);
    source.profile = Profile();
    struct Case {
        const char* what;
        int colourType;
        bool interlaced;
        bool exifAfterPixels;
    };
    for (const Case& c : {Case{"RGB", PNG_COLOR_TYPE_RGB, false, false},
                          Case{"interlaced RGBA, read row by row", PNG_COLOR_TYPE_RGB_ALPHA, true, false},
                          Case{"eXIf after the picture data", PNG_COLOR_TYPE_RGB, false, true},
                          Case{"eXIf after the picture data of RGBA", PNG_COLOR_TYPE_RGB_ALPHA, false, true}}) {
        SCOPED_TRACE(c.what);
        source.colourType = c.colourType;
        source.interlaced = c.interlaced;
        std::vector<PngChunk> chunks = test::PngChunks(EncodePng(source));
        if (c.exifAfterPixels)
            MoveChunk(chunks, "eXIf", "IEND");
        test::TempDir dir;
        const std::string path = dir.file("photo.png");
        test::WriteFileBytes(path, Assemble(chunks));
        const PictureRaster picture = ReadPng(path);
        EXPECT_TRUE(test::SamePixels(picture, Photo()));
        EXPECT_EQ(picture.metadata().orientation, 6);
        EXPECT_EQ(picture.metadata().iccProfile, Profile());
    }
}

TEST(PngMetadata, ColourProfileSurvivesByteForByte)
{
    // 600 bytes: one APP2 chunk; 100000 bytes: split over two.
    for (const std::size_t size : {std::size_t{600}, std::size_t{100000}}) {
        SCOPED_TRACE(size);
        test::TempDir dir;
        PngSource source;
        source.profile = test::DisplayProfile(size);
        const test::ConvertedSource converted = test::ConvertSource(dir, "photo.png", EncodePng(source));
        EXPECT_EQ(test::JpegPayloads(converted.output, test::kJpegApp2).size(), size / 65519 + 1);
        EXPECT_EQ(converted.readBack.iccProfile, source.profile);
        EXPECT_EQ(converted.readBack.orientation, 1);
    }
}

TEST(PngMetadata, GreyProfileOfGreyPictureIsDropped)
{
    // libpng keeps it, as it fits the grey file, but the output is RGB.
    test::TempDir dir;
    PngSource source;
    source.colourType = PNG_COLOR_TYPE_GRAY;
    source.profile = test::DisplayProfile(600, "GRAY");
    const std::string path = dir.file("grey.png");
    test::WriteFileBytes(path, EncodePng(source));
    EXPECT_TRUE(ReadPng(path).metadata().iccProfile.empty());
}

TEST(PngMetadata, MalformedExifLoadsWithoutOrientation)
{
    using Layout = test::PhoneExifLayout;
    struct Case {
        const char* what;
        void (*breakIt)(Bytes&);
    };
    const Case cases[] = {
        // The block is big-endian.
        {"IFD0 past the end", [](Bytes& t) { t[4] = 0x7F; }},
        {"entry count runs past the end", [](Bytes& t) { t[Layout::kIfd0] = 0xFF; t.resize(Layout::kOrientationEnd - 2); }},
        {"orientation claims a billion values", [](Bytes& t) { t[Layout::kOrientationEntry + 4] = 0x3B; }},
        {"orientation value 0", [](Bytes& t) { t[Layout::kOrientationEntry + 9] = 0; }},
        {"cut inside the header", [](Bytes& t) { t.resize(5); }},
        {"two bytes", [](Bytes& t) { t.resize(2); }},
        {"unknown byte order", [](Bytes& t) { t[0] = 'X'; t[1] = 'Y'; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes tiff = test::PhoneExif(true, 6);
        c.breakIt(tiff);
        std::vector<PngChunk> chunks = test::PngChunks(EncodePng({}));
        chunks.insert(chunks.begin() + 1, PngChunk{"eXIf", tiff, 0});
        test::TempDir dir;
        const test::ConvertedSource converted = test::ConvertSource(dir, "photo.png", Assemble(chunks));
        EXPECT_EQ(converted.readBack.orientation, 1);
        EXPECT_TRUE(test::JpegPayloads(converted.output, test::kJpegApp1).empty());
    }
}

TEST(PngMetadata, MalformedProfileLoadsWithoutIt)
{
    PngSource source;
    source.profile = Profile();
    const std::vector<PngChunk> valid = test::PngChunks(EncodePng(source));
    const std::size_t deflatedAt = 9;  // after "Display", its terminator and the method byte
    struct Case {
        const char* what;
        void (*breakIt)(std::vector<PngChunk>&, std::string& badCrc);
    };
    const Case cases[] = {
        {"deflate data corrupted",
         [](std::vector<PngChunk>& chunks, std::string&) {
             Bytes& data = ChunkNamed(chunks, "iCCP").data;
             for (std::size_t i = deflatedAt + 10; i < deflatedAt + 40; ++i)
                 data[i] ^= 0x5A;
         }},
        {"deflate data cut short",
         [](std::vector<PngChunk>& chunks, std::string&) { ChunkNamed(chunks, "iCCP").data.resize(deflatedAt + 60); }},
        {"profile claims more bytes than it has",
         [](std::vector<PngChunk>& chunks, std::string&) {
             Bytes lying = Profile();
             lying[2] = 0x10;  // 600 + 4096
             ChunkNamed(chunks, "iCCP").data = IccpData(lying);
         }},
        {"profile claims fewer bytes than it has",
         [](std::vector<PngChunk>& chunks, std::string&) {
             Bytes lying = Profile();
             lying[3] = 0;  // 512
             ChunkNamed(chunks, "iCCP").data = IccpData(lying);
         }},
        {"tag outside the profile",
         [](std::vector<PngChunk>& chunks, std::string&) {
             Bytes lying = Profile();
             lying[136 + 2] = 0x7F;
             ChunkNamed(chunks, "iCCP").data = IccpData(lying);
         }},
        {"unknown compression method",
         [](std::vector<PngChunk>& chunks, std::string&) { ChunkNamed(chunks, "iCCP").data[deflatedAt - 1] = 1; }},
        {"CRC wrong", [](std::vector<PngChunk>&, std::string& badCrc) { badCrc = "iCCP"; }},
        {"after the picture data", [](std::vector<PngChunk>& chunks, std::string&) { MoveChunk(chunks, "iCCP", "IEND"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<PngChunk> chunks = valid;
        std::string badCrc;
        c.breakIt(chunks, badCrc);
        test::TempDir dir;
        const test::ConvertedSource converted = test::ConvertSource(dir, "photo.png", Assemble(chunks, badCrc));
        EXPECT_TRUE(converted.readBack.iccProfile.empty());
        EXPECT_TRUE(test::JpegPayloads(converted.output, test::kJpegApp2).empty());
    }
}

TEST(PngMetadata, ProfileIsInflatedToItsOwnLength)
{
    // libpng stops once the profile's stated length is out, before the zlib checksum: a wrong
    // checksum behind intact profile bytes does not cost the profile.
    PngSource source;
    source.profile = Profile();
    std::vector<PngChunk> chunks = test::PngChunks(EncodePng(source));
    ChunkNamed(chunks, "iCCP").data.back() ^= 0x01;
    test::TempDir dir;
    const std::string path = dir.file("photo.png");
    test::WriteFileBytes(path, Assemble(chunks));
    EXPECT_EQ(ReadPng(path).metadata().iccProfile, Profile());
}

TEST(PngMetadata, MetadataIsAllThatChangesInTheOutput)
{
    test::TempDir dir;
    const test::ConvertedSource plain = test::ConvertSource(dir, "plain.png", EncodePng({}));
    EXPECT_EQ(plain.output, test::CjpegReference(dir, plain.picture)) << "a PNG without metadata gives the plain encoding";

    PngSource source;
    source.exif = test::PhoneExif(true, 8);
    source.profile = Profile();
    const test::ConvertedSource tagged = test::ConvertSource(dir, "tagged.png", EncodePng(source));
    EXPECT_EQ(test::JpegPayloads(tagged.output, test::kJpegApp1).size(), 1u);
    EXPECT_EQ(test::JpegPayloads(tagged.output, test::kJpegApp2).size(), 1u);
    EXPECT_TRUE(test::SamePixels(tagged.picture, plain.picture));
    EXPECT_EQ(test::WithoutMetadataSegments(tagged.output), plain.output);
}

TEST(PngMetadata, PngSuiteExifFileKeepsItsOrientation)
{
    const auto corpus = test::CorpusDir();
    // IFD0 says 1 (as stored); the thumbnail's IFD1 says 6, which describes only the thumbnail.
    const PictureRaster picture = ReadPng((corpus / "pngsuite" / "exif2c08.png").string());
    EXPECT_EQ(picture.width(), 32);
    EXPECT_EQ(picture.metadata().orientation, 1);
    EXPECT_TRUE(picture.metadata().iccProfile.empty());
}

} // namespace
} // namespace gustara
