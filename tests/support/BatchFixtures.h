#pragma once

// A drop that shows whether a batch with several pictures in flight writes exactly what
// one-at-a-time work writes, and a way to compare the folders they leave.

#include "PngFixtures.h"
#include "TestFiles.h"
#include "write/JpegWriter.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace gustara::test {

// Every file directly in the folder by name, with its bytes.
inline std::map<std::string, std::vector<uint8_t>> FilesIn(const std::filesystem::path& folder)
{
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
    return files;
}

// Writes the pictures of the drop into `folder` and returns their paths in drop order: a
// large picture first, so that later ones finish before it; a.png and a.jpg, which both want
// the name s-a.jpg; with `failing`, a picture that cannot be decoded in the middle, with
// pictures after it that must not be written.
inline std::vector<std::string> StoreOrderingDrop(const std::filesystem::path& folder, bool failing)
{
    auto store = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = (folder / name).string();
        WriteFileBytes(path, bytes);
        return path;
    };
    auto jpeg = [&](const std::string& name, int32_t width, int32_t height, uint32_t seed) {
        return store(name, EncodeJpeg(MakeTestPicture(width, height, seed), 95, false));
    };
    const PictureRaster small = MakeTestPicture(30, 20, 7);
    std::vector<png_byte> rows(small.data(), small.data() + small.byteCount());
    const PngHeader header{.width = 30, .height = 20};
    std::vector<std::string> drop = {
        jpeg("big.jpg", 2400, 1800, 1),
        store("a.png", EncodePngRows(header, rows, [](png_structp, png_infop) {})),
        jpeg("a.jpg", 300, 200, 2),
    };
    if (failing)
        drop.push_back(store("bad.jpg", {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}));
    for (int i = 0; i < 4; ++i)
        drop.push_back(jpeg("after" + std::to_string(i) + ".jpg", 64 + 40 * i, 48, static_cast<uint32_t>(10 + i)));
    return drop;
}

} // namespace gustara::test
