#pragma once

// PNG files written by libpng itself, and chunk by chunk for what libpng will not write, for
// the tests that read PNG sources.

#include "TestFiles.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gustara::test {

inline const std::vector<uint8_t> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

inline void AppendBe32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

// Appends one whole chunk: length, type, data and the CRC of type and data, plus `crcError`
// (non-zero to break it).
inline void AppendPngChunk(std::vector<uint8_t>& png, std::string_view type, const std::vector<uint8_t>& data,
                           uint32_t crcError = 0)
{
    png.reserve(png.size() + 12 + data.size());
    AppendBe32(png, static_cast<uint32_t>(data.size()));
    const std::size_t typeAt = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    const uLong crc = crc32(0, png.data() + typeAt, static_cast<uInt>(png.size() - typeAt));
    AppendBe32(png, static_cast<uint32_t>(crc) + crcError);
}

// One chunk of a file: its type, its data and where its length field starts.
struct PngChunk {
    std::string type;
    std::vector<uint8_t> data;
    std::size_t begin = 0;
};

// The chunks after the signature, in order, up to the first that runs past the end.
inline std::vector<PngChunk> PngChunks(const std::vector<uint8_t>& png)
{
    std::vector<PngChunk> chunks;
    for (std::size_t at = kPngSignature.size(); at + 12 <= png.size();) {
        const std::size_t length =
            std::size_t{png[at]} << 24 | std::size_t{png[at + 1]} << 16 | std::size_t{png[at + 2]} << 8 | png[at + 3];
        if (length > png.size() - at - 12)
            break;
        const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
        chunks.push_back({std::string(data - 4, data), std::vector<uint8_t>(data, data + static_cast<std::ptrdiff_t>(length)), at});
        at += 12 + length;
    }
    return chunks;
}

// The IHDR of a PNG to write.
struct PngHeader {
    uint32_t width = 1;
    uint32_t height = 1;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
};

// Sets the chunks a test wants between IHDR and the picture data; a libpng error in it ends the
// write. It must hold no C++ object with a destructor across libpng calls.
using PngChunkSetter = std::function<void(png_structp, png_infop)>;

inline void QuietPngWarning(png_structp, png_const_charp) {}

// libpng's writer; `rows` points into rows prepared by the caller. False when libpng fails.
inline bool WritePngRows(std::FILE* file, const PngHeader* header, const PngChunkSetter* setChunks, png_bytepp rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, QuietPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, header->width, header->height, header->bitDepth, header->colourType,
                 header->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    (*setChunks)(png, info);
    png_write_info(png, info);
    if (header->interlaced)
        png_set_interlace_handling(png);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// The bytes of the PNG file libpng writes from `header`, the chunks `setChunks` sets and
// `packed`, the rows as stored one after another. A failed write fails the test.
inline std::vector<uint8_t> EncodePngRows(const PngHeader& header, std::vector<png_byte> packed,
                                          const PngChunkSetter& setChunks)
{
    std::vector<png_bytep> rows(header.height);
    for (uint32_t y = 0; y < header.height; ++y)
        rows[y] = packed.data() + y * (packed.size() / header.height);
    TempDir dir;
    const std::string path = dir.file("out.png");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(file);
    const bool written = WritePngRows(file, &header, &setChunks, rows.data());
    std::fclose(file);
    EXPECT_TRUE(written);
    return ReadFileBytes(path);
}

} // namespace gustara::test
