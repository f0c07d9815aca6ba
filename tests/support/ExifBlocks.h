#pragma once

// EXIF TIFF blocks as phones write them, and the means to break them, for the EXIF tests.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gustara::test {

// Writes numbers in a TIFF block's byte order, appending or overwriting at an offset.
class TiffBytes {
public:
    explicit TiffBytes(bool bigEndian) : bigEndian_(bigEndian) {}

    void put16(std::size_t at, uint16_t value)
    {
        grow(at + 2);
        bytes[at + (bigEndian_ ? 0 : 1)] = static_cast<uint8_t>(value >> 8);
        bytes[at + (bigEndian_ ? 1 : 0)] = static_cast<uint8_t>(value);
    }
    void put32(std::size_t at, uint32_t value)
    {
        put16(at + (bigEndian_ ? 0 : 2), static_cast<uint16_t>(value >> 16));
        put16(at + (bigEndian_ ? 2 : 0), static_cast<uint16_t>(value));
    }
    void add16(uint16_t value) { put16(bytes.size(), value); }
    void add32(uint32_t value) { put32(bytes.size(), value); }
    void addText(const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end() + 1); }
    // "II" or "MM", 42 and the offset of IFD0.
    void addHeader(uint32_t ifd0)
    {
        bytes.push_back(bigEndian_ ? 'M' : 'I');
        bytes.push_back(bigEndian_ ? 'M' : 'I');
        add16(42);
        add32(ifd0);
    }
    // One 12-byte IFD entry; `value` is the whole value field as a LONG.
    void addEntry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
    {
        add16(tag);
        add16(type);
        add32(count);
        add32(value);
    }
    // An entry holding one SHORT, left-justified in its value field.
    void addShortEntry(uint16_t tag, uint16_t value)
    {
        add16(tag);
        add16(3);
        add32(1);
        add16(value);
        add16(0);
    }

    std::vector<uint8_t> bytes;

private:
    void grow(std::size_t size)
    {
        if (bytes.size() < size)
            bytes.resize(size);
    }
    bool bigEndian_;
};

// Where things sit in PhoneExif's block.
struct PhoneExifLayout {
    static constexpr std::size_t kIfd0 = 8;
    static constexpr std::size_t kOrientationEntry = kIfd0 + 2 + 2 * 12;  // third entry of IFD0
    static constexpr std::size_t kOrientationEnd = kOrientationEntry + 12;
    static constexpr std::size_t kNextIfd = kIfd0 + 2 + 4 * 12;
    static constexpr std::size_t kGpsIfd = kNextIfd + 4;
    static constexpr std::size_t kData = kGpsIfd + 2 + 2 * 12 + 4;
};

inline const std::string kPhoneMake = "PhoneMaker";
inline const std::string kPhoneModel = "Pocket 12";

// An EXIF TIFF block like a phone's: IFD0 with Make, Model, Orientation and a pointer to a
// GPS IFD holding the latitude, the texts and numbers stored after the IFDs.
inline std::vector<uint8_t> PhoneExif(bool bigEndian, uint16_t orientation)
{
    using Layout = PhoneExifLayout;
    constexpr uint16_t kAscii = 2, kLong = 4, kRational = 5;
    const uint32_t make = Layout::kData;
    const uint32_t model = make + static_cast<uint32_t>(kPhoneMake.size() + 1);
    const uint32_t latitude = model + static_cast<uint32_t>(kPhoneModel.size() + 1);

    TiffBytes tiff(bigEndian);
    tiff.addHeader(Layout::kIfd0);
    tiff.add16(4);
    tiff.addEntry(0x010F, kAscii, static_cast<uint32_t>(kPhoneMake.size() + 1), make);
    tiff.addEntry(0x0110, kAscii, static_cast<uint32_t>(kPhoneModel.size() + 1), model);
    tiff.addShortEntry(0x0112, orientation);
    tiff.addEntry(0x8825, kLong, 1, Layout::kGpsIfd);
    tiff.add32(0);
    tiff.add16(2);
    tiff.addEntry(0x0001, kAscii, 2, bigEndian ? 0x4E000000u : 0x0000004Eu);  // "N"
    tiff.addEntry(0x0002, kRational, 3, latitude);
    tiff.add32(0);
    tiff.addText(kPhoneMake);
    tiff.addText(kPhoneModel);
    for (const uint32_t part : {35u, 1u, 41u, 1u, 2130u, 100u})  // 35 deg 41' 21.30"
        tiff.add32(part);
    return tiff.bytes;
}

