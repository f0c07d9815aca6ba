#include "read/GifReader.h"

#include "read/PictureFile.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace gustara {

namespace {

constexpr std::string_view kGifFormat = "GIF";

// The decoder reads through giflib's input callback from a file that the handle owns along
// with the decoder, so that OpenForReading's reasons and the read errors are the same as the
// other readers'.
std::FILE* FileOf(const GifFileType* gif)
{
    return static_cast<std::FILE*>(gif->UserData);
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        std::FILE* file = FileOf(gif);
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
        std::fclose(file);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

int ReadFromFile(GifFileType* gif, GifByteType* bytes, int count)
{
    return static_cast<int>(std::fread(bytes, 1, static_cast<size_t>(count), FileOf(gif)));
}

// Whether the file has ended or failed to read; giflib's codes for a short read also stand
// for flaws found while the file goes on.
bool ReadStopped(std::FILE* file)
{
    return std::feof(file) || std::ferror(file);
}

// giflib's error codes by what the user can do about them; a failed read is told apart from
// the end of the file by the file's error flag.
[[noreturn]] void ThrowGifError(int code, std::FILE* file)
{
    switch (code) {
    case D_GIF_ERR_READ_FAILED:
        // Also giflib's refusal of an LZW code size over 8 bits.
        if (!ReadStopped(file))
            ThrowReadFailure(ReadFailure::Damaged, kGifFormat, Text(Message::DetailGifCodeSize));
        ThrowShortRead(file, kGifFormat);
    case D_GIF_ERR_EOF_TOO_SOON:
        if (!ReadStopped(file))
            ThrowReadFailure(ReadFailure::Damaged, kGifFormat, Text(Message::DetailGifDataEndsEarly));
        ThrowShortRead(file, kGifFormat);
    case D_GIF_ERR_NOT_GIF_FILE:
        ThrowReadFailure(ReadFailure::NotThisFormat, kGifFormat);
    case D_GIF_ERR_NOT_ENOUGH_MEM:
        ThrowReadFailure(ReadFailure::OutOfMemory, kGifFormat);
    default:  // giflib's wording names no more than its code does
        ThrowReadFailure(ReadFailure::Damaged, kGifFormat);
    }
}

void Check(const GifFileType* gif, int status)
{
    if (status == GIF_ERROR)
        ThrowGifError(gif->Error, FileOf(gif));
}

GifHandle OpenGif(const std::string& path)
{
    PictureFile file = OpenForReading(path);
    int error = 0;
    GifHandle gif(DGifOpen(file.get(), ReadFromFile, &error));
    if (!gif)
        ThrowGifError(error, file.get());
    file.handle.release();  // now closed with the decoder
    return gif;
}

void SkipExtension(GifFileType* gif)
{
    int code = 0;
    GifByteType* block = nullptr;
    Check(gif, DGifGetExtension(gif, &code, &block));
    while (block)
        Check(gif, DGifGetExtensionNext(gif, &block));
}

// Reads records up to the next image descriptor, which it reads into gif->Image.
// Returns false at the trailer.
bool NextImage(GifFileType* gif)
{
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        Check(gif, DGifGetRecordType(gif, &type));
        switch (type) {
        case IMAGE_DESC_RECORD_TYPE:
            Check(gif, DGifGetImageDesc(gif));
            return true;
        case EXTENSION_RECORD_TYPE:
            SkipExtension(gif);
            break;
        case TERMINATE_RECORD_TYPE:
            return false;
        default:
            ThrowReadFailure(ReadFailure::Damaged, kGifFormat, Text(Message::DetailGifUnknownRecord));
        }
    }
}

// Reads past the compressed data of the image just described, block by block, without
// decoding it.
void SkipImageData(GifFileType* gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    Check(gif, DGifGetCode(gif, &codeSize, &block));
    while (block)
        Check(gif, DGifGetCodeNext(gif, &block));
}

// Decodes the pixels of the image just described, calling onRow(y, indices) for every
// row, y counted from the image's top; interlaced images arrive in their four passes.
// Images larger than any picture the engine accepts are refused before decoding.
template <typename RowHandler>
void DecodeImage(GifFileType* gif, RowHandler&& onRow)
{
    const GifImageDesc& image = gif->Image;
    if (image.Width <= 0 || image.Height <= 0) {
        SkipImageData(gif); // nothing to draw, but the (empty) data blocks still stand there
        return;
    }
    CheckPictureSize(image.Width, image.Height);
    std::vector<GifPixelType> line(static_cast<size_t>(image.Width));
    auto decodeRow = [&](int y) {
        Check(gif, DGifGetLine(gif, line.data(), image.Width));
        onRow(y, line.data());
    };
    if (!image.Interlace) {
        for (int y = 0; y < image.Height; ++y)
            decodeRow(y);
        return;
    }
    constexpr std::array<int, 4> passStart{0, 4, 2, 1};
    constexpr std::array<int, 4> passStep{8, 8, 4, 2};
    for (size_t pass = 0; pass < passStart.size(); ++pass)
        for (int y = passStart[pass]; y < image.Height; y += passStep[pass])
            decodeRow(y);
}

// RGB of all 256 possible indices. Indices beyond the colour map's entries are black.
using ColourTable = std::array<std::array<uint8_t, 3>, 256>;

ColourTable ColoursOf(const ColorMapObject* map)
{
    if (!map)
        ThrowReadFailure(ReadFailure::Damaged, kGifFormat, Text(Message::DetailNoColourTable));
    ColourTable table{};
    const int count = std::min(map->ColorCount, static_cast<int>(table.size()));
    for (int index = 0; index < count; ++index)
        table[index] = {map->Colors[index].Red, map->Colors[index].Green, map->Colors[index].Blue};
    return table;
}

// Where the first image lands in the raster, how large the raster is, and how much of the
// image shows in it.
struct FramePlacement {
    GifCanvas canvas;
    int visibleWidth = 0;  // columns of the image inside the raster, from its left edge
    int visibleHeight = 0; // rows of the image inside the raster, from its top edge
    bool coversRaster = false;
};

FramePlacement PlaceFrame(const GifFileType* gif)
{
    const GifImageDesc& image = gif->Image;
    const int imageWidth = std::max(image.Width, 0);
    const int imageHeight = std::max(image.Height, 0);
    FramePlacement placement;
    placement.canvas = CanvasOfFirstImage(gif->SWidth, gif->SHeight, image.Left, image.Top, imageWidth, imageHeight);
    const GifCanvas& canvas = placement.canvas;
    placement.visibleWidth = static_cast<int>(std::clamp<int64_t>(canvas.width - canvas.left, 0, imageWidth));
    placement.visibleHeight = static_cast<int>(std::clamp<int64_t>(canvas.height - canvas.top, 0, imageHeight));
    placement.coversRaster = canvas.left == 0 && canvas.top == 0 && imageWidth == canvas.width
        && imageHeight == canvas.height;
    return placement;
}

} // namespace

