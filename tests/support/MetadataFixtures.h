#pragma once

// Colour profiles, the conversion steps and a look into the written JPEG, for the tests that
// follow a source's metadata into the output.

#include "ExifBlocks.h"
#include "JpegFixtures.h"
#include "PngFixtures.h"
#include "read/JpegReader.h"
#include "PictureMetadata.h"
#include "TestFiles.h"
#include "UnitThPicConvert.h"
#include "write/JpegWriter.h"

#include <jpeglib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace gustara::test {

inline constexpr int kJpegApp1 = JPEG_APP0 + 1;
inline constexpr int kJpegApp2 = JPEG_APP0 + 2;

// Writes the header fields of an ICC profile that fills `profile`: its size, version 4.3, display
// class, `colourSpace` data and XYZ connection space; the rest is left as it is.
inline void PutProfileHeader(std::vector<uint8_t>& profile, const std::string& colourSpace)
{
    const auto putText = [&profile](std::size_t at, const std::string& text) {
        std::copy(text.begin(), text.end(), profile.begin() + static_cast<std::ptrdiff_t>(at));
    };
    for (int i = 0; i < 4; ++i)
        profile[static_cast<std::size_t>(i)] = static_cast<uint8_t>(profile.size() >> (24 - 8 * i));
    putText(4, "gstr");
    profile[8] = 4;
    profile[9] = 0x30;
    putText(12, "mntr");
    putText(16, colourSpace);
    putText(20, "XYZ ");
    putText(36, "acsp");
}

