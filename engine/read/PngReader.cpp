#include "read/PngReader.h"

#include "read/AlphaOnWhite.h"
#include "ExifOrientation.h"
#include "read/PictureFile.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

namespace gustara {

namespace {

// Sides above this are refused by libpng before it sizes its row buffers; the picture's
// total size is capped separately by CheckPictureSize.
constexpr png_uint_32 kMaxSide = png_uint_32{1} << 20;
// Largest ancillary chunk (text, profile) libpng may inflate into memory.
constexpr png_alloc_size_t kMaxChunkBytes = 8 * 1024 * 1024;
// Text chunks, which nothing here uses, are skipped unread: libpng would inflate each one
// (up to kMaxChunkBytes), so a file of many small compressed ones would cost seconds per
// megabyte. Names of 4 letters, each followed by a 0.
constexpr png_byte kSkippedChunks[] = "tEXt\0zTXt\0iTXt";
// libpng expresses gamma as value x 100000; the display exponent is 2.2.
constexpr png_fixed_point kDisplayGamma = 220000;

// Follows the chunk layout of the bytes libpng reads, for the two rules libpng itself only
// warns about: the first chunk must be IHDR, and a tRNS chunk may hold at most 256 entries;
// and for the CRC of iCCP chunks: libpng warns when it fails but keeps the profile.
struct ChunkWatch {
    uint64_t untilHeader = 8; // bytes left before the next chunk header; the signature first
    png_byte header[8] = {};
    unsigned headerFill = 0;
    bool sawChunk = false;
    bool inProfileChunk = false;
    uLong profileCrc = 0;       // of the current iCCP chunk's type and data so far
    uint32_t storedCrc = 0;     // its CRC bytes read so far
    bool profileCrcFailed = false;
    bool sawSignature = false;  // the first read, of the signature, is done
};

// The metadata chunks libpng kept, pointing into its info struct (valid until it is destroyed);
// null and 0 for a chunk that is absent or that libpng dropped as malformed.
struct PngMetadataChunks {
    png_bytep exif = nullptr;
    png_uint_32 exifLength = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileLength = 0;
};

constexpr std::string_view kPngFormat = "PNG";

// One decode: the file and libpng's structures, released on every way out, and everything
// libpng's callbacks reach. Each step below is a plain function that arms setjmp and returns
// false on a fatal error; check() turns that into the reason.
struct PngDecoder {
    PictureFile file;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ChunkWatch chunks;
    std::jmp_buf jump;
    // What the reader's own callbacks found before libpng failed; Damaged unless they did.
    ReadFailure cause = ReadFailure::Damaged;
    char detail[200] = {};  // what the reader's own checks found; libpng's wording never goes here

    // Opens the file through OpenForReading and throws as it does.
    explicit PngDecoder(const std::string& path) : file(OpenForReading(path)) {}
    PngDecoder(const PngDecoder&) = delete;
    PngDecoder& operator=(const PngDecoder&) = delete;
    ~PngDecoder()
    {
        if (png)
            png_destroy_read_struct(&png, &info, nullptr);
    }

