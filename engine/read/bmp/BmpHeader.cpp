#include "read/bmp/BmpHeader.h"

#include "PictureMetadata.h"
#include "PictureRaster.h"

#include <algorithm>
#include <bit>
#include <string>

namespace gustara {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kV5HeaderSize = 124;
// The fields used end with the embedded profile's place in the V5 form; the rest of a longer
// header is read over.
constexpr uint32_t kFieldsUsed = kV5HeaderSize;
// Colour space type of a V5 header whose profile is stored in the file ('MBED').
constexpr uint32_t kEmbeddedProfile = 0x4D424544;

enum Compression : uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3, // Huffman 1D in OS/2 2.x headers
    kJpeg = 4,      // RLE24 in OS/2 2.x headers
    kPng = 5,
    kAlphaBitfields = 6,
};

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The fields of the information header that every form has, in the Windows layout.
struct InfoFields {
    uint32_t size = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = kRgb;
    uint32_t coloursUsed = 0;
    std::array<uint32_t, 3> masks{};
    bool masksInHeader = false;
    uint32_t colourSpaceType = 0;
    uint32_t profileData = 0; // from the start of the information header
    uint32_t profileSize = 0;
    bool os2 = false;
    bool core = false;
};

[[noreturn]] void Damaged(std::string_view what)
{
    ThrowReadFailure(ReadFailure::Damaged, kBmpFormat, what);
}

[[noreturn]] void Refuse(std::string_view what)
{
    ThrowReadFailure(ReadFailure::Unsupported, kBmpFormat, what);
}

InfoFields ReadInfoHeader(BmpSource& source)
{
    // Fields that a short header leaves out stay 0, their default.
    std::array<uint8_t, kFieldsUsed> raw{};
    source.read(raw.data(), 4);
    InfoFields info;
    info.size = Le32(raw.data());
    if (info.size == kCoreHeaderSize) {
        source.read(raw.data() + 4, kCoreHeaderSize - 4);
        info.core = true;
        info.width = Le16(raw.data() + 4);
        info.height = Le16(raw.data() + 6);
        info.planes = Le16(raw.data() + 8);
        info.bitCount = Le16(raw.data() + 10);
        return info;
    }
    if (info.size < 16)
        Damaged(Format(Message::DetailBmpHeaderSize, {std::to_string(info.size)}));
    source.read(raw.data() + 4, std::min(info.size, kFieldsUsed) - 4);
    source.seek(uint64_t{kFileHeaderSize} + info.size);
    // 40 bytes is the Windows form (and the OS/2 2.x form cut to it: the two agree there);
    // 64 bytes and anything shorter than 40 are OS/2 2.x.
    info.os2 = info.size < 40 || info.size == 64;
    info.width = static_cast<int32_t>(Le32(raw.data() + 4));
    info.height = static_cast<int32_t>(Le32(raw.data() + 8));
    info.planes = Le16(raw.data() + 12);
    info.bitCount = Le16(raw.data() + 14);
    info.compression = Le32(raw.data() + 16);
    info.coloursUsed = Le32(raw.data() + 32);
    info.masksInHeader = !info.os2 && info.size >= 52;
    for (int i = 0; i < 3; ++i)
        info.masks[i] = Le32(raw.data() + 40 + 4 * i);
    if (info.size >= kV5HeaderSize) {
        info.colourSpaceType = Le32(raw.data() + 56);
        info.profileData = Le32(raw.data() + 112);
        info.profileSize = Le32(raw.data() + 116);
    }
    return info;
}

BmpEncoding EncodingOf(const InfoFields& info)
{
    switch (info.compression) {
    case kRgb:
        return BmpEncoding::Plain;
    case kRle8:
        if (info.bitCount != 8)
            Refuse(Format(Message::DetailBmpRle8Bits, {std::to_string(info.bitCount)}));
        return BmpEncoding::Rle8;
    case kRle4:
        if (info.bitCount != 4)
            Refuse(Format(Message::DetailBmpRle4Bits, {std::to_string(info.bitCount)}));
        return BmpEncoding::Rle4;
    case kBitfields:
    case kAlphaBitfields:
        if (info.os2 && info.compression == kBitfields)
            Refuse(Text(Message::DetailBmpHuffman));
        if (info.bitCount != 16 && info.bitCount != 32)
            Refuse(Format(Message::DetailBmpBitfieldsBits, {std::to_string(info.bitCount)}));
        return BmpEncoding::Plain;
    case kJpeg:
        Refuse(Text(info.os2 ? Message::DetailBmpRle24 : Message::DetailBmpEmbeddedJpeg));
    case kPng:
        Refuse(Text(Message::DetailBmpEmbeddedPng));
    default:
        Refuse(Format(Message::DetailBmpCompression, {std::to_string(info.compression)}));
    }
}

void CheckBitCount(uint16_t bitCount)
{
    switch (bitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32:
        return;
    default:
        Refuse(Format(Message::DetailBmpBits, {std::to_string(bitCount)}));
    }
}

