#pragma once

// JPEG files written by libjpeg itself, for what the reference tools cannot make, and a walk
// over their marker segments.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <utility>
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

// One marker segment after SOI: its code, payload and where it lies in the datastream. A scan
// (SOS) ends where its entropy-coded data does, at the next marker that is not a restart;
// its payload is the scan header.
struct JpegSegment {
    int code;
    std::vector<uint8_t> payload;
    std::size_t begin;
    std::size_t end;
};

// The marker segments after SOI in order, up to EOI (included) or the first that does not parse.
inline std::vector<JpegSegment> JpegSegments(const std::vector<uint8_t>& jpeg)
{
    std::vector<JpegSegment> segments;
    std::size_t at = 2;  // after SOI
    while (at + 2 <= jpeg.size() && jpeg[at] == 0xFF) {
        const int code = jpeg[at + 1];
        if (code == JPEG_EOI) {
            segments.push_back({code, {}, at, at + 2});
            break;
        }
        if (at + 4 > jpeg.size())
            break;
        const std::size_t length = std::size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
        std::size_t end = at + 2 + length;
        if (length < 2 || end > jpeg.size())
            break;
        std::vector<uint8_t> payload(jpeg.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                     jpeg.begin() + static_cast<std::ptrdiff_t>(end));
        if (code == 0xDA)
            while (end + 1 < jpeg.size()
                   && !(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] < 0xD0 || jpeg[end + 1] > 0xD7)))
                ++end;
        segments.push_back({code, std::move(payload), at, end});
        at = end;
    }
    return segments;
}

// Where the first segment with `code` begins; the datastream's size when there is none.
inline std::size_t FindJpegSegment(const std::vector<uint8_t>& jpeg, int code)
{
    for (const JpegSegment& segment : JpegSegments(jpeg))
        if (segment.code == code)
            return segment.begin;
    return jpeg.size();
}

} // namespace gustara::test
