#include "read/WebpReader.h"

#include "EngineError.h"
#include "read/AlphaOnWhite.h"
#include "ExifOrientation.h"
#include "read/PictureFile.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <span>
#include <vector>

namespace gustara {

namespace {

constexpr std::string_view kWebpFormat = "WebP";
// Enough of the file's start for libwebp to find the canvas size and the animation flag.
constexpr std::size_t kHeaderBytes = 64;

using Bytes = std::vector<uint8_t>;

Bytes ReadAtMost(std::FILE* file, std::size_t count)
{
    Bytes bytes(count);
    bytes.resize(std::fread(bytes.data(), 1, count, file));
    return bytes;
}

bool HasWebpSignature(const Bytes& bytes)
{
    return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(bytes.data() + 8, "WEBP", 4) == 0;
}

// The bytes the RIFF header at `header`'s start says the file holds: its 8 bytes and the size
// it gives. What follows is no part of the picture and is never read.
uint64_t DeclaredFileBytes(const Bytes& header)
{
    return 8 + (uint64_t{header[4]} | uint64_t{header[5]} << 8 | uint64_t{header[6]} << 16 | uint64_t{header[7]} << 24);
}

// libwebp's status for `bytes` (the whole file or its start) by what the user can do about it.
[[noreturn]] void ThrowWebpError(VP8StatusCode status, const Bytes& bytes, std::FILE* file)
{
    if (!HasWebpSignature(bytes))
        ThrowReadFailure(ReadFailure::NotThisFormat, kWebpFormat);
    switch (status) {
    case VP8_STATUS_NOT_ENOUGH_DATA:
        ThrowShortRead(file, kWebpFormat);
    case VP8_STATUS_OUT_OF_MEMORY:
        ThrowReadFailure(ReadFailure::OutOfMemory, kWebpFormat);
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        ThrowReadFailure(ReadFailure::Unsupported, kWebpFormat);
    default:
        ThrowReadFailure(ReadFailure::Damaged, kWebpFormat);
    }
}

WebPBitstreamFeatures FeaturesOf(const Bytes& bytes, std::FILE* file)
{
    WebPBitstreamFeatures features{};
    if (const VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &features); status != VP8_STATUS_OK)
        ThrowWebpError(status, bytes, file);
    return features;
}

// The decoder's output, freed on every way out.
struct WebpDecoding {
    WebPDecoderConfig config{};
    WebpDecoding() { WebPInitDecoderConfig(&config); }
    WebpDecoding(const WebpDecoding&) = delete;
    WebpDecoding& operator=(const WebpDecoding&) = delete;
    ~WebpDecoding() { WebPFreeDecBuffer(&config.output); }
};

struct DemuxDeleter {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

// One metadata chunk's payload; empty when the file has none.
std::span<const uint8_t> ChunkOf(WebPDemuxer* demux, const char* fourcc)
{
    WebPChunkIterator chunk{};
    if (!WebPDemuxGetChunk(demux, fourcc, 1, &chunk))
        return {};
    const std::span<const uint8_t> payload(chunk.chunk.bytes, chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);  // the payload points into the file's bytes
    return payload;
}

// The EXIF orientation and capture date and an RGB ICC profile from the container's chunks. The EXIF chunk
// holds the TIFF block itself, though some writers put JPEG's "Exif\0\0" before it.
void TakeMetadata(const Bytes& bytes, PictureMetadata& metadata)
{
    const WebPData data{bytes.data(), bytes.size()};
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    if (!demux)
        return;
    const std::span<const uint8_t> exif = ChunkOf(demux.get(), "EXIF");
    if (!exif.empty()) {
        metadata.orientation = ReadExifOrientation(ExifTiffBlock(exif));
        metadata.captureDate = ReadExifCaptureDate(ExifTiffBlock(exif));
    }
    const std::span<const uint8_t> profile = ChunkOf(demux.get(), "ICCP");
    if (IsRgbIccProfile(profile))
        metadata.iccProfile.assign(profile.begin(), profile.end());
}

} // namespace

PictureRaster ReadWebp(const std::string& path)
{
    const PictureFile file = OpenForReading(path);
    const Bytes header = ReadAtMost(file.get(), 12);
    if (!HasWebpSignature(header))
        ThrowReadFailure(ReadFailure::NotThisFormat, kWebpFormat);
    const uint64_t declared = DeclaredFileBytes(header);
    if (declared > file.size)
        ThrowReadFailure(ReadFailure::EndsEarly, kWebpFormat);
    std::rewind(file.get());
    const Bytes bytes = ReadAtMost(file.get(), declared);
    if (bytes.size() != declared)
        ThrowShortRead(file.get(), kWebpFormat);
    const WebPBitstreamFeatures features = FeaturesOf(bytes, file.get());
    if (features.has_animation)
        throw EngineError(std::string(Text(Message::ReadSeveralFrames)));
    CheckPictureSize(features.width, features.height);
    PictureRaster picture(features.width, features.height);

    WebpDecoding decoding;
    WebPDecBuffer& output = decoding.config.output;
    if (features.has_alpha) {
        output.colorspace = MODE_RGBA;  // into libwebp's own buffer, then flattened
    } else {
        output.colorspace = MODE_RGB;   // straight into the raster
        output.is_external_memory = 1;
        output.u.RGBA.rgba = picture.data();
        output.u.RGBA.stride = static_cast<int>(picture.stride());
        output.u.RGBA.size = picture.byteCount();
    }
    if (const VP8StatusCode status = WebPDecode(bytes.data(), bytes.size(), &decoding.config); status != VP8_STATUS_OK)
        ThrowWebpError(status, bytes, file.get());
    if (features.has_alpha) {
        for (int32_t y = 0; y < picture.height(); ++y) {
            const uint8_t* in = output.u.RGBA.rgba + static_cast<std::ptrdiff_t>(output.u.RGBA.stride) * y;
            uint8_t* out = picture.row(y);
            for (int32_t x = 0; x < picture.width(); ++x)
                FlattenOntoWhite(in + 4 * x, out + 3 * x);
        }
    }
    TakeMetadata(bytes, picture.metadata());
    return picture;
}

std::optional<PictureDimensions> ProbeWebp(std::FILE* file)
{
    const Bytes header = ReadAtMost(file, kHeaderBytes);
    WebPBitstreamFeatures features{};
    if (!HasWebpSignature(header) || WebPGetFeatures(header.data(), header.size(), &features) != VP8_STATUS_OK)
        return std::nullopt;
    return PictureDimensions{features.width, features.height, false, features.has_alpha ? 4 : 0,  // RGBA, then flattened
                             DeclaredFileBytes(header)};
}

bool IsWebpAnimation(const std::string& path)
{
    const PictureFile file = OpenForReading(path);
    return FeaturesOf(ReadAtMost(file.get(), kHeaderBytes), file.get()).has_animation != 0;
}

} // namespace gustara
