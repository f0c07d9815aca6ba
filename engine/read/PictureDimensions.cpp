#include "read/PictureDimensions.h"

#include <array>

namespace gustara {

namespace {

bool ReadBytes(std::FILE* file, uint8_t* bytes, std::size_t count)
{
    return std::fread(bytes, 1, count, file) == count;
}

uint32_t BigEndian(const uint8_t* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

uint32_t LittleEndian(const uint8_t* bytes, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

} // namespace

// Walks the marker segments up to the first frame header; a scan before it means no size.
std::optional<PictureDimensions> ProbeJpeg(std::FILE* file)
{
    std::array<uint8_t, 8> bytes{};
    if (!ReadBytes(file, bytes.data(), 2) || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return std::nullopt;
    for (;;) {
        int marker = 0xFF;
        while (marker == 0xFF) // fill bytes and the marker's own prefix
            if ((marker = std::fgetc(file)) == EOF)
                return std::nullopt;
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        if (marker == 0xD9 || marker == 0xDA || !ReadBytes(file, bytes.data(), 2))
            return std::nullopt;
        const long length = static_cast<long>(BigEndian(bytes.data(), 2));
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!frame) {
            if (length < 2 || std::fseek(file, length - 2, SEEK_CUR) != 0)
                return std::nullopt;
            continue;
        }
        if (!ReadBytes(file, bytes.data(), 5))
            return std::nullopt;
        const bool progressive = (marker & 0x03) == 0x02; // SOF2, SOF6, SOF10, SOF14
        return PictureDimensions{BigEndian(bytes.data() + 3, 2), BigEndian(bytes.data() + 1, 2), progressive};
    }
}

std::optional<PictureDimensions> ProbePng(std::FILE* file)
{
    std::array<uint8_t, 24> bytes{};
    if (!ReadBytes(file, bytes.data(), bytes.size()) || BigEndian(bytes.data() + 12, 4) != 0x49484452) // "IHDR"
        return std::nullopt;
    return PictureDimensions{BigEndian(bytes.data() + 16, 4), BigEndian(bytes.data() + 20, 4)};
}

std::optional<PictureDimensions> ProbeBmp(std::FILE* file)
{
    std::array<uint8_t, 26> bytes{};
    if (!ReadBytes(file, bytes.data(), 18) || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const bool core = LittleEndian(bytes.data() + 14, 4) == 12; // 16-bit sides
    if (!ReadBytes(file, bytes.data() + 18, core ? 4 : 8))
        return std::nullopt;
    if (core)
        return PictureDimensions{LittleEndian(bytes.data() + 18, 2), LittleEndian(bytes.data() + 20, 2)};
    const auto height = static_cast<int32_t>(LittleEndian(bytes.data() + 22, 4)); // negative: top-down
    return PictureDimensions{static_cast<int32_t>(LittleEndian(bytes.data() + 18, 4)),
                             height < 0 ? -static_cast<int64_t>(height) : height};
}

// The logical screen, which the decoder's raster has unless an image reaches past it.
std::optional<PictureDimensions> ProbeGif(std::FILE* file)
{
    std::array<uint8_t, 10> bytes{};
    if (!ReadBytes(file, bytes.data(), bytes.size()) || bytes[0] != 'G' || bytes[1] != 'I' || bytes[2] != 'F')
        return std::nullopt;
    return PictureDimensions{LittleEndian(bytes.data() + 6, 2), LittleEndian(bytes.data() + 8, 2)};
}

} // namespace gustara