// An ICC profile of `size` bytes (a multiple of 4, at least 168) whose header and tag table
// pass libpng's checks of an iCCP chunk: the header above, D50 illuminant, and three tags over
// deterministic filler.
inline std::vector<uint8_t> DisplayProfile(std::size_t size, const std::string& colourSpace = "RGB ")
{
    constexpr std::size_t kTags = 3;
    constexpr std::size_t kData = 128 + 4 + 12 * kTags;
    std::vector<uint8_t> profile(size);
    PutProfileHeader(profile, colourSpace);
    const auto put32 = [&profile](std::size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            profile[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
    };
    put32(68, 0xF6D6);   // D50 X = 0.9642
    put32(72, 0x10000);  // Y = 1
    put32(76, 0xD32D);   // Z = 0.8249
    put32(128, kTags);
    const std::size_t share = (size - kData) / kTags / 4 * 4;
    const char* const names[kTags] = {"desc", "wtpt", "cprt"};
    for (std::size_t tag = 0; tag < kTags; ++tag) {
        std::copy(names[tag], names[tag] + 4, profile.begin() + static_cast<std::ptrdiff_t>(132 + 12 * tag));
        put32(136 + 12 * tag, static_cast<uint32_t>(kData + share * tag));
        put32(140 + 12 * tag, static_cast<uint32_t>(share));
    }
    for (std::size_t i = kData; i < size; ++i)
        profile[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return profile;
}

// The engine as a user sets it for phone photos: fit into 32 x 32, quality 100, flavour 2,
// the output named "s-" + the source's name.
inline TthPicConvert PhotoEngine()
{
    TthPicConvert engine;
    engine.UseDecidesName = true;
    engine.NameBefore = true;
    engine.FileNameAffix = "s-";
    engine.UsePicSize = true;
    engine.PicWidth = 32;
    engine.PicHeight = 32;
    engine.UseQuality = true;
    engine.ByQuality = true;
    engine.QualityValue = 100;
    engine.FlavourLevel = 2;
    return engine;
}

struct ConvertedSource {
    PictureRaster picture;      // as it was handed to SaveAsJpeg
    std::vector<uint8_t> output;
    PictureMetadata readBack;   // what the JPEG reader finds in the output
};

// Writes `source` as dir/`name` and runs the four steps of `engine` on it. Throws what they throw.
inline ConvertedSource ConvertSource(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& source,
                                     TthPicConvert engine = PhotoEngine())
{
    const std::string path = StoreFile(dir, name, source);
    ConvertedSource converted;
    engine.LoadPicture(path, converted.picture);
    engine.FitPicSize(converted.picture);
    engine.ApplyFlavour(converted.picture);
    const std::string written = engine.SaveAsJpeg(path, converted.picture);
    converted.output = ReadFileBytes(written);
    converted.readBack = ReadJpeg(written).metadata();
    return converted;
}

// The marker segments from SOI up to SOS, or up to the first that does not parse.
inline std::vector<JpegSegment> JpegHeaderSegments(const std::vector<uint8_t>& jpeg)
{
    std::vector<JpegSegment> segments = JpegSegments(jpeg);
    const auto scan = std::find_if(segments.begin(), segments.end(), [](const JpegSegment& s) { return s.code == 0xDA; });
    segments.erase(scan, segments.end());
    return segments;
}

// The segments with `code`, in order.
inline std::vector<JpegSegment> JpegSegmentsWith(const std::vector<uint8_t>& jpeg, int code)
{
    std::vector<JpegSegment> found;
    for (JpegSegment& segment : JpegHeaderSegments(jpeg))
        if (segment.code == code)
            found.push_back(std::move(segment));
    return found;
}

// The payloads of the segments with `code`, in order.
inline std::vector<std::vector<uint8_t>> JpegPayloads(const std::vector<uint8_t>& jpeg, int code)
{
    std::vector<std::vector<uint8_t>> payloads;
    for (JpegSegment& segment : JpegSegmentsWith(jpeg, code))
        payloads.push_back(std::move(segment.payload));
    return payloads;
}

// The datastream without its APP1 and APP2 segments.
inline std::vector<uint8_t> WithoutMetadataSegments(const std::vector<uint8_t>& jpeg)
{
    std::vector<uint8_t> rest;
    std::size_t copied = 0;
    for (const JpegSegment& segment : JpegHeaderSegments(jpeg)) {
        if (segment.code != kJpegApp1 && segment.code != kJpegApp2)
            continue;
        rest.insert(rest.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(copied), jpeg.begin() + static_cast<std::ptrdiff_t>(segment.begin));
        copied = segment.end;
    }
    rest.insert(rest.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(copied), jpeg.end());
    return rest;
}

// cjpeg with the engine's settings on `picture`: the datastream without any metadata.
inline std::vector<uint8_t> CjpegReference(const TempDir& dir, const PictureRaster& picture)
{
    WritePpm(dir.file("reference.ppm"), picture);
    const std::string out = dir.file("reference.jpg");
    if (RunCommand("cjpeg -dct float -quality 100 -baseline -outfile " + ShellQuote(out) + " " +
                   ShellQuote(dir.file("reference.ppm"))) != 0)
        throw std::runtime_error("cjpeg failed");
    return ReadFileBytes(out);
}

// A camera's photo with DatedPhoneExif: a 40 x 30 JPEG with it in APP1 (big-endian), or an
// RGB PNG with it in eXIf (little-endian).
inline std::vector<uint8_t> DatedPhoto(bool png)
{
    const PictureRaster picture = MakeTestPicture(40, 30);
    if (png) {
        const std::vector<uint8_t> exif = DatedPhoneExif(false);
        std::vector<png_byte> rows(picture.row(0), picture.row(0) + picture.byteCount());
        return EncodePngRows({40, 30}, rows, [&exif](png_structp png, png_infop info) {
            png_set_eXIf_1(png, info, static_cast<png_uint_32>(exif.size()), const_cast<png_bytep>(exif.data()));
        });
    }
    const std::vector<uint8_t> app1 = ExifApp1(DatedPhoneExif(true));
    const JpegSamples samples{40, 30, 3, JCS_RGB, picture.row(0), picture.stride()};
    return CompressJpeg(samples, 95, {}, [&app1](jpeg_compress_struct& info) {
        jpeg_write_marker(&info, JPEG_APP0 + 1, app1.data(), static_cast<unsigned int>(app1.size()));
    });
}

} // namespace gustara::test