// Masks of bit-field files: inside a header of 52 bytes or more, otherwise right after it.
std::array<uint32_t, 3> ReadMasks(BmpSource& source, const InfoFields& info)
{
    if (info.compression != kBitfields && info.compression != kAlphaBitfields) {
        if (info.bitCount == 16)
            return {0x7C00, 0x03E0, 0x001F};
        return {0xFF0000, 0x00FF00, 0x0000FF};
    }
    if (info.masksInHeader)
        return info.masks;
    // The alpha mask that follows for BI_ALPHABITFIELDS is read over: alpha is never used.
    std::array<uint8_t, 16> raw{};
    source.read(raw.data(), info.compression == kAlphaBitfields ? 16 : 12);
    return {Le32(raw.data()), Le32(raw.data() + 4), Le32(raw.data() + 8)};
}

// Reads the colour table that lies between the headers and the pixel data. Its length is the
// header's count, or 2^bits when the count is 0 or larger, cut to what fits before the pixel
// data (files with a shortened table exist); pixel data that leaves no room for one entry is
// the file's fault.
BmpPalette ReadPalette(BmpSource& source, const InfoFields& info, uint64_t pixelOffset)
{
    const uint32_t entrySize = info.core ? 3 : 4;
    const uint32_t fullCount = 1u << info.bitCount;
    uint64_t count = info.coloursUsed == 0 ? fullCount : std::min(info.coloursUsed, fullCount);
    count = std::min(count, (pixelOffset - source.position()) / entrySize);
    if (count == 0)
        Damaged(Text(Message::DetailBmpPixelsOverTable));
    std::array<uint8_t, 256 * 4> raw{};
    source.read(raw.data(), static_cast<std::size_t>(count * entrySize));
    BmpPalette palette{};
    for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* entry = raw.data() + i * entrySize;
        palette[i] = {entry[2], entry[1], entry[0]};
    }
    return palette;
}

// Where the embedded profile lies, when the header names one that lies wholly between the end of
// the headers and colour table and the end of the file (before or after the pixel data);
// an empty range otherwise.
BmpByteRange EmbeddedProfileRange(const InfoFields& info, uint64_t headersEnd, uint64_t fileSize)
{
    if (info.size < kV5HeaderSize || info.colourSpaceType != kEmbeddedProfile)
        return {};
    const uint64_t offset = uint64_t{kFileHeaderSize} + info.profileData;
    const uint64_t size = info.profileSize;
    if (size == 0 || size > kMaxIccProfileBytes || offset < headersEnd || offset > fileSize || size > fileSize - offset)
        return {};
    return {offset, size};
}

} // namespace

BmpChannel MakeBmpChannel(uint32_t mask)
{
    BmpChannel channel;
    if (mask == 0)
        return channel;
    const unsigned low = static_cast<unsigned>(std::countr_zero(mask));
    const unsigned bits = static_cast<unsigned>(std::popcount(mask));
    if ((mask >> low) != (bits == 32 ? ~0u : (1u << bits) - 1))
        Refuse(Text(Message::DetailBmpMaskGaps));
    const unsigned kept = std::min(bits, 8u);
    channel.shift = low + (bits - kept);
    channel.valueMask = (1u << kept) - 1;
    for (uint32_t value = 0; value <= channel.valueMask; ++value) {
        unsigned sample = 0;
        for (int at = 8 - static_cast<int>(kept); at > -static_cast<int>(kept); at -= static_cast<int>(kept))
            sample |= at >= 0 ? value << at : value >> -at;
        channel.widened[value] = static_cast<uint8_t>(sample);
    }
    return channel;
}

uint64_t BmpLayout::rowBytes() const
{
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
}

BmpLayout ReadBmpLayout(BmpSource& source)
{
    std::array<uint8_t, kFileHeaderSize> fileHeader{};
    source.read(fileHeader.data(), fileHeader.size());
    if (fileHeader[0] != 0x42 || fileHeader[1] != 0x4D)
        ThrowReadFailure(ReadFailure::NotThisFormat, kBmpFormat);
    const uint64_t pixelOffset = Le32(fileHeader.data() + 10);

    const InfoFields info = ReadInfoHeader(source);
    // Height INT32_MIN is safe: the fields are 64-bit here.
    const int64_t rows = info.height < 0 ? -info.height : info.height;
    CheckPictureSize(info.width, rows);
    if (info.width == 0 || rows == 0)
        Damaged(Text(Message::DetailBmpNoPixels));
    if (info.planes != 1)
        Damaged(Text(Message::DetailBmpPlanes));

    BmpLayout layout;
    layout.width = static_cast<int32_t>(info.width);
    layout.height = static_cast<int32_t>(rows);
    layout.topDown = info.height < 0;
    layout.encoding = EncodingOf(info);
    CheckBitCount(info.bitCount);
    layout.bitsPerPixel = info.bitCount;
    if (layout.topDown && layout.encoding != BmpEncoding::Plain)
        Damaged(Text(Message::DetailBmpTopDownRle));

    if (info.bitCount == 16 || info.bitCount == 32) {
        const std::array<uint32_t, 3> masks = ReadMasks(source, info);
        for (int i = 0; i < 3; ++i)
            layout.channels[i] = MakeBmpChannel(masks[i]);
    }
    if (pixelOffset < source.position())
        Damaged(Text(Message::DetailBmpPixelsInHeader));
    if (pixelOffset > source.size())
        ThrowReadFailure(ReadFailure::EndsEarly, kBmpFormat);
    if (info.bitCount <= 8)
        layout.palette = ReadPalette(source, info, pixelOffset);
    layout.embeddedProfile = EmbeddedProfileRange(info, source.position(), source.size());
    source.seek(pixelOffset);
    return layout;
}

} // namespace gustara
