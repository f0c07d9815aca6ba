#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace gustara {

// The orientation (tag 0x0112) of an EXIF TIFF block: the bytes that start with "II" or "MM",
// as a PNG eXIf chunk holds them. Only IFD0 is read, never a chained IFD, and only entries
// that lie wholly inside the block. Returns 1 (as stored) when the block is malformed, has no
// orientation, or its orientation is not a single SHORT of 1..8. Never fails, never reads
// outside `tiff`.
uint16_t ReadExifOrientation(std::span<const uint8_t> tiff);

// The same for the payload of a JPEG APP1 marker: "Exif\0\0" followed by the TIFF block.
// Returns nullopt for any other APP1 payload (XMP and the like). Never fails.
std::optional<uint16_t> ReadExifApp1Orientation(std::span<const uint8_t> app1);

// A JPEG APP1 payload that carries nothing but `orientation`: "Exif\0\0", a big-endian TIFF
// header and IFD0 with the one entry and no next IFD. Throws nothing but bad_alloc.
std::vector<uint8_t> MakeOrientationExifApp1(uint16_t orientation);

} // namespace gustara
