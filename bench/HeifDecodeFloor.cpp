// heif-decode-floor: decodes the primary image of each HEIF file named on the command line to
// 8-bit interleaved RGB with libheif and throws the pixels away: the least work of reading a
// HEIC or AVIF source, timed as part of the floor by phone-formats-ratios.sh (heif-convert can
// only write PNG, JPEG or Y4M, each more work than the decode). Exit status 1 when a file fails.

#include <libheif/heif.h>

#include <cstdio>

int main(int argc, char** argv)
{
    heif_init(nullptr);
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        heif_context* context = heif_context_alloc();
        heif_image_handle* handle = nullptr;
        heif_image* image = nullptr;
        heif_error error = heif_context_read_from_file(context, argv[i], nullptr);
        if (error.code == heif_error_Ok)
            error = heif_context_get_primary_image_handle(context, &handle);
        if (error.code == heif_error_Ok)
            error = heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
        if (error.code != heif_error_Ok) {
            std::fprintf(stderr, "heif-decode-floor: %s: %s\n", argv[i], error.message);
            status = 1;
        }
        heif_image_release(image);
        heif_image_handle_release(handle);
        heif_context_free(context);
    }
    heif_deinit();
    return status;
}
