// png-read-floor: decodes each PNG file named on the command line to 8-bit RGB with libpng's
// simplified reading interface and throws the pixels away: the least work of reading a PNG
// source, timed as part of the floor by compare-tools.sh. Exit status 1 when a file fails.

#include <png.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (png_image_begin_read_from_file(&image, argv[i]) == 0) {
            std::fprintf(stderr, "png-read-floor: %s: %s\n", argv[i], image.message);
            status = 1;
            continue;
        }
        image.format = PNG_FORMAT_RGB;
        std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
            std::fprintf(stderr, "png-read-floor: %s: %s\n", argv[i], image.message);
            status = 1;
        }
        png_image_free(&image);
    }
    return status;
}
