#include "read/HeifReader.h"

#include "EngineError.h"
#include "ExifOrientation.h"
#include "read/AlphaOnWhite.h"
#include "read/HeifBoxes.h"
#include "read/PictureFile.h"

#include <libheif/heif.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace gustara {

namespace {

constexpr std::string_view kHeifFormat = "HEIF/AVIF";

// libheif refuses a picture with a side of this many pixels or more before it decodes anything;
// one past the longest side a JPEG file holds, so that a panorama within the raster's cap is
// decided by our own area check alone.
constexpr int kHeifSideLimit = 65536;

// The file type box's brands, from the file's first box: as much of it as libheif's brand
// tests read.
std::vector<uint8_t> ReadFileTypeBox(std::FILE* file)
{
    constexpr std::size_t kMostBytes = 4096;
    std::vector<uint8_t> box(8);
    if (std::fread(box.data(), 1, box.size(), file) != box.size())
        return {};
    const uint32_t size = uint32_t{box[0]} << 24 | uint32_t{box[1]} << 16 | uint32_t{box[2]} << 8 | box[3];
    box.resize(std::clamp<std::size_t>(size, 8, kMostBytes));
    box.resize(8 + std::fread(box.data() + 8, 1, box.size() - 8, file));
    return box;
}

// Sequence brands: the pictures are tracks of frames, not one still image.
bool IsSequenceBrand(heif_brand2 brand)
{
    constexpr std::array<heif_brand2, 4> kSequenceBrands = {
        heif_fourcc('a', 'v', 'i', 's'), heif_fourcc('m', 's', 'f', '1'),
        heif_fourcc('h', 'e', 'v', 'c'), heif_fourcc('h', 'e', 'v', 'x')};
    return std::find(kSequenceBrands.begin(), kSequenceBrands.end(), brand) != kSequenceBrands.end();
}

// The codec a file's brands promise, for naming a missing decoder.
std::string_view CodecOf(const std::vector<uint8_t>& fileTypeBox)
{
    const int length = static_cast<int>(fileTypeBox.size());
    const bool av1 = heif_read_main_brand(fileTypeBox.data(), length) == heif_fourcc('a', 'v', 'i', 'f')
        || heif_has_compatible_brand(fileTypeBox.data(), length, "avif") == 1;
    return av1 ? "AV1" : "HEVC";
}

// libheif reads through these callbacks from the file that OpenForReading opened, so that its
// reasons and read errors are the same as the other readers'.
struct HeifSource {
    std::FILE* file = nullptr;
    int64_t size = 0;
};

int64_t PositionOf(void* source)
{
    return ::ftello(static_cast<HeifSource*>(source)->file);
}

int ReadBytes(void* data, size_t size, void* source)
{
    return std::fread(data, 1, size, static_cast<HeifSource*>(source)->file) == size ? 0 : -1;
}

int SeekTo(int64_t position, void* source)
{
    return ::fseeko(static_cast<HeifSource*>(source)->file, position, SEEK_SET);
}

// The file does not grow while it is read.
heif_reader_grow_status WaitForSize(int64_t size, void* source)
{
    return size <= static_cast<HeifSource*>(source)->size ? heif_reader_grow_status_size_reached
                                                          : heif_reader_grow_status_size_beyond_eof;
}

heif_reader kFileReader = {1, PositionOf, ReadBytes, SeekTo, WaitForSize};

// One decode: libheif's context, the primary image's handle and the decoded image, released
// on every way out. The source's file must outlive the context, which reads from it on demand.
struct HeifDecoder {
    HeifSource source;
    heif_context* context = nullptr;
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;

