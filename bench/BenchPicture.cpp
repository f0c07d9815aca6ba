#include "BenchPicture.h"

#include "EngineError.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace gustara::bench {

namespace {

PictureRaster MakePicture()
{
    PictureRaster picture(kPictureWidth, kPictureHeight);
    uint32_t grain = 12345;
    for (int32_t y = 0; y < picture.height(); ++y) {
        uint8_t* pixel = picture.row(y);
        for (int32_t x = 0; x < picture.width(); ++x, pixel += 3) {
            grain = grain * 1664525u + 1013904223u;
            const int noise = static_cast<int>(grain >> 28) - 8;
            const double shade = std::sin(x / 310.0) * std::cos(y / 190.0);
            // A plate: a bright disc with a hard rim in the middle of the picture.
            const double dx = x - 3000.0, dy = y - 2000.0;
            const bool plate = dx * dx + dy * dy < 1500.0 * 1500.0;
            const double base = plate ? 170.0 : 90.0;
            const double red = base + 60.0 * shade + 25.0 * std::sin(x / 23.0 + y / 41.0) + noise;
            const double green = base * 0.8 + 50.0 * std::cos(x / 97.0) * shade + noise;
            const double blue = base * 0.6 + 40.0 * std::sin(y / 53.0) + noise / 2;
            pixel[0] = static_cast<uint8_t>(std::clamp(red, 0.0, 255.0));
            pixel[1] = static_cast<uint8_t>(std::clamp(green, 0.0, 255.0));
            pixel[2] = static_cast<uint8_t>(std::clamp(blue, 0.0, 255.0));
        }
    }
    return picture;
}

struct EncodeError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void EncodeErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<EncodeError*>(info->err)->jump, 1);
}

// Encodes into a buffer that libjpeg allocates; false when libjpeg failed.
bool Encode(const PictureRaster& picture, unsigned char** buffer, unsigned long* size)
{
    jpeg_compress_struct info;
    EncodeError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = EncodeErrorExit;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(picture.width());
    info.image_height = static_cast<JDIMENSION>(picture.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.row(static_cast<int32_t>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

std::vector<uint8_t> MakeJpeg()
{
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool encoded = Encode(BenchPicture(), &buffer, &size);
    std::vector<uint8_t> datastream;
    if (encoded)
        datastream.assign(buffer, buffer + size);
    std::free(buffer);
    if (!encoded)
        throw EngineError("the bench picture could not be encoded");
    return datastream;
}

} // namespace

const PictureRaster& BenchPicture()
{
    static const PictureRaster picture = MakePicture();
    return picture;
}

const std::vector<uint8_t>& BenchJpeg()
{
    static const std::vector<uint8_t> datastream = MakeJpeg();
    return datastream;
}

} // namespace gustara::bench
