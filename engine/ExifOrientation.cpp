#include "ExifOrientation.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace gustara {

namespace {

constexpr std::array<uint8_t, 6> kExifPrefix = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::size_t kTiffHeaderBytes = 8;
constexpr std::size_t kEntryBytes = 12;
constexpr uint16_t kTiffMagic = 42;
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;

// Reads the block's numbers in its own byte order; every offset is checked by the caller.
class TiffBytes {
public:
    TiffBytes(std::span<const uint8_t> bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

    uint16_t u16(std::size_t at) const
    {
        const unsigned first = bytes_[at];
        const unsigned second = bytes_[at + 1];
        return static_cast<uint16_t>(bigEndian_ ? first << 8 | second : second << 8 | first);
    }

    uint32_t u32(std::size_t at) const
    {
        const uint32_t first = u16(at);
        const uint32_t second = u16(at + 2);
        return bigEndian_ ? first << 16 | second : second << 16 | first;
    }

private:
    std::span<const uint8_t> bytes_;
    bool bigEndian_;
};

void AppendBigEndian(std::vector<uint8_t>& bytes, uint32_t value, int byteCount)
{
    for (int shift = 8 * (byteCount - 1); shift >= 0; shift -= 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

} // namespace

uint16_t ReadExifOrientation(std::span<const uint8_t> tiff)
{
    constexpr uint16_t asStored = 1;
    if (tiff.size() < kTiffHeaderBytes)
        return asStored;
    const bool bigEndian = tiff[0] == 'M' && tiff[1] == 'M';
    if (!bigEndian && !(tiff[0] == 'I' && tiff[1] == 'I'))
        return asStored;
    const TiffBytes bytes(tiff, bigEndian);
    if (bytes.u16(2) != kTiffMagic)
        return asStored;

    const std::size_t ifd = bytes.u32(4);
    if (ifd > tiff.size() || tiff.size() - ifd < 2)
        return asStored;
    // A count that claims more entries than the block holds is cut to what is there.
    const std::size_t entriesInBlock = (tiff.size() - ifd - 2) / kEntryBytes;
    const std::size_t entryCount = std::min<std::size_t>(bytes.u16(ifd), entriesInBlock);
    for (std::size_t i = 0; i < entryCount; ++i) {
        const std::size_t entry = ifd + 2 + i * kEntryBytes;
        if (bytes.u16(entry) != kOrientationTag)
            continue;
        // The first orientation entry decides; a SHORT value sits at the start of the value field.
        const uint16_t value = bytes.u16(entry + 8);
        const bool wellFormed = bytes.u16(entry + 2) == kShortType && bytes.u32(entry + 4) == 1;
        return wellFormed && value >= 1 && value <= 8 ? value : asStored;
    }
    return asStored;
}

std::optional<uint16_t> ReadExifApp1Orientation(std::span<const uint8_t> app1)
{
    if (app1.size() < kExifPrefix.size() || !std::equal(kExifPrefix.begin(), kExifPrefix.end(), app1.begin()))
        return std::nullopt;
    return ReadExifOrientation(app1.subspan(kExifPrefix.size()));
}

std::vector<uint8_t> MakeOrientationExifApp1(uint16_t orientation)
{
    std::vector<uint8_t> bytes(kExifPrefix.begin(), kExifPrefix.end());
    AppendBigEndian(bytes, 'M' << 8 | 'M', 2);   // big-endian byte order
    AppendBigEndian(bytes, kTiffMagic, 2);
    AppendBigEndian(bytes, kTiffHeaderBytes, 4);  // IFD0 right after the header
    AppendBigEndian(bytes, 1, 2);                 // one entry
    AppendBigEndian(bytes, kOrientationTag, 2);
    AppendBigEndian(bytes, kShortType, 2);
    AppendBigEndian(bytes, 1, 4);                 // one value
    AppendBigEndian(bytes, uint32_t{orientation} << 16, 4);  // left-justified in the value field
    AppendBigEndian(bytes, 0, 4);                 // no next IFD
    return bytes;
}

} // namespace gustara