    // Throws EngineError with the reason of the failed step unless it `succeeded`.
    void check(bool succeeded) const;
};

// The decoded picture's shape once libpng's transformations are set up.
struct PngLayout {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool hasAlpha = false;   // rows come as RGBA and are flattened onto white
    bool interlaced = false; // only relevant with alpha: then the passes are placed by hand
};

// The reader's own findings reach png_error as texts of the message table; libpng's own
// wording ("IHDR: CRC error") says nothing to a user and is dropped.
bool IsOwnDetail(png_const_charp text)
{
    for (const Message own : {Message::DetailPngFirstChunk, Message::DetailPngTransparency, Message::DetailPngRowForm})
        if (Text(own).data() == text)
            return true;
    return false;
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp text)
{
    auto* decoder = static_cast<PngDecoder*>(png_get_error_ptr(png));
    if (decoder->cause == ReadFailure::Damaged && IsOwnDetail(text))
        std::snprintf(decoder->detail, sizeof decoder->detail, "%s", text);
    std::longjmp(decoder->jump, 1);
}

// Warnings are dropped, but a side over the limit set below is only told by one: libpng then
// fails with "Invalid IHDR data" alone.
void NotePngWarning(png_structp png, png_const_charp text)
{
    auto* decoder = static_cast<PngDecoder*>(png_get_error_ptr(png));
    if (std::strstr(text, "exceeds user limit"))
        decoder->cause = ReadFailure::TooLarge;
}

// Feeds the bytes of an iCCP chunk after its header (`length` at most what is left of it)
// into its CRC and compares at the chunk's end.
void WatchProfileCrc(ChunkWatch& watch, png_const_bytep data, size_t length)
{
    const uint64_t dataLeft = watch.untilHeader > 4 ? watch.untilHeader - 4 : 0;
    const size_t dataPart = static_cast<size_t>(std::min<uint64_t>(length, dataLeft));
    watch.profileCrc = crc32(watch.profileCrc, data, static_cast<uInt>(dataPart));
    for (size_t i = dataPart; i < length; ++i)
        watch.storedCrc = watch.storedCrc << 8 | data[i];
    if (length == watch.untilHeader && watch.storedCrc != watch.profileCrc)
        watch.profileCrcFailed = true;
}

// Runs png_error on a rule break; called from the read callback, inside libpng.
void WatchChunks(png_structp png, ChunkWatch& watch, png_const_bytep data, size_t length)
{
    while (length > 0) {
        if (watch.untilHeader > 0) {
            const size_t skipped = static_cast<size_t>(std::min<uint64_t>(length, watch.untilHeader));
            if (watch.inProfileChunk)
                WatchProfileCrc(watch, data, skipped);
            data += skipped;
            length -= skipped;
            watch.untilHeader -= skipped;
            continue;
        }
        const size_t taken = std::min<size_t>(length, sizeof watch.header - watch.headerFill);
        std::memcpy(watch.header + watch.headerFill, data, taken);
        data += taken;
        length -= taken;
        watch.headerFill += static_cast<unsigned>(taken);
        if (watch.headerFill < sizeof watch.header)
            continue;
        const png_uint_32 chunkLength = png_get_uint_32(watch.header);
        const png_const_bytep type = watch.header + 4;
        if (!watch.sawChunk && std::memcmp(type, "IHDR", 4) != 0)
            png_error(png, Text(Message::DetailPngFirstChunk).data());
        if (std::memcmp(type, "tRNS", 4) == 0 && chunkLength > 256)
            png_error(png, Text(Message::DetailPngTransparency).data());
        // libpng allocates an eXIf chunk's whole claimed length (up to 2 GiB) before reading it,
        // past the chunk limit; one that long is left unread instead, like an unknown chunk
        // (libpng asks how to handle each chunk right after its header has been read).
        if (std::memcmp(type, "eXIf", 4) == 0 && chunkLength > kMaxChunkBytes)
            png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, type, 1);
        watch.sawChunk = true;
        watch.inProfileChunk = std::memcmp(type, "iCCP", 4) == 0;
        watch.profileCrc = crc32(0, type, 4);
        watch.storedCrc = 0;
        watch.headerFill = 0;
        watch.untilHeader = uint64_t{chunkLength} + 4; // data and CRC
    }
}

void ReadFromFile(png_structp png, png_bytep data, size_t length)
{
    auto* decoder = static_cast<PngDecoder*>(png_get_io_ptr(png));
    const bool signature = !decoder->chunks.sawSignature;
    if (std::fread(data, 1, length, decoder->file.get()) != length) {
        decoder->cause = ReadFailure::EndsEarly;
        png_error(png, "file ends early");
    }
    // libpng reads the signature first, in one piece, and refuses it right after.
    if (signature && png_sig_cmp(data, 0, length) != 0)
        decoder->cause = ReadFailure::NotThisFormat;
    decoder->chunks.sawSignature = true;
    WatchChunks(png, decoder->chunks, data, length);
}

// True when a grey or RGB tRNS colour can match stored samples: a value beyond the bit
// depth never equals a sample (libpng would compare it masked to the depth).
bool TransparentColourFits(png_const_color_16p colour, int bitDepth, int colourType)
{
    const unsigned maxSample = (1u << bitDepth) - 1;
    if (colourType == PNG_COLOR_TYPE_GRAY)
        return colour->gray <= maxSample;
    return colour->red <= maxSample && colour->green <= maxSample && colour->blue <= maxSample;
}

// Asks libpng for 8-bit RGB or RGBA rows, whatever the stored form. Runs under
// StartPng's setjmp.
void SetUpTransformations(png_structp png, png_infop info, PngLayout* layout)
{
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);

    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    png_bytep paletteAlpha = nullptr;
    int transparentCount = 0;
    png_color_16p transparentColour = nullptr;
    const bool transparency = png_get_tRNS(png, info, &paletteAlpha, &transparentCount, &transparentColour) != 0
        && (colourType == PNG_COLOR_TYPE_PALETTE || bitDepth == 16
            || TransparentColourFits(transparentColour, bitDepth, colourType));
    if (transparency)
        png_set_tRNS_to_alpha(png); // compares before strip_16, i.e. with all 16 bits
    if (bitDepth == 16)
        png_set_strip_16(png); // keeps the most significant byte, no rounding
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    png_fixed_point fileGamma = 0;
    if (png_get_gAMA_fixed(png, info, &fileGamma) != 0)
        png_set_gamma_fixed(png, kDisplayGamma, fileGamma);

