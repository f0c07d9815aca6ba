#pragma once

// JPEG files written by libjpeg itself, for what the reference tools cannot make.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace gustara::test {

// The samples to compress: `components` per pixel in `colourSpace`, row y at samples + y * stride.
struct JpegSamples {
    int width;
    int height;
    int components;
    J_COLOR_SPACE colourSpace;
    const uint8_t* samples;
    std::size_t stride;
};

using JpegCompressStep = std::function<void(jpeg_compress_struct&)>;

// The datastream libjpeg writes from `samples` at `quality`: `configure` changes libjpeg's
// defaults before compression starts, `writeMarkers` adds markers after the JFIF header; either
// may be empty. A libjpeg fault ends the test program.
inline std::vector<uint8_t> CompressJpeg(const JpegSamples& samples, int quality, const JpegCompressStep& configure,
                                         const JpegCompressStep& writeMarkers = {})
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(samples.width);
    info.image_height = static_cast<JDIMENSION>(samples.height);
    info.input_components = samples.components;
    info.in_color_space = samples.colourSpace;
    jpeg_set_defaults(&info);
    if (configure)
        configure(info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    if (writeMarkers)
        writeMarkers(info);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.samples + samples.stride * info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

} // namespace gustara::test
