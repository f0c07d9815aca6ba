#pragma once

// PNG files written by libpng itself, for the tests that read PNG sources.

#include "TestFiles.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace gustara::test {

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
