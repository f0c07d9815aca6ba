#pragma once

// Bitmap files put together field by field, for the tests that read BMP sources.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace gustara::test {

// A colour of a bitmap's table, or a pixel the tests expect.
struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline void PrintTo(const Rgb& colour, std::ostream* out)
{
    *out << '(' << int(colour.r) << ',' << int(colour.g) << ',' << int(colour.b) << ')';
}

// A bitmap file: a 12-byte core header or a Windows header of `infoSize` bytes (masks inside
// it from 52 bytes on, otherwise right after it), the colour table, then the pixels at
// `pixelOffset`, right after the table unless set. Every field has a default, so that a
// designated initializer names only those a test cares about.
struct BmpFile {
    uint32_t infoSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks{};
    std::vector<Rgb> palette{};
    std::vector<uint8_t> pixels{};
    std::optional<uint32_t> pixelOffset{};

    std::vector<uint8_t> bytes() const
    {
        std::vector<uint8_t> out;
        const auto le = [&out](uint32_t value, int size) {
            for (int i = 0; i < size; ++i)
                out.push_back(uint8_t(value >> 8 * i));
        };
        const bool core = infoSize == 12;
        const uint32_t tableSize = uint32_t(palette.size()) * (core ? 3 : 4);
        const uint32_t masksAfter = infoSize < 52 ? uint32_t(masks.size()) * 4 : 0;
        const uint32_t offset = pixelOffset.value_or(14 + infoSize + masksAfter + tableSize);
        out = {'B', 'M'};
        le(offset + uint32_t(pixels.size()), 4), le(0, 4), le(offset, 4);
        if (core) {
            le(12, 4), le(width, 2), le(height, 2), le(planes, 2), le(bitCount, 2);
        } else {
            le(infoSize, 4), le(width, 4), le(height, 4), le(planes, 2), le(bitCount, 2), le(compression, 4);
            le(uint32_t(pixels.size()), 4), le(2835, 4), le(2835, 4), le(coloursUsed, 4), le(0, 4);
            for (uint32_t mask : masksAfter ? std::vector<uint32_t>{} : masks)
                le(mask, 4);
            out.resize(14 + infoSize);
        }
        for (uint32_t mask : masksAfter ? masks : std::vector<uint32_t>{})
            le(mask, 4);
        for (const Rgb& colour : palette) {
            out.insert(out.end(), {colour.b, colour.g, colour.r});
            if (!core)
                out.push_back(0);
        }
        out.resize(std::max<std::size_t>(out.size(), offset));
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

} // namespace gustara::test
