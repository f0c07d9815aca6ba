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
constexpr uint16_t kLongType = 4;
constexpr uint16_t kAsciiType = 2;
constexpr uint16_t kExifIfdTag = 0x8769;
constexpr uint16_t kDateTimeOriginalTag = 0x9003;
constexpr uint16_t kOffsetTimeOriginalTag = 0x9011;
constexpr uint16_t kSubSecTimeOriginalTag = 0x9291;
constexpr std::size_t kMostDateBytes = 32;

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

// The byte order of a TIFF block, when it starts with a valid header.
std::optional<bool> BigEndianOf(std::span<const uint8_t> tiff)
{
    if (tiff.size() < kTiffHeaderBytes)
        return std::nullopt;
    const bool bigEndian = tiff[0] == 'M' && tiff[1] == 'M';
    if (!bigEndian && !(tiff[0] == 'I' && tiff[1] == 'I'))
        return std::nullopt;
    if (TiffBytes(tiff, bigEndian).u16(2) != kTiffMagic)
        return std::nullopt;
    return bigEndian;
}

// Where the first entry of `tag` in the IFD at `ifd` starts; nullopt when there is none
// wholly inside the block. A count that claims more entries than the block holds is cut.
std::optional<std::size_t> FindEntry(std::span<const uint8_t> tiff, const TiffBytes& bytes, std::size_t ifd,
                                     uint16_t tag)
{
    if (ifd > tiff.size() || tiff.size() - ifd < 2)
        return std::nullopt;
    const std::size_t entriesInBlock = (tiff.size() - ifd - 2) / kEntryBytes;
    const std::size_t entryCount = std::min<std::size_t>(bytes.u16(ifd), entriesInBlock);
    for (std::size_t i = 0; i < entryCount; ++i) {
        const std::size_t entry = ifd + 2 + i * kEntryBytes;
        if (bytes.u16(entry) == tag)
            return entry;
    }
    return std::nullopt;
}

// An ASCII entry's text up to its first NUL; empty unless it is printable and short.
std::string AsciiOf(std::span<const uint8_t> tiff, const TiffBytes& bytes, std::optional<std::size_t> entry)
{
    if (!entry || bytes.u16(*entry + 2) != kAsciiType)
        return {};
    const std::size_t count = bytes.u32(*entry + 4);
    // Four bytes or fewer sit in the value field itself; longer values where it points.
    const std::size_t at = count <= 4 ? *entry + 8 : bytes.u32(*entry + 8);
    if (count > kMostDateBytes + 1 || at > tiff.size() || tiff.size() - at < count)
        return {};
    std::string text;
    for (std::size_t i = 0; i < count && tiff[at + i] != 0; ++i) {
        if (tiff[at + i] < 0x20 || tiff[at + i] > 0x7e)
            return {};
        text.push_back(static_cast<char>(tiff[at + i]));
    }
    return text.size() <= kMostDateBytes ? text : std::string();
}

