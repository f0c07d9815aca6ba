#include "read/PictureDimensions.h"

#include "read/GifReader.h"

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

// The next marker code as libjpeg finds it: bytes up to a 0xFF are skipped (libjpeg resyncs
// on corrupt data rather than failing), then fill bytes 0xFF, and a stuffed 0xFF00 is no
// marker. EOF at the end of the file.
int NextMarker(std::FILE* file)
{
    for (;;) {
        int code = std::fgetc(file);
        while (code != 0xFF && code != EOF)
            code = std::fgetc(file);
        while (code == 0xFF)
            code = std::fgetc(file);
        if (code != 0)
            return code;
    }
}

// Walks the marker segments up to the first frame header, as libjpeg does; a scan before it
// means no size.
std::optional<PictureDimensions> ProbeJpeg(std::FILE* file)
{
    std::array<uint8_t, 8> bytes{};
    if (!ReadBytes(file, bytes.data(), 2) || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return std::nullopt;
    for (;;) {
        const int marker = NextMarker(file);
        if (marker == EOF)
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

// Skips the data sub-blocks that follow an extension's label or an image's code size.
bool SkipSubBlocks(std::FILE* file)
{
    for (int size = std::fgetc(file); size != 0; size = std::fgetc(file))
        if (size == EOF || std::fseek(file, size, SEEK_CUR) != 0)
            return false;
    return true;
}

// The raster of the first image on the logical screen, as the reader grows it; records are
// walked as giflib walks them. A file without an image gives nothing.
std::optional<PictureDimensions> ProbeGif(std::FILE* file)
{
    std::array<uint8_t, 13> screen{};
    if (!ReadBytes(file, screen.data(), screen.size()) || screen[0] != 'G' || screen[1] != 'I' || screen[2] != 'F')
        return std::nullopt;
    if (screen[10] & 0x80 && std::fseek(file, 3L << ((screen[10] & 0x07) + 1), SEEK_CUR) != 0)
        return std::nullopt; // the global colour table
    int record = std::fgetc(file);
    while (record == '!') { // an extension: its label, then its sub-blocks
        if (std::fgetc(file) == EOF || !SkipSubBlocks(file))
            return std::nullopt;
        record = std::fgetc(file);
    }
    std::array<uint8_t, 8> image{};
    if (record != ',' || !ReadBytes(file, image.data(), image.size()))
        return std::nullopt;
    const auto field = [&](int at) { return static_cast<int>(LittleEndian(image.data() + at, 2)); };
    const GifCanvas canvas = CanvasOfFirstImage(static_cast<int>(LittleEndian(screen.data() + 6, 2)),
                                                static_cast<int>(LittleEndian(screen.data() + 8, 2)),
                                                field(0), field(2), field(4), field(6));
    return PictureDimensions{canvas.width, canvas.height};
}

} // namespace gustara