GifCanvas CanvasOfFirstImage(int screenWidth, int screenHeight, int left, int top, int imageWidth, int imageHeight)
{
    GifCanvas canvas;
    const bool fillsScreen = imageWidth == screenWidth && imageHeight == screenHeight;
    canvas.left = fillsScreen ? 0 : left;
    canvas.top = fillsScreen ? 0 : top;
    const bool screenFrames = screenWidth > 0 && screenHeight > 0 && imageWidth <= screenWidth
        && imageHeight <= screenHeight;
    canvas.width = screenWidth;
    canvas.height = screenHeight;
    if (!screenFrames) {
        canvas.width = std::max(canvas.width, int64_t{canvas.left} + imageWidth);
        canvas.height = std::max(canvas.height, int64_t{canvas.top} + imageHeight);
    }
    return canvas;
}

PictureRaster ReadGif(const std::string& path)
{
    GifHandle gif = OpenGif(path);
    if (!NextImage(gif.get()))
        return PictureRaster();
    const ColourTable colours = ColoursOf(gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap);
    const FramePlacement placement = PlaceFrame(gif.get());
    const GifCanvas& canvas = placement.canvas;
    CheckPictureSize(canvas.width, canvas.height);
    PictureRaster picture(static_cast<int32_t>(canvas.width), static_cast<int32_t>(canvas.height));
    if (!placement.coversRaster)
        picture.fill(255, 255, 255);
    DecodeImage(gif.get(), [&](int y, const GifPixelType* indices) {
        if (y >= placement.visibleHeight || placement.visibleWidth == 0)
            return;
        uint8_t* out = picture.row(canvas.top + y) + size_t{3} * static_cast<size_t>(canvas.left);
        for (int x = 0; x < placement.visibleWidth; ++x, out += 3) {
            const auto& colour = colours[indices[x]];
            out[0] = colour[0];
            out[1] = colour[1];
            out[2] = colour[2];
        }
    });
    return picture;
}

int CountGifImages(const std::string& path, int enough)
{
    GifHandle gif = OpenGif(path);
    int count = 0;
    while (count < enough && NextImage(gif.get())) {
        // The data is skipped, not decoded: a count costs what reading the file costs.
        if (++count < enough)
            SkipImageData(gif.get());
    }
    return count;
}

} // namespace gustara