void AppendBigEndian(std::vector<uint8_t>& bytes, uint32_t value, int byteCount)
{
    for (int shift = 8 * (byteCount - 1); shift >= 0; shift -= 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

} // namespace

uint16_t ReadExifOrientation(std::span<const uint8_t> tiff)
{
    constexpr uint16_t asStored = 1;
    const auto bigEndian = BigEndianOf(tiff);
    if (!bigEndian)
        return asStored;
    const TiffBytes bytes(tiff, *bigEndian);
    const auto entry = FindEntry(tiff, bytes, bytes.u32(4), kOrientationTag);
    if (!entry)
        return asStored;
    // The first orientation entry decides; a SHORT value sits at the start of the value field.
    const uint16_t value = bytes.u16(*entry + 8);
    const bool wellFormed = bytes.u16(*entry + 2) == kShortType && bytes.u32(*entry + 4) == 1;
    return wellFormed && value >= 1 && value <= 8 ? value : asStored;
}

CaptureDate ReadExifCaptureDate(std::span<const uint8_t> tiff)
{
    const auto bigEndian = BigEndianOf(tiff);
    if (!bigEndian)
        return {};
    const TiffBytes bytes(tiff, *bigEndian);
    const auto pointer = FindEntry(tiff, bytes, bytes.u32(4), kExifIfdTag);
    if (!pointer || bytes.u32(*pointer + 4) != 1)
        return {};
    const std::size_t exifIfd = bytes.u32(*pointer + 8);
    return {AsciiOf(tiff, bytes, FindEntry(tiff, bytes, exifIfd, kDateTimeOriginalTag)),
            AsciiOf(tiff, bytes, FindEntry(tiff, bytes, exifIfd, kSubSecTimeOriginalTag)),
            AsciiOf(tiff, bytes, FindEntry(tiff, bytes, exifIfd, kOffsetTimeOriginalTag))};
}

std::span<const uint8_t> ExifTiffBlock(std::span<const uint8_t> payload)
{
    if (payload.size() >= kExifPrefix.size() && std::equal(kExifPrefix.begin(), kExifPrefix.end(), payload.begin()))
        return payload.subspan(kExifPrefix.size());
    return payload;
}

std::optional<uint16_t> ReadExifApp1Orientation(std::span<const uint8_t> app1)
{
    if (app1.size() < kExifPrefix.size() || !std::equal(kExifPrefix.begin(), kExifPrefix.end(), app1.begin()))
        return std::nullopt;
    return ReadExifOrientation(app1.subspan(kExifPrefix.size()));
}

std::vector<uint8_t> MakeExifApp1(uint16_t orientation, const CaptureDate& date)
{
    struct AsciiEntry {
        uint16_t tag;
        const std::string& text;
    };
    std::vector<AsciiEntry> dateEntries;  // in the order of their tags, as an IFD wants them
    for (const AsciiEntry entry : {AsciiEntry{kDateTimeOriginalTag, date.dateTime},
                                   AsciiEntry{kOffsetTimeOriginalTag, date.offset},
                                   AsciiEntry{kSubSecTimeOriginalTag, date.subSeconds}})
        if (!entry.text.empty())
            dateEntries.push_back(entry);
    const bool withOrientation = orientation != 1 || dateEntries.empty();
    const uint32_t ifd0Entries = (withOrientation ? 1 : 0) + (dateEntries.empty() ? 0 : 1);

    std::vector<uint8_t> bytes(kExifPrefix.begin(), kExifPrefix.end());
    AppendBigEndian(bytes, 'M' << 8 | 'M', 2);   // big-endian byte order
    AppendBigEndian(bytes, kTiffMagic, 2);
    AppendBigEndian(bytes, kTiffHeaderBytes, 4);  // IFD0 right after the header
    AppendBigEndian(bytes, ifd0Entries, 2);
    if (withOrientation) {
        AppendBigEndian(bytes, kOrientationTag, 2);
        AppendBigEndian(bytes, kShortType, 2);
        AppendBigEndian(bytes, 1, 4);                 // one value
        AppendBigEndian(bytes, uint32_t{orientation} << 16, 4);  // left-justified in the value field
    }
    const auto ifdBytes = [](std::size_t entries) { return static_cast<uint32_t>(2 + entries * kEntryBytes + 4); };
    const uint32_t exifIfd = kTiffHeaderBytes + ifdBytes(ifd0Entries);
    if (!dateEntries.empty()) {
        AppendBigEndian(bytes, kExifIfdTag, 2);
        AppendBigEndian(bytes, kLongType, 2);
        AppendBigEndian(bytes, 1, 4);
        AppendBigEndian(bytes, exifIfd, 4);
    }
    AppendBigEndian(bytes, 0, 4);                 // no next IFD
    if (dateEntries.empty())
        return bytes;

    // Texts longer than a value field follow the sub-IFD, each with its closing NUL.
    std::vector<uint8_t> texts;
    uint32_t textAt = exifIfd + ifdBytes(dateEntries.size());
    AppendBigEndian(bytes, static_cast<uint32_t>(dateEntries.size()), 2);
    for (const AsciiEntry& entry : dateEntries) {
        const auto count = static_cast<uint32_t>(entry.text.size() + 1);
        AppendBigEndian(bytes, entry.tag, 2);
        AppendBigEndian(bytes, kAsciiType, 2);
        AppendBigEndian(bytes, count, 4);
        std::vector<uint8_t> value(entry.text.begin(), entry.text.end());
        value.resize(count <= 4 ? 4 : count, 0);
        if (count <= 4) {
            bytes.insert(bytes.end(), value.begin(), value.end());
            continue;
        }
        AppendBigEndian(bytes, textAt + static_cast<uint32_t>(texts.size()), 4);
        texts.insert(texts.end(), value.begin(), value.end());
    }
    AppendBigEndian(bytes, 0, 4);                 // no next IFD
    bytes.insert(bytes.end(), texts.begin(), texts.end());
    return bytes;
}

std::vector<uint8_t> MakeOrientationExifApp1(uint16_t orientation)
{
    return MakeExifApp1(orientation, {});
}

} // namespace gustara
