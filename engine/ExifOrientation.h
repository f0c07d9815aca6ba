#pragma once

#include "PictureMetadata.h"

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

// The TIFF block of an EXIF payload: what follows "Exif\0\0" when the payload starts with it,
// else the payload itself (PNG's eXIf chunk, most WebP EXIF chunks). Never fails.
std::span<const uint8_t> ExifTiffBlock(std::span<const uint8_t> payload);

// DateTimeOriginal (0x9003), SubSecTimeOriginal (0x9291) and OffsetTimeOriginal (0x9011) of
// the EXIF sub-IFD that IFD0 points to (0x8769), under the same rules as the orientation:
// only entries and values wholly inside the block, the first entry of a tag decides. A value
// that is no ASCII string of printable characters (up to its first NUL, at most 32 bytes) is
// left empty. Never fails, never reads outside `tiff`.
CaptureDate ReadExifCaptureDate(std::span<const uint8_t> tiff);

// A JPEG APP1 payload that carries nothing but `orientation` and, when not empty, the capture
// date: "Exif\0\0", a big-endian TIFF header, IFD0 with the orientation entry (left out when 1
// and a date is carried) and a pointer to an EXIF sub-IFD that holds the date's non-empty
// parts, no next IFD. Throws nothing but bad_alloc.
std::vector<uint8_t> MakeExifApp1(uint16_t orientation, const CaptureDate& date);

// MakeExifApp1 with the orientation alone.
std::vector<uint8_t> MakeOrientationExifApp1(uint16_t orientation);

} // namespace gustara
