#pragma once

// Bitmap files put together field by field, for the tests that read BMP sources.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
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

// Little-endian bytes, appended field by field.
class LeBytes {
public:
    LeBytes& u8(std::initializer_list<uint8_t> values)
    {
        data_.insert(data_.end(), values);
        return *this;
    }
    LeBytes& u16(uint32_t value) { return u8({uint8_t(value), uint8_t(value >> 8)}); }
    LeBytes& u32(uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    LeBytes& append(const std::vector<uint8_t>& bytes)
    {
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    LeBytes& zeros(std::size_t count)
    {
        data_.resize(data_.size() + count);
        return *this;
    }
    std::size_t size() const { return data_.size(); }
    const std::vector<uint8_t>& data() const { return data_; }

private:
    std::vector<uint8_t> data_;
};

// A bitmap file put together field by field; the pixel offset is right after the colour
// table unless `pixelOffset` says otherwise.
struct BmpFile {
    uint32_t infoSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    // Inside a header of 52 bytes or more, otherwise right after it.
    std::vector<uint32_t> masks;
    std::vector<Rgb> palette;
    std::vector<uint8_t> pixels;
    std::optional<uint32_t> pixelOffset;
    char signature[2] = {'B', 'M'};

    std::vector<uint8_t> bytes() const
    {
        LeBytes info;
        if (infoSize == 12) {
            info.u32(12).u16(width).u16(height).u16(planes).u16(bitCount);
        } else {
            LeBytes fields;
            fields.u32(infoSize).u32(width).u32(height).u16(planes).u16(bitCount).u32(compression);
            fields.u32(pixels.size()).u32(2835).u32(2835).u32(coloursUsed).u32(0);
            for (uint32_t mask : infoSize >= 52 ? masks : std::vector<uint32_t>{})
                fields.u32(mask);
            std::vector<uint8_t> all = fields.data();
            all.resize(infoSize);
            info.append(all);
        }
        if (infoSize < 52)
            for (uint32_t mask : masks)
                info.u32(mask);
        for (const Rgb& colour : palette) {
            info.u8({colour.b, colour.g, colour.r});
            if (infoSize != 12)
                info.u8({0});
        }
        const uint32_t offset = pixelOffset.value_or(static_cast<uint32_t>(14 + info.size()));
        LeBytes file;
        file.u8({uint8_t(signature[0]), uint8_t(signature[1])});
        file.u32(static_cast<uint32_t>(offset + pixels.size())).u32(0).u32(offset);
        file.append(info.data());
        if (offset > file.size())
            file.zeros(offset - file.size());
        file.append(pixels);
        return file.data();
    }
};

} // namespace gustara::test
