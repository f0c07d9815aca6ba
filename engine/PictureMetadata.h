#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace gustara {

// What viewers need besides the pixels to show a picture as its source was shown. The pixels
// are never turned or converted by it: it is read from the source and written into the output.
// Besides, whether the source held all of the picture, which is told to the user, not written.
struct PictureMetadata {
    // EXIF orientation 1..8: how a viewer turns or mirrors the stored picture (1: as stored).
    uint16_t orientation = 1;
    // The source's ICC colour profile, byte for byte; empty when it has none that fits RGB.
    std::vector<uint8_t> iccProfile;
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