    layout->width = width;
    layout->height = height;
    layout->interlaced = interlace != PNG_INTERLACE_NONE;
    layout->hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
    // Opaque rows go straight into the raster, where libpng can merge the passes itself;
    // RGBA rows are read pass by pass (see ReadAlphaRows).
    if (!layout->hasAlpha)
        png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_channels(png, info) != (layout->hasAlpha ? 4 : 3) || png_get_bit_depth(png, info) != 8)
        png_error(png, Text(Message::DetailPngRowForm).data());
}

// Creates the decoder and reads every chunk before the picture data.
bool StartPng(PngDecoder* decoder, PngLayout* layout)
{
    if (setjmp(decoder->jump))
        return false;
    decoder->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, decoder, OnPngError, NotePngWarning);
    if (!decoder->png) {
        decoder->cause = ReadFailure::OutOfMemory;
        return false;
    }
    decoder->info = png_create_info_struct(decoder->png);
    if (!decoder->info) {
        decoder->cause = ReadFailure::OutOfMemory;
        png_error(decoder->png, "out of memory");
    }
    png_set_read_fn(decoder->png, decoder, ReadFromFile);
    png_set_user_limits(decoder->png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(decoder->png, kMaxChunkBytes);
    png_set_keep_unknown_chunks(decoder->png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, sizeof kSkippedChunks / 5);
    png_read_info(decoder->png, decoder->info);
    SetUpTransformations(decoder->png, decoder->info, layout);
    return true;
}

// Decodes the whole opaque picture into `rows` (one RGB row pointer per picture row).
bool ReadOpaqueRows(PngDecoder* decoder, png_bytepp rows)
{
    if (setjmp(decoder->jump))
        return false;
    png_read_image(decoder->png, rows);
    png_read_end(decoder->png, decoder->info);
    return true;
}