    explicit HeifDecoder(HeifSource from) : source(from) {}
    HeifDecoder(const HeifDecoder&) = delete;
    HeifDecoder& operator=(const HeifDecoder&) = delete;
    ~HeifDecoder()
    {
        heif_image_release(image);
        heif_image_handle_release(handle);
        if (context)
            heif_context_free(context);
    }
};

// libheif's errors by what the user can do about them, never in its own words; `codec` names
// a missing decoder, `layout` is what our own walk of the boxes found.
[[noreturn]] void ThrowHeifError(const heif_error& error, std::FILE* file, std::string_view codec,
                                 const std::optional<HeifLayout>& layout)
{
    switch (error.code) {
    case heif_error_Invalid_input:
        if (error.subcode == heif_suberror_End_of_data)
            ThrowShortRead(file, kHeifFormat);
        if (error.subcode == heif_suberror_No_ftyp_box)
            ThrowReadFailure(ReadFailure::NotThisFormat, kHeifFormat);
        // libheif tells a canvas it could not allocate by the depth of the plane that is not
        // there; tiles that all declare one depth cannot differ otherwise.
        if (error.subcode == heif_suberror_Wrong_tile_image_pixel_depth && layout && layout->tileDepthsAgree)
            ThrowReadFailure(ReadFailure::OutOfMemory, kHeifFormat);
        ThrowReadFailure(ReadFailure::Damaged, kHeifFormat);
    case heif_error_Unsupported_filetype:
        ThrowReadFailure(ReadFailure::NotThisFormat, kHeifFormat);
    case heif_error_Unsupported_feature:
        if (error.subcode == heif_suberror_Unsupported_codec)
            throw EngineError(Format(Message::ReadMissingDecoder, {codec}));
        ThrowReadFailure(ReadFailure::Unsupported, kHeifFormat);
    case heif_error_Memory_allocation_error:
        if (error.subcode == heif_suberror_Security_limit_exceeded)
            ThrowReadFailure(ReadFailure::TooLarge, kHeifFormat);
        ThrowReadFailure(ReadFailure::OutOfMemory, kHeifFormat);
    default:
        ThrowReadFailure(ReadFailure::Damaged, kHeifFormat);
    }
}

// The decoder libheif is to use for `codec`: for AV1 libaom's, which reports a broken stream
// through its result alone, where dav1d prints it on standard error; libheif's choice when
// libaom's plugin is not installed.
const char* QuietDecoderFor(std::string_view codec)
{
    static const bool aomInstalled = [] {
        std::array<const heif_decoder_descriptor*, 8> decoders{};
        const int count = heif_get_decoder_descriptors(heif_compression_AV1, decoders.data(), static_cast<int>(decoders.size()));
        for (int i = 0; i < count; ++i)
            if (std::string_view(heif_decoder_descriptor_get_id_name(decoders[i])) == "aom")
                return true;
        return false;
    }();
    return codec == "AV1" && aomInstalled ? "aom" : nullptr;
}

// Reads the file's boxes (not its picture data) and finds the primary image. Plugins are
// registered once for the whole program; libheif counts its own users.
heif_error OpenPrimaryImage(HeifDecoder& decoder)
{
    static const heif_error registered = heif_init(nullptr);
    (void)registered;
    decoder.context = heif_context_alloc();
    if (!decoder.context)
        return {heif_error_Memory_allocation_error, heif_suberror_Unspecified, "heif_context_alloc"};
    heif_context_set_maximum_image_size_limit(decoder.context, kHeifSideLimit);
    const heif_error error = heif_context_read_from_reader(decoder.context, &kFileReader, &decoder.source, nullptr);
    if (error.code != heif_error_Ok)
        return error;
    return heif_context_get_primary_image_handle(decoder.context, &decoder.handle);
}

// Copies the decoded interleaved rows into `picture`: samples of `bits` > 8 come as 16-bit
// host-order words and keep their top 8 bits; `channels` 4 carries alpha.
void CopyRows(const heif_image* image, int bits, int channels, PictureRaster& picture)
{
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int shift = bits > 8 ? bits - 8 : 0;
    std::vector<uint8_t> narrow(bits > 8 || channels == 4 ? static_cast<std::size_t>(picture.width()) * channels : 0);
    for (int32_t y = 0; y < picture.height(); ++y) {
        const uint8_t* in = plane + static_cast<std::ptrdiff_t>(stride) * y;
        uint8_t* out = picture.row(y);
        if (narrow.empty()) {
            std::memcpy(out, in, picture.stride());
            continue;
        }
        if (bits > 8) {
            const auto* words = reinterpret_cast<const uint16_t*>(in);
            for (std::size_t i = 0; i < narrow.size(); ++i)
                narrow[i] = static_cast<uint8_t>(words[i] >> shift);
            in = narrow.data();
        }
        if (channels == 3) {
            std::memcpy(out, in, picture.stride());
            continue;
        }
        for (int32_t x = 0; x < picture.width(); ++x)
            FlattenOntoWhite(in + 4 * x, out + 3 * x);
    }
}

// The primary image's ICC profile when it has one for RGB data.
void TakeProfile(const heif_image_handle* handle, PictureMetadata& metadata)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return;
    std::vector<uint8_t> profile(heif_image_handle_get_raw_color_profile_size(handle));
    if (profile.empty() || heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok)
        return;
    if (IsRgbIccProfile(profile))
        metadata.iccProfile = std::move(profile);
}

// The capture date of the primary image's first EXIF block. The block starts with four bytes
// telling how far after them the TIFF header lies; the orientation is libheif's to apply.
void TakeCaptureDate(const heif_image_handle* handle, PictureMetadata& metadata)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) != 1)
        return;
    std::vector<uint8_t> block(heif_image_handle_get_metadata_size(handle, id));
    if (block.size() < 4 || heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok)
        return;
    const uint32_t skip = uint32_t{block[0]} << 24 | uint32_t{block[1]} << 16 | uint32_t{block[2]} << 8 | block[3];
    if (skip <= block.size() - 4)
        metadata.captureDate = ReadExifCaptureDate(std::span<const uint8_t>(block).subspan(4 + skip));
}

