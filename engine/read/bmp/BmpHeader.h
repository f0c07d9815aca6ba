#pragma once

#include "read/bmp/BmpSource.h"

#include <array>
#include <cstdint>

namespace gustara {

// Colour table of a bitmap file as red, green, blue. Indices that the file does not list
// stay black, so every 8-bit index has a colour and lookups never leave the table.
using BmpPalette = std::array<std::array<uint8_t, 3>, 256>;

// One colour channel of a 16- or 32-bit pixel: the bits under its mask widened to 8 bits.
struct BmpChannel {
    unsigned shift = 0;
    uint32_t valueMask = 0;
    std::array<uint8_t, 256> widened{};

    uint8_t sample(uint32_t pixel) const { return widened[(pixel >> shift) & valueMask]; }
};

// Builds the channel for a mask. A channel of n <= 8 bits is widened by repeating its bits
// (5-bit 31 gives 255, 1-bit 1 gives 255); of a wider one only the top 8 bits are kept; an
// empty mask gives 0. Throws EngineError for a mask whose bits are not contiguous.
BmpChannel MakeBmpChannel(uint32_t mask);

enum class BmpEncoding { Plain, Rle8, Rle4 };

// A run of bytes in the file, from its start; size 0 when there is none.
struct BmpByteRange {
    uint64_t offset = 0;
    uint64_t size = 0;
};

// The pixel data of a bitmap file as its checked headers describe it.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;
    // Rows are stored from the top (negative height in the file) rather than from the bottom.
    bool topDown = false;
    int bitsPerPixel = 0;
    BmpEncoding encoding = BmpEncoding::Plain;
    // Filled for 1, 2, 4 and 8 bits per pixel.
    BmpPalette palette{};
    // Red, green, blue; filled for 16 and 32 bits per pixel.
    std::array<BmpChannel, 3> channels{};
    // The colour profile embedded by a V5 header, when it lies inside the file after the headers
    // and the colour table and is no larger than one JPEG file can carry.
    BmpByteRange embeddedProfile;

    // Bytes of one stored row of uncompressed data, padded to 4 bytes.
    uint64_t rowBytes() const;
};

// Reads and checks the file header, the information header (the 12-byte form, the OS/2 2.x
// forms of 16 to 64 bytes, and the Windows forms of 40 bytes or more), the channel masks and
// the colour table, notes where an embedded colour profile lies (a profile outside the file,
// overlapping the headers or too large is left out, never refused), and leaves the source at
// the pixel data. The picture size passes CheckPictureSize before anything else is read.
// Throws EngineError for a missing "BM" signature, a plane count other than 1, a bit count or
// compression that cannot be decoded, a pixel data offset outside the file or inside the
// headers, a paletted picture without a colour table, or a file that ends early.
BmpLayout ReadBmpLayout(BmpSource& source);

} // namespace gustara