// Decodes RGBA rows one at a time through `rgbaRow` (room for one full row) and writes
// each pixel, flattened, to its place in `picture`. Interlaced pictures come as seven
// reduced pictures, so every pixel is written once and no RGBA copy of the whole
// picture is needed.
bool ReadAlphaRows(PngDecoder* decoder, const PngLayout* layout, png_bytep rgbaRow, PictureRaster* picture)
{
    if (setjmp(decoder->jump))
        return false;
    const int passes = layout->interlaced ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const png_uint_32 columns = layout->interlaced ? PNG_PASS_COLS(layout->width, pass) : layout->width;
        const png_uint_32 rows = layout->interlaced ? PNG_PASS_ROWS(layout->height, pass) : layout->height;
        if (columns == 0)
            continue; // libpng skips empty passes
        for (png_uint_32 passRow = 0; passRow < rows; ++passRow) {
            png_read_row(decoder->png, rgbaRow, nullptr);
            const png_uint_32 y = layout->interlaced ? PNG_ROW_FROM_PASS_ROW(passRow, pass) : passRow;
            uint8_t* out = picture->row(static_cast<int32_t>(y));
            for (png_uint_32 column = 0; column < columns; ++column) {
                const png_uint_32 x = layout->interlaced ? PNG_COL_FROM_PASS_COL(column, pass) : column;
                FlattenOntoWhite(rgbaRow + 4 * column, out + 3 * x);
            }
        }
    }
    png_read_end(decoder->png, decoder->info);
    return true;
}

// Looks up the eXIf and iCCP chunks that libpng read before and after the picture data.
// libpng reports a malformed or misplaced one as a warning and does not keep it; a profile
// from a chunk whose CRC failed is left out here, as it may have been damaged.
bool FindMetadataChunks(PngDecoder* decoder, PngMetadataChunks* chunks)
{
    if (setjmp(decoder->jump))
        return false;
    png_get_eXIf_1(decoder->png, decoder->info, &chunks->exifLength, &chunks->exif);
    png_charp name = nullptr;
    int compression = 0;
    if (!decoder->chunks.profileCrcFailed)
        png_get_iCCP(decoder->png, decoder->info, &name, &compression, &chunks->profile, &chunks->profileLength);
    return true;
}

// Fills in what the chunks tell viewers: the EXIF orientation and capture date and an RGB colour profile.
void TakeMetadata(const PngMetadataChunks& chunks, PictureMetadata& metadata)
{
    if (chunks.exif) {
        const std::span<const uint8_t> exif(chunks.exif, chunks.exifLength);
        metadata.orientation = ReadExifOrientation(exif);
        metadata.captureDate = ReadExifCaptureDate(exif);
    }
    const std::span<const uint8_t> profile(chunks.profile, chunks.profile ? chunks.profileLength : 0);
    if (IsRgbIccProfile(profile))
        metadata.iccProfile.assign(profile.begin(), profile.end());
}

void PngDecoder::check(bool succeeded) const
{
    if (succeeded)
        return;
    switch (cause) {
    case ReadFailure::EndsEarly:
        ThrowShortRead(file.get(), kPngFormat);
    case ReadFailure::NotThisFormat:
    case ReadFailure::OutOfMemory:
        ThrowReadFailure(cause, kPngFormat);
    default:
        ThrowReadFailure(cause, kPngFormat, detail);
    }
}

} // namespace

PictureRaster ReadPng(const std::string& path)
{
    PngDecoder decoder(path);
    PngLayout layout;
    decoder.check(StartPng(&decoder, &layout));
    CheckPictureSize(layout.width, layout.height);
    PictureRaster picture(static_cast<int32_t>(layout.width), static_cast<int32_t>(layout.height));
    if (layout.hasAlpha) {
        std::vector<png_byte> rgbaRow(size_t{4} * layout.width);
        decoder.check(ReadAlphaRows(&decoder, &layout, rgbaRow.data(), &picture));
    } else {
        std::vector<png_bytep> rows(layout.height);
        for (png_uint_32 y = 0; y < layout.height; ++y)
            rows[y] = picture.row(static_cast<int32_t>(y));
        decoder.check(ReadOpaqueRows(&decoder, rows.data()));
    }
    PngMetadataChunks chunks;
    decoder.check(FindMetadataChunks(&decoder, &chunks));
    TakeMetadata(chunks, picture.metadata());
    return picture;
}

} // namespace gustara
