#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace gustara {

// When the photo was taken, as its EXIF says: DateTimeOriginal ("YYYY:MM:DD HH:MM:SS"),
// SubSecTimeOriginal (digits) and OffsetTimeOriginal ("+09:00"), each without its closing NUL
// and empty when the source has none. Only printable ASCII is ever kept.
struct CaptureDate {
    std::string dateTime;
    std::string subSeconds;
    std::string offset;

    bool empty() const { return dateTime.empty() && subSeconds.empty() && offset.empty(); }
    bool operator==(const CaptureDate&) const = default;
};

// What viewers need besides the pixels to show a picture as its source was shown. The pixels
// are never turned or converted by it: it is read from the source and written into the output.
// Besides, whether the source held all of the picture, which is told to the user, not written.
struct PictureMetadata {
    // EXIF orientation 1..8: how a viewer turns or mirrors the stored picture (1: as stored).
    uint16_t orientation = 1;
    // The source's ICC colour profile, byte for byte; empty when it has none that fits RGB.
    std::vector<uint8_t> iccProfile;
    // Read from every source; written into the output only when the batch keeps dates.
    CaptureDate captureDate;
    // The file ended before the picture did; the reader filled in the rest (a JPEG's in grey).
    bool partMissing = false;
};

// True for the orientations 5..8, which viewers show turned a quarter: the picture is seen
// with its width and height swapped. Never fails.
constexpr bool TurnsQuarter(uint16_t orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// The largest profile one JPEG file can carry: 255 APP2 chunks of 65519 profile bytes each.
inline constexpr std::size_t kMaxIccProfileBytes = 255 * std::size_t{65519};

// True when `profile` looks like an ICC profile for RGB data (at least its 128-byte header,
// data colour space 'RGB ') that fits one JPEG file. Greyscale and CMYK profiles must not
// describe the RGB output, so readers keep only profiles that pass. Never fails.
bool IsRgbIccProfile(std::span<const uint8_t> profile);

} // namespace gustara
