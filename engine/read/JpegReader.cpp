#include "read/JpegReader.h"

#include "EngineError.h"
#include "ExifOrientation.h"
#include "read/JpegCoefficientStore.h"
#include "JpegErrorHandling.h"
#include "PictureMetadata.h"
#include "read/PictureFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <jerror.h>

namespace gustara {

namespace {

// Thousands of tiny progressive scans make libjpeg walk the whole picture again for each one;
// real files have a few dozen at most.
constexpr int kMaxScans = 500;
// The same bound on the work of those walks, scans x pixels: a picture at the pixel cap gets 16
// scans (libjpeg's own progressive files have 10) instead of minutes of work; pictures up to
// 16 Mi pixels keep all 500.
constexpr int64_t kMaxScanPixels = int64_t{1} << 33;

// Greyscale files are quantised to this many evenly spaced grey levels with error diffusion.
constexpr int kGreyLevels = 236;

constexpr std::string_view kJpegFormat = "JPEG";

// One decode: the file, the decompression object with its error manager, scan counter,
// coefficient store and the colour profile that libjpeg assembled (malloc'd by it), all
// released on every way out. The zeroed object is safe to destroy before
// jpeg_create_decompress has run. Each step below is a plain function that arms setjmp and
// returns false on a fatal error; check() turns that into the reason.
struct JpegDecoder {
    PictureFile file;
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    jpeg_progress_mgr progress{};
    JpegCoefficientStore coefficients{};
    JOCTET* iccProfile = nullptr;
    unsigned int iccLength = 0;

    // Opens the file through OpenForReading and throws as it does.
    explicit JpegDecoder(const std::string& path) : file(OpenForReading(path))
    {
        info.err = InitJpegErrors(errors);
    }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;
    ~JpegDecoder()
    {
        std::free(iccProfile);
        jpeg_destroy_decompress(&info);
    }

