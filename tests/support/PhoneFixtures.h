#pragma once

// HEIC, AVIF and WebP files made by the libraries' own encoders from the test photo, and what
// their own decoders (heif-convert, dwebp) make of them, for the tests of those formats.

#include "PngFixtures.h"
#include "TestFiles.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace gustara::test {

// dir/`name` made by `encoder` ("heif-enc -b 10", "cwebp -lossless", ...) from the test photo
// as a `width` x 48 PNG: 8-bit RGB, with alpha running over it, or 16-bit (`bits` 8 or 16).
inline std::string MakePhoto(const TempDir& dir, const std::string& name, const std::string& encoder, bool alpha = false,
                             int bits = 8, int32_t width = 64)
{
    const PictureRaster photo = MakeTestPicture(width, 48, 7);
    std::vector<uint8_t> samples;
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < width * (alpha ? 4 : 3); ++x)
            for (int byte = 0; byte < bits / 8; ++byte)  // the low byte of a 16-bit sample varies too
                samples.push_back(static_cast<uint8_t>((alpha ? (x % 4 == 3 ? x + y : photo.row(y)[x / 4 * 3 + x % 4])
                                                              : photo.row(y)[x]) ^ (byte * x)));
    const std::string source = StoreFile(dir, name + ".png",
        EncodePngRows({static_cast<uint32_t>(width), 48, bits, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB}, samples, [](png_structp, png_infop) {}));
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

// The bytes of a HEIF file whose primary image is a grid of rows x columns tiles declaring a canvas of
// canvasWidth x canvasHeight and a header size (ispe) of width x height. Its tiles are the
// coded picture of `heic` (heif-enc's output, a grid of one tile, unturned), each under an item of its
// own (`tileItems` of them, taken in turn); `tileBytes` claims another length for their data.
inline std::vector<uint8_t> HeifGrid(const std::vector<uint8_t>& heic, uint32_t rows, uint32_t columns, uint32_t canvasWidth,
                                     uint32_t canvasHeight, uint32_t width, uint32_t height, uint32_t tileItems = 1,
                                     std::optional<uint32_t> tileBytes = std::nullopt)
{
    using Bytes = std::vector<uint8_t>;
    const auto box = [](const char* type, const Bytes& body, int version = -1) {
        Bytes out(body.size() + (version < 0 ? 8 : 12));
        for (int i = 0; i < 4; ++i)
            out[i] = uint8_t(out.size() >> (24 - 8 * i)), out[4 + i] = uint8_t(type[i]);
        if (version >= 0)
            out[8] = uint8_t(version);
        std::copy(body.begin(), body.end(), out.end() - static_cast<std::ptrdiff_t>(body.size()));
        return out;
    };
    const auto be16 = [](Bytes& out, uint32_t value) { out.insert(out.end(), {uint8_t(value >> 8), uint8_t(value)}); };
    const auto at = [&](const char* type) { return std::search(heic.begin(), heic.end(), type, type + 4) - heic.begin() - 4; };
    const Bytes hevcConfig(heic.begin() + at("hvcC"), heic.begin() + at("hvcC") + heic[at("hvcC") + 3]);
    const Bytes tile(heic.begin() + at("mdat") + 8, heic.end());
    const Bytes tileSize(heic.begin() + at("ispe") + 12, heic.begin() + at("ispe") + 20);
    Bytes grid = {0, 0, uint8_t(rows - 1), uint8_t(columns - 1)}, headerSize;
    be16(grid, canvasWidth), be16(grid, canvasHeight), AppendBe32(headerSize, width), AppendBe32(headerSize, height);
    const auto meta = [&](uint32_t tileOffset) {
        Bytes info, references, associations, locations = {0x44, 0};
        be16(info, 1 + tileItems), be16(references, 1), be16(references, rows * columns);
        AppendBe32(associations, 1 + tileItems), be16(associations, 1), associations.insert(associations.end(), {1, 3});
        be16(locations, 1 + tileItems), be16(locations, 1), be16(locations, 1), be16(locations, 0), be16(locations, 1);
        AppendBe32(locations, 0), AppendBe32(locations, static_cast<uint32_t>(grid.size()));
        const Bytes gridInfo = box("infe", {0, 1, 0, 0, 'g', 'r', 'i', 'd', 0}, 2);
        info.insert(info.end(), gridInfo.begin(), gridInfo.end());
        for (uint32_t item = 2; item < 2 + tileItems; ++item) {
            const Bytes tileInfo = box("infe", {uint8_t(item >> 8), uint8_t(item), 0, 0, 'h', 'v', 'c', '1', 0}, 2);
            info.insert(info.end(), tileInfo.begin(), tileInfo.end());
            be16(associations, item), associations.insert(associations.end(), {2, 0x81, 2});
            be16(locations, item), be16(locations, 0), be16(locations, 0), be16(locations, 1);
            AppendBe32(locations, tileOffset), AppendBe32(locations, tileBytes.value_or(static_cast<uint32_t>(tile.size())));
        }
        for (uint32_t i = 0; i < rows * columns; ++i)
            be16(references, 2 + i % tileItems);
        Bytes properties = hevcConfig, body = box("hdlr", {0, 0, 0, 0, 'p', 'i', 'c', 't', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0);
        for (const Bytes& part : {box("ispe", tileSize, 0), box("ispe", headerSize, 0)})
            properties.insert(properties.end(), part.begin(), part.end());
        for (const Bytes& part : {box("pitm", {0, 1}, 0), box("iinf", info, 0), box("iref", box("dimg", references), 0),
                                  box("iprp", [&] { Bytes both = box("ipco", properties), map = box("ipma", associations, 0);
                                                    both.insert(both.end(), map.begin(), map.end()); return both; }()),
                                  box("idat", grid), box("iloc", locations, 1)})
            body.insert(body.end(), part.begin(), part.end());
        return box("meta", body, 0);
    };
    Bytes file = box("ftyp", {'h', 'e', 'i', 'c', 0, 0, 0, 0, 'm', 'i', 'f', '1', 'h', 'e', 'i', 'c'});
    const Bytes metaBox = meta(static_cast<uint32_t>(file.size() + meta(0).size() + 8)), data = box("mdat", tile);
    file.insert(file.end(), metaBox.begin(), metaBox.end());
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

} // namespace gustara::test
