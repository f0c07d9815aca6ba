#include "read/bmp/BmpReader.h"

#include "read/bmp/BmpHeader.h"
#include "read/bmp/BmpRle.h"
#include "read/bmp/BmpSource.h"

#include <vector>

namespace gustara {

namespace {

void ConvertIndexedRow(const uint8_t* in, uint8_t* out, const BmpLayout& layout)
{
    const int bits = layout.bitsPerPixel;
    const unsigned valueMask = (1u << bits) - 1;
    for (int32_t x = 0; x < layout.width; ++x, out += 3) {
        const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
        // The leftmost pixel sits in the most significant bits of its byte.
        const unsigned index = (in[bit / 8] >> (8 - bits - bit % 8)) & valueMask;
        const auto& colour = layout.palette[index];
        out[0] = colour[0];
        out[1] = colour[1];
        out[2] = colour[2];
    }
}

void ConvertBgrRow(const uint8_t* in, uint8_t* out, int32_t width)
{
    for (int32_t x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

template <int Bytes>
void ConvertMaskedRow(const uint8_t* in, uint8_t* out, const BmpLayout& layout)
{
    const auto& [red, green, blue] = layout.channels;
    for (int32_t x = 0; x < layout.width; ++x, in += Bytes, out += 3) {
        uint32_t pixel = 0;
        for (int i = Bytes - 1; i >= 0; --i)
            pixel = pixel << 8 | in[i];
        out[0] = red.sample(pixel);
        out[1] = green.sample(pixel);
        out[2] = blue.sample(pixel);
    }
}

void ConvertRow(const uint8_t* in, uint8_t* out, const BmpLayout& layout)
{
    switch (layout.bitsPerPixel) {
    case 16:
        return ConvertMaskedRow<2>(in, out, layout);
    case 24:
        return ConvertBgrRow(in, out, layout.width);
    case 32:
        return ConvertMaskedRow<4>(in, out, layout);
    default:
        return ConvertIndexedRow(in, out, layout);
    }
}

PictureRaster ReadPlainPixels(BmpSource& source, const BmpLayout& layout)
{
    // The picture passed CheckPictureSize, so rowBytes() * height stays far below 2^64.
    const uint64_t rowBytes = layout.rowBytes();
    if (rowBytes * static_cast<uint64_t>(layout.height) > source.remaining())
        ThrowReadFailure(ReadFailure::EndsEarly, kBmpFormat);
    PictureRaster raster(layout.width, layout.height);
    std::vector<uint8_t> stored(static_cast<std::size_t>(rowBytes));
    for (int32_t i = 0; i < layout.height; ++i) {
        source.read(stored.data(), stored.size());
        ConvertRow(stored.data(), raster.row(layout.topDown ? i : layout.height - 1 - i), layout);
    }
    return raster;
}

// The embedded colour profile when it describes RGB; empty otherwise. The range was checked
// against the file, so it is read wherever it lies, before or after the pixel data.
std::vector<uint8_t> ReadEmbeddedProfile(BmpSource& source, const BmpByteRange& range)
{
    if (range.size == 0)
        return {};
    std::vector<uint8_t> profile(static_cast<std::size_t>(range.size));
    source.seek(range.offset);
    source.read(profile.data(), profile.size());
    if (!IsRgbIccProfile(profile))
        return {};
    return profile;
}

} // namespace

PictureRaster ReadBmp(const std::string& path)
{
    BmpSource source(path);
    const BmpLayout layout = ReadBmpLayout(source);
    PictureRaster picture =
        layout.encoding == BmpEncoding::Plain ? ReadPlainPixels(source, layout) : DecodeBmpRle(source, layout);
    picture.metadata().iccProfile = ReadEmbeddedProfile(source, layout.embeddedProfile);
    return picture;
}

} // namespace gustara