struct DecodingOptions {
    heif_decoding_options* options = heif_decoding_options_alloc();
    DecodingOptions() = default;
    DecodingOptions(const DecodingOptions&) = delete;
    DecodingOptions& operator=(const DecodingOptions&) = delete;
    ~DecodingOptions() { heif_decoding_options_free(options); }
};

} // namespace

PictureRaster ReadHeif(const std::string& path)
{
    PictureFile file = OpenForReading(path);
    const std::vector<uint8_t> fileTypeBox = ReadFileTypeBox(file.get());
    // A HEIF file opens with its file type box. Ours to say: libheif's word for a file of another
    // kind changed between its versions (1.15: no ftyp box; 1.23: file size too small).
    if (fileTypeBox.size() >= 8 && std::memcmp(fileTypeBox.data() + 4, "ftyp", 4) != 0)
        ThrowReadFailure(ReadFailure::NotThisFormat, kHeifFormat);
    const std::string_view codec = CodecOf(fileTypeBox);
    if (fileTypeBox.size() >= 12 && IsSequenceBrand(heif_read_main_brand(fileTypeBox.data(), static_cast<int>(fileTypeBox.size()))))
        throw EngineError(std::string(Text(Message::ReadSeveralFrames)));
    std::rewind(file.get());
    // Refuses, in milliseconds, what would keep libheif parsing for minutes or allocating
    // gigabytes; libheif then parses the file once.
    const std::optional<HeifLayout> layout = ReadHeifLayout(file.get(), file.size);
    if (layout)
        CheckPictureSize(layout->width, layout->height);
    std::rewind(file.get());

    HeifDecoder decoder({file.get(), static_cast<int64_t>(file.size)});
    if (const heif_error error = OpenPrimaryImage(decoder); error.code != heif_error_Ok)
        ThrowHeifError(error, file.get(), codec, layout);
    // The size after turning; either way the same number of pixels.
    CheckPictureSize(heif_image_handle_get_width(decoder.handle), heif_image_handle_get_height(decoder.handle));
    const int bits = heif_image_handle_get_luma_bits_per_pixel(decoder.handle);
    const bool alpha = heif_image_handle_has_alpha_channel(decoder.handle) != 0;
    const heif_chroma chroma = bits > 8 ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
                                        : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    const DecodingOptions options;  // turning and mirroring applied, high bit depths kept
    if (!options.options)
        ThrowReadFailure(ReadFailure::OutOfMemory, kHeifFormat);
    options.options->decoder_id = QuietDecoderFor(codec);
    if (const heif_error error = heif_decode_image(decoder.handle, &decoder.image, heif_colorspace_RGB, chroma, options.options);
        error.code != heif_error_Ok)
        ThrowHeifError(error, file.get(), codec, layout);

    const int width = heif_image_get_width(decoder.image, heif_channel_interleaved);
    const int height = heif_image_get_height(decoder.image, heif_channel_interleaved);
    // The header's size is what the pixel cap and the memory budget were checked against; a
    // coded picture of another size breaks the format, and a larger one would break the budget.
    if (width != heif_image_handle_get_width(decoder.handle) || height != heif_image_handle_get_height(decoder.handle))
        ThrowReadFailure(ReadFailure::Damaged, kHeifFormat, Text(Message::DetailHeifSizeMismatch));
    CheckPictureSize(width, height);
    PictureRaster picture(width, height);
    CopyRows(decoder.image, std::max(8, heif_image_get_bits_per_pixel_range(decoder.image, heif_channel_interleaved)),
             alpha ? 4 : 3, picture);
    TakeProfile(decoder.handle, picture.metadata());
    TakeCaptureDate(decoder.handle, picture.metadata());
    return picture;
}

std::optional<PictureDimensions> ProbeHeif(std::FILE* file)
{
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0)
        return std::nullopt;
    std::optional<HeifLayout> layout;
    try {
        layout = ReadHeifLayout(file, static_cast<uint64_t>(info.st_size));
    } catch (const EngineError&) {
        return std::nullopt;  // the reader refuses it before libheif spends anything on it
    }
    if (!layout)
        return std::nullopt;
    // libheif keeps the decoded planes (three at most) and the interleaved RGB(A) made of them,
    // with two bytes a sample beyond 8 bits.
    const int bytesPerSample = layout->bits > 8 ? 2 : 1;
    const int channels = layout->alpha ? 4 : 3;
    return PictureDimensions{layout->width, layout->height, false, bytesPerSample * (3 + channels)};
}

bool IsHeifSequence(const std::string& path)
{
    const PictureFile file = OpenForReading(path);
    const std::vector<uint8_t> fileTypeBox = ReadFileTypeBox(file.get());
    const int length = static_cast<int>(fileTypeBox.size());
    if (length < 12 || heif_check_filetype(fileTypeBox.data(), length) == heif_filetype_no)
        ThrowReadFailure(ReadFailure::NotThisFormat, kHeifFormat);
    return IsSequenceBrand(heif_read_main_brand(fileTypeBox.data(), length));
}

} // namespace gustara