    // Throws EngineError with the reason of the failed step unless it `succeeded`.
    void check(bool succeeded) const;
};

// libjpeg's fatal errors by what the user can do about them; its wording follows where it
// says more than the reason.
void JpegDecoder::check(bool succeeded) const
{
    if (succeeded)
        return;
    if (errors.ownReason)
        throw EngineError(errors.ownReason);
    if (errors.sourceEnded || std::ferror(file.get()))
        ThrowShortRead(file.get(), kJpegFormat);
    switch (errors.manager.msg_code) {
    case JERR_NO_SOI:
        ThrowReadFailure(ReadFailure::NotThisFormat, kJpegFormat);
    case JERR_INPUT_EMPTY:
        ThrowReadFailure(ReadFailure::Empty, kJpegFormat);
    case JERR_OUT_OF_MEMORY:
        ThrowReadFailure(ReadFailure::OutOfMemory, kJpegFormat);
    case JERR_IMAGE_TOO_BIG:
        ThrowReadFailure(ReadFailure::TooLarge, kJpegFormat, errors.libraryText);
    case JERR_ARITH_NOTIMPL:
    case JERR_BAD_PRECISION:
    case JERR_CCIR601_NOTIMPL:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_NOTIMPL:
    case JERR_SOF_UNSUPPORTED:
        ThrowReadFailure(ReadFailure::Unsupported, kJpegFormat, errors.libraryText);
    default:
        ThrowReadFailure(ReadFailure::Damaged, kJpegFormat, errors.libraryText);
    }
}

// Called before each step of reading the file, so a scan over the limit is refused as soon as
// its header has been read, before its data.
void LimitScans(j_common_ptr object)
{
    const auto* info = reinterpret_cast<j_decompress_ptr>(object);
    const int64_t scans = info->input_scan_number;
    const int64_t pixels = int64_t{info->image_width} * info->image_height;
    if (scans > kMaxScans || scans * pixels > kMaxScanPixels)
        FailJpeg(object, Text(Message::TooManyScans).data());
}

// Turns one row of libjpeg's output into RGB in place in the raster row; `samples` may be that row.
using RowConverter = void (*)(const jpeg_decompress_struct& info, const JSAMPLE* samples, uint8_t* rgb);

// Each quantised grey index becomes its level in all three channels. Runs right to left, so
// that indices read from the start of the raster row are not overwritten before they are used.
void ExpandGreyRow(const jpeg_decompress_struct& info, const JSAMPLE* samples, uint8_t* rgb)
{
    const JSAMPLE* levels = info.colormap[0];
    for (JDIMENSION x = info.output_width; x-- > 0;) {
        const uint8_t grey = levels[samples[x]];
        rgb[3 * x] = grey;
        rgb[3 * x + 1] = grey;
        rgb[3 * x + 2] = grey;
    }
}

// Naive ink model: channel = (255 - ink) * (255 - black) / 255, rounded. Files with an Adobe
// marker store every ink inverted (255 - ink), as Adobe's programs write them.
void ConvertCmykRow(const jpeg_decompress_struct& info, const JSAMPLE* samples, uint8_t* rgb)
{
    const bool inverted = info.saw_Adobe_marker;
    const auto paper = [inverted](JSAMPLE ink) { return inverted ? unsigned{ink} : 255u - ink; };
    for (JDIMENSION x = 0; x < info.output_width; ++x) {
        const JSAMPLE* cmyk = samples + 4 * x;
        const unsigned notBlack = paper(cmyk[3]);
        for (int c = 0; c < 3; ++c)
            rgb[3 * x + c] = static_cast<uint8_t>((paper(cmyk[c]) * notBlack + 127) / 255);
    }
}

// Where libjpeg's rows go: straight into the raster, or through `scratch` (one row of
// libjpeg's samples) when a row does not fit in place; `convert` is null for RGB output.
struct RowTarget {
    uint8_t* pixels;
    std::size_t stride;
    JSAMPLE* scratch;
    RowConverter convert;
};

// The setjmp regions below hold only trivially destructible locals, so a longjmp from
// libjpeg skips no destructor. Each returns false with the error in decoder->errors.

bool ReadHeader(JpegDecoder* decoder)
{
    if (setjmp(decoder->errors.jump))
        return false;
    jpeg_create_decompress(&decoder->info);
    InstallCoefficientStore(&decoder->info, &decoder->coefficients);
    decoder->progress.progress_monitor = LimitScans;
    decoder->info.progress = &decoder->progress;
    jpeg_stdio_src(&decoder->info, decoder->file.get());
    // APP1 may carry EXIF, APP2 the colour profile; both are kept whole for MetadataOf.
    jpeg_save_markers(&decoder->info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&decoder->info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&decoder->info, TRUE);
    // Chunks that are missing, doubled or miscounted give no profile (null, length 0) and
    // only a warning, which is dropped.
    jpeg_read_icc_profile(&decoder->info, &decoder->iccProfile, &decoder->iccLength);
    return true;
}

bool DecodeRows(JpegDecoder* decoder, const RowTarget* target)
{
    j_decompress_ptr info = &decoder->info;
    if (setjmp(decoder->errors.jump))
        return false;
    jpeg_start_decompress(info);
    StartReleasingCoefficients(&decoder->coefficients);
    while (info->output_scanline < info->output_height) {
        uint8_t* rgb = target->pixels + target->stride * info->output_scanline;
        JSAMPROW samples = target->scratch ? target->scratch : rgb;
        jpeg_read_scanlines(info, &samples, 1);
        if (target->convert)
            target->convert(*info, samples, rgb);
    }
    jpeg_finish_decompress(info);
    return true;
}

bool CalcOutputSize(JpegDecoder* decoder)
{
    if (setjmp(decoder->errors.jump))
        return false;
    jpeg_calc_output_dimensions(&decoder->info);
    return true;
}

// The orientation and capture date of the first EXIF APP1 marker and the colour profile when it describes RGB.
// Read before decoding: libjpeg releases the saved markers when decompression finishes.
PictureMetadata MetadataOf(const JpegDecoder& decoder)
{
    PictureMetadata metadata;
    for (jpeg_saved_marker_ptr marker = decoder.info.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1)
            continue;
        const std::span<const uint8_t> payload(marker->data, marker->data_length);
        if (const auto orientation = ReadExifApp1Orientation(payload)) {
            metadata.orientation = *orientation;
            metadata.captureDate = ReadExifCaptureDate(ExifTiffBlock(payload));
            break;
        }
    }
    const std::span<const uint8_t> profile(decoder.iccProfile, decoder.iccLength);
    if (IsRgbIccProfile(profile))
        metadata.iccProfile.assign(profile.begin(), profile.end());
    return metadata;
}

// Chooses libjpeg's output for the file's colour space; returns the converter for its rows.
RowConverter ChooseOutput(jpeg_decompress_struct& info)
{
    const J_COLOR_SPACE space = info.jpeg_color_space;
    if (info.num_components == 3 && (space == JCS_YCbCr || space == JCS_RGB)) {
        info.out_color_space = JCS_RGB;
        return nullptr;
    }
    if (info.num_components == 1 && space == JCS_GRAYSCALE) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = kGreyLevels;
        info.dither_mode = JDITHER_FS;
        info.two_pass_quantize = FALSE;
        return ExpandGreyRow;
    }
    if (info.num_components == 4 && (space == JCS_CMYK || space == JCS_YCCK)) {
        info.out_color_space = JCS_CMYK;
        return ConvertCmykRow;
    }
    ThrowReadFailure(ReadFailure::Unsupported, kJpegFormat, Format(Message::DetailJpegComponents, {std::to_string(info.num_components)}));
}

} // namespace

