#pragma once

// HEIC, AVIF and WebP files made by the libraries' own encoders from the test photo, and what
// their own decoders (heif-convert, dwebp) make of them, for the tests of those formats.

#include "PngFixtures.h"
#include "TestFiles.h"

#include <string>

namespace gustara::test {

// dir/`name` made by `encoder` ("heif-enc -b 10", "cwebp -lossless", ...) from the test photo
// as a 64 x 48 PNG: 8-bit RGB, with alpha running over it, or 16-bit (`bits` 8 or 16).
inline std::string MakePhoto(const TempDir& dir, const std::string& name, const std::string& encoder, bool alpha = false,
                             int bits = 8)
{
    const PictureRaster photo = MakeTestPicture(64, 48, 7);
    std::vector<uint8_t> samples;
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 64 * (alpha ? 4 : 3); ++x)
            for (int byte = 0; byte < bits / 8; ++byte)  // the low byte of a 16-bit sample varies too
                samples.push_back(static_cast<uint8_t>((alpha ? (x % 4 == 3 ? x + y : photo.row(y)[x / 4 * 3 + x % 4])
                                                              : photo.row(y)[x]) ^ (byte * x)));
    const std::string source = StoreFile(dir, name + ".png",
        EncodePngRows({64, 48, bits, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB}, samples, [](png_structp, png_infop) {}));
    EXPECT_EQ(RunCommand(encoder + " " + ShellQuote(source) + " -o " + ShellQuote(dir.file(name)) + " >/dev/null 2>&1"), 0);
    return dir.file(name);
}

// The PNG that heif-convert or (for a .webp) dwebp writes of `path`, as dir/decoded.png.
inline std::string DecodedByTheLibrary(const TempDir& dir, const std::string& path)
{
    const bool webp = path.ends_with(".webp");
    EXPECT_EQ(RunCommand((webp ? "dwebp " : "heif-convert --quiet ") + ShellQuote(path) + (webp ? " -o " : " ")
                         + ShellQuote(dir.file("decoded.png")) + " >/dev/null 2>&1"), 0);
    return dir.file("decoded.png");
}

} // namespace gustara::test
