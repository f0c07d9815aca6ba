#pragma once

// HEIC, AVIF and WebP files made by the libraries' own encoders (heif-enc, cwebp) from the test
// photo, for the tests that read pictures as phones and the web save them.

#include "PngFixtures.h"
#include "TestFiles.h"

#include <string>
#include <vector>

namespace gustara::test {

// The test photo as a PNG for the encoders: 8-bit RGB, 8-bit RGBA with alpha running over the
// picture, or 16-bit RGB (which heif-enc stores with 10 bits).
enum class Source { Rgb, Rgba, Deep };

inline std::string WriteSource(const TempDir& dir, Source source)
{
    const PictureRaster photo = MakeTestPicture(64, 48, 7);
    const int channels = source == Source::Rgba ? 4 : 3;
    std::vector<uint8_t> samples;
    for (int32_t y = 0; y < photo.height(); ++y)
        for (int32_t x = 0; x < photo.width(); ++x)
            for (int c = 0; c < channels; ++c) {
                const uint8_t value = c < 3 ? photo.row(y)[3 * x + c] : static_cast<uint8_t>(4 * x + y);
                samples.push_back(value);
                if (source == Source::Deep)
                    samples.push_back(static_cast<uint8_t>(value ^ (x * 37)));  // low byte
            }
    const PngHeader header{64, 48, source == Source::Deep ? 16 : 8,
                       source == Source::Rgba ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB};
    return StoreFile(dir, "source.png", EncodePngRows(header, std::move(samples), [](png_structp, png_infop) {}));
}

// The reader a made file is read with.
using PhotoReader = PictureRaster (*)(const std::string&);

struct MadeFile {
    const char* name;
    Source source;
    const char* encode;  // %s: the source, then the file made
    PhotoReader read = nullptr;
};

// Makes `made.name` in `dir` with the encoder; the empty string when the tool fails.
inline std::string Make(const TempDir& dir, const MadeFile& made)
{
    const std::string source = WriteSource(dir, made.source);
    const std::string path = dir.file(made.name);
    std::string command = made.encode;
    command.replace(command.find("%s"), 2, ShellQuote(source));
    command.replace(command.find("%s"), 2, ShellQuote(path));
    return RunCommand(command + " >/dev/null 2>&1") == 0 ? path : std::string();
}

} // namespace gustara::test