PictureRaster ReadJpeg(const std::string& path, const JpegScaleChoice& chooseScale)
{
    JpegDecoder decoder(path);
    decoder.check(ReadHeader(&decoder));
    jpeg_decompress_struct& info = decoder.info;
    CheckPictureSize(info.image_width, info.image_height);

    PictureMetadata metadata = MetadataOf(decoder);
    const int eighths = chooseScale ? chooseScale(static_cast<int32_t>(info.image_width),
                                                  static_cast<int32_t>(info.image_height), metadata)
                                    : 8;
    if (eighths < 1 || eighths > 8)
        throw EngineError(BadJpegScaleText(eighths));
    info.scale_num = static_cast<unsigned int>(eighths);
    info.scale_denom = 8;
    info.dct_method = JDCT_FLOAT;
    info.do_block_smoothing = TRUE;
    info.buffered_image = FALSE;
    const RowConverter convert = ChooseOutput(info);
    decoder.check(CalcOutputSize(&decoder));

    // A progressive picture's rows come once all its coefficients have been read.
    PictureRaster picture(static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height),
                          jpeg_has_multiple_scans(&info) ? PixelBuffer::Residency::AsWritten
                                                         : PixelBuffer::Residency::AtOnce);
    picture.metadata() = std::move(metadata);
    std::vector<JSAMPLE> scratch(info.out_color_space == JCS_CMYK ? std::size_t{4} * info.output_width : 0);
    const RowTarget target{picture.data(), picture.stride(), scratch.empty() ? nullptr : scratch.data(), convert};
    decoder.check(DecodeRows(&decoder, &target));
    // A cut after the headers only warns, and libjpeg decodes what is there. A sequential file
    // that lacks only its end marker holds the whole picture; of a progressive one, the scans
    // still to come cannot be told, so its cut always counts.
    picture.metadata().partMissing =
        decoder.errors.sourceEnded && (decoder.errors.dataRanOut || info.progressive_mode);
    return picture;
}

PictureRaster ReadJpeg(const std::string& path)
{
    return ReadJpeg(path, JpegScaleChoice());
}

} // namespace gustara