// The capture date that DatedPhoneExif holds.
inline constexpr const char* kTakenAt[] = {"2024:05:01 12:34:56", "123", "+09:00"};

// A camera's block: IFD0 with Make, Artist, Orientation 6 and pointers to the EXIF sub-IFD
// (DateTimeOriginal, OffsetTimeOriginal, SubSecTimeOriginal of kTakenAt, a serial number) and
// to GPS data; everything but the orientation and the date must stay behind.
inline std::vector<uint8_t> DatedPhoneExif(bool bigEndian)
{
    constexpr uint16_t kAscii = 2, kLong = 4;
    const uint32_t exifIfd = 8 + 2 + 5 * 12 + 4, data = exifIfd + 2 + 4 * 12 + 4;
    TiffBytes tiff(bigEndian);
    std::vector<uint8_t> texts;
    // Texts of up to four bytes with their NUL sit in the value field, longer ones after the IFDs.
    const auto text = [&](uint16_t tag, const std::string& value) {
        const auto count = static_cast<uint32_t>(value.size() + 1);
        uint32_t inField = 0;
        for (std::size_t i = 0; i < value.size() && count <= 4; ++i)
            inField |= uint32_t{static_cast<uint8_t>(value[i])} << (bigEndian ? 24 - 8 * i : 8 * i);
        tiff.addEntry(tag, kAscii, count, count <= 4 ? inField : data + static_cast<uint32_t>(texts.size()));
        if (count > 4)
            texts.insert(texts.end(), value.begin(), value.end() + 1);
    };
    tiff.addHeader(8);
    tiff.add16(5);
    text(0x010F, kPhoneMake);
    text(0x013B, "Owner Name");
    tiff.addShortEntry(0x0112, 6);
    tiff.addEntry(0x8769, kLong, 1, exifIfd);
    tiff.addEntry(0x8825, kLong, 1, data);
    tiff.add32(0);
    tiff.add16(4);
    text(0x9003, kTakenAt[0]);
    text(0x9011, kTakenAt[2]);
    text(0x9291, kTakenAt[1]);
    text(0xA431, "SN0123456789");
    tiff.add32(0);
    tiff.bytes.insert(tiff.bytes.end(), texts.begin(), texts.end());
    return tiff.bytes;
}

// The tags of a big-endian block's IFD0 and of the sub-IFD it points to (0x8769), in order.
inline std::vector<uint16_t> ExifTagsOf(const std::vector<uint8_t>& tiff)
{
    const auto u16 = [&](std::size_t at) { return static_cast<uint16_t>(tiff.at(at) << 8 | tiff.at(at + 1)); };
    const auto u32 = [&](std::size_t at) { return uint32_t{u16(at)} << 16 | u16(at + 2); };
    std::vector<uint16_t> tags;
    for (std::size_t ifd = u32(4), next = 0; ifd != 0; ifd = next, next = 0)
        for (std::size_t i = 0, count = u16(ifd); i < count; ++i) {
            tags.push_back(u16(ifd + 2 + 12 * i));
            if (tags.back() == 0x8769)
                next = u32(ifd + 2 + 12 * i + 8);
        }
    return tags;
}

// The payload of a JPEG APP1 marker holding the block.
inline std::vector<uint8_t> ExifApp1(const std::vector<uint8_t>& tiff)
{
    const std::string prefix("Exif\0\0", 6);
    std::vector<uint8_t> payload;
    payload.reserve(prefix.size() + tiff.size());
    payload.insert(payload.end(), prefix.begin(), prefix.end());
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return payload;
}

} // namespace gustara::test
