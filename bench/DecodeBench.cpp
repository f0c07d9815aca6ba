#include "BenchPicture.h"

#include <benchmark/benchmark.h>

#include <csetjmp>
#include <string>
#include <cstdio>
#include <jpeglib.h>

namespace gustara::bench {
namespace {

struct DecodeError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void DecodeErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<DecodeError*>(info->err)->jump, 1);
}

// Decodes the datastream with the floating-point inverse DCT into `picture`, which has its
// size already; false when libjpeg failed.
bool Decode(const std::vector<uint8_t>& datastream, PictureRaster& picture)
{
    jpeg_decompress_struct info;
    DecodeError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = DecodeErrorExit;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, datastream.data(), static_cast<unsigned long>(datastream.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    info.dct_method = JDCT_FLOAT;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.row(static_cast<int32_t>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void BM_DecodeJpeg24MP(benchmark::State& state)
{
    const std::vector<uint8_t>& datastream = BenchJpeg();
    PictureRaster picture(kPictureWidth, kPictureHeight);
    for (auto _ : state) {
        if (!Decode(datastream, picture)) {
            state.SkipWithError("libjpeg could not decode the bench picture");
            break;
        }
        benchmark::DoNotOptimize(picture.data());
    }
    state.SetLabel(std::to_string(datastream.size()) + " bytes of JPEG");
}
BENCHMARK(BM_DecodeJpeg24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace gustara::bench
