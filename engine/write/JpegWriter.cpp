#include "write/JpegWriter.h"

#include "EngineError.h"
#include "ExifOrientation.h"
#include "JpegErrorHandling.h"
#include "rules/Messages.h"

#include <algorithm>
#include <cstdint>
#include <exception>

#include <jerror.h>

namespace gustara {

namespace {

// libjpeg destination that writes straight into a growing byte vector, so the finished
// datastream needs no further copy.
struct VectorDestination {
    jpeg_destination_mgr manager;  // first member: libjpeg hands its address back to the callbacks
    std::vector<uint8_t>* bytes;
    std::size_t limit;  // the datastream is abandoned once it has this many bytes
    bool reachedLimit;
};

VectorDestination& DestinationOf(j_compress_ptr info)
{
    return *reinterpret_cast<VectorDestination*>(info->dest);
}

// Makes room for `size` bytes; false when memory runs out (no exception may cross libjpeg).
bool Resize(std::vector<uint8_t>& bytes, std::size_t size) noexcept
{
    try {
        bytes.resize(size);
        return true;
    } catch (const std::exception&) {  // bad_alloc or length_error
        return false;
    }
}

void PointAtFreeSpace(VectorDestination& destination, std::size_t used)
{
    destination.manager.next_output_byte = destination.bytes->data() + used;
    destination.manager.free_in_buffer = destination.bytes->size() - used;
}

// Within the capacity reserved at the start the buffer grows by at most this much at a time,
// so that little memory beyond the datastream is touched.
constexpr std::size_t kGrowthStep = std::size_t{1} << 20;

// Reserves room for one byte per raster byte, which a datastream at quality 100 stays well
// below: the buffer then grows without being copied, and the room that no byte reaches is
// never touched, so it costs address space, not memory. Without the reservation the buffer
// grows all the same.
// A limited datastream reserves no more than its limit. libjpeg needs at least one free byte.
void StartDestination(j_compress_ptr info)
{
    VectorDestination& destination = DestinationOf(info);
    try {
        destination.bytes->reserve(
            std::min(std::size_t{3} * info->image_width * info->image_height + 64 * 1024, destination.limit));
    } catch (const std::exception&) {  // bad_alloc or length_error: grow by copying instead
    }
    if (!Resize(*destination.bytes, std::clamp(destination.limit, std::size_t{1}, std::size_t{64 * 1024})))
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    PointAtFreeSpace(destination, 0);
}

// Called with the buffer full: grows it by up to kGrowthStep within the capacity, and
// doubles it past the capacity, never beyond the limit. A full buffer at the limit means the
// datastream has at least that many bytes: the encode is abandoned through the error jump.
boolean GrowDestination(j_compress_ptr info)
{
    VectorDestination& destination = DestinationOf(info);
    const std::size_t used = destination.bytes->size();
    if (used >= destination.limit) {
        destination.reachedLimit = true;
        ERREXIT(info, JERR_BUFFER_SIZE);
    }
    const std::size_t step = used + kGrowthStep <= destination.bytes->capacity() ? std::min(used, kGrowthStep) : used;
    if (!Resize(*destination.bytes, std::min(used + step, destination.limit)))
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
    PointAtFreeSpace(destination, used);
    return TRUE;
}

void FinishDestination(j_compress_ptr info)
{
    VectorDestination& destination = DestinationOf(info);
    destination.bytes->resize(destination.bytes->size() - destination.manager.free_in_buffer);
}

// What one encode asks of libjpeg; the row pointers are the raster's rows, top to bottom.
// The EXIF APP1 payload and the colour profile are written only when their length is not 0.
struct EncodeJob {
    JSAMPROW* rows;
    JDIMENSION width;
    JDIMENSION height;
    int quality;
    bool progressive;
    const JOCTET* exif;
    unsigned int exifLength;
    const JOCTET* iccProfile;
    unsigned int iccLength;
};

// One encode: the compression object with its error manager and the destination that fills
// the caller's vector, released on every way out. The zeroed object is safe to destroy before
// jpeg_create_compress has run. The step below is a plain function that arms setjmp and returns
// false on a fatal error; check() turns that into the reason.
struct JpegEncoder {
    jpeg_compress_struct info{};
    JpegErrorManager errors{};
    VectorDestination destination{};

    // The datastream goes into `bytes`, which must outlive the encoder; it is abandoned once
    // it has `limit` bytes.
    JpegEncoder(std::vector<uint8_t>& bytes, std::size_t limit)
    {
        info.err = InitJpegErrors(errors);
        destination.manager.init_destination = StartDestination;
        destination.manager.empty_output_buffer = GrowDestination;
        destination.manager.term_destination = FinishDestination;
        destination.bytes = &bytes;
        destination.limit = limit;
    }
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;
    ~JpegEncoder() { jpeg_destroy_compress(&info); }

    // Throws EngineError("JPEG エラー #<code>") unless the step `succeeded`.
    void check(bool succeeded) const
    {
        if (!succeeded)
            throw EngineError(JpegErrorText(errors.manager.msg_code));
    }
};

// The setjmp region holds only trivially destructible locals, so a longjmp from libjpeg skips
// no destructor. Returns false with the error in encoder->errors.
bool Compress(JpegEncoder* encoder, const EncodeJob* job)
{
    j_compress_ptr info = &encoder->info;
    if (setjmp(encoder->errors.jump))
        return false;
    jpeg_create_compress(info);
    info->dest = &encoder->destination.manager;
    info->image_width = job->width;
    info->image_height = job->height;
    info->input_components = 3;
    info->in_color_space = JCS_RGB;
    jpeg_set_defaults(info);
    info->dct_method = JDCT_FLOAT;
    // Quality 0 is treated as 1, values beyond 0..100 are clamped by libjpeg.
    jpeg_set_quality(info, job->quality, TRUE);
    if (job->progressive)
        jpeg_simple_progression(info);
    jpeg_start_compress(info, TRUE);
    if (job->exifLength != 0)
        jpeg_write_marker(info, JPEG_APP0 + 1, job->exif, job->exifLength);
    if (job->iccLength != 0)
        jpeg_write_icc_profile(info, job->iccProfile, job->iccLength);
    while (info->next_scanline < info->image_height)
        jpeg_write_scanlines(info, job->rows + info->next_scanline, info->image_height - info->next_scanline);
    jpeg_finish_compress(info);
    return true;
}

} // namespace

static_assert(kMaxJpegSide == JPEG_MAX_DIMENSION);

void CheckJpegSides(int64_t width, int64_t height)
{
    if (width > kMaxJpegSide || height > kMaxJpegSide)
        throw EngineError(JpegSideTooLongText(width, height));
}

namespace {

// Encodes into `bytes`; false when the datastream reached `limit` bytes and was abandoned.
bool EncodeWithin(const PictureRaster& picture, int quality, bool progressive, std::size_t limit,
                  std::vector<uint8_t>& bytes)
{
    if (picture.empty())
        return limit > 0;

    // Refused before a row pointer is made: a picture hundreds of millions of rows tall would
    // otherwise take gigabytes of pointers only for libjpeg to refuse it at its first call.
    CheckJpegSides(picture.width(), picture.height());
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(picture.height()));
    for (int32_t y = 0; y < picture.height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<JSAMPROW>(picture.row(y));  // libjpeg only reads them
    // Only what viewers need to show the picture as the source was shown, and the capture date
    // when the batch keeps it: no other EXIF data of the source (place, camera) reaches the output.
    const PictureMetadata& metadata = picture.metadata();
    const std::vector<uint8_t> exif = metadata.orientation != 1 || !metadata.captureDate.empty()
                                          ? MakeExifApp1(metadata.orientation, metadata.captureDate)
                                          : std::vector<uint8_t>{};
    const bool keepsProfile = IsRgbIccProfile(metadata.iccProfile);
    const EncodeJob job{rows.data(), static_cast<JDIMENSION>(picture.width()),
                        static_cast<JDIMENSION>(picture.height()), quality, progressive,
                        exif.data(), static_cast<unsigned int>(exif.size()),
                        metadata.iccProfile.data(),
                        keepsProfile ? static_cast<unsigned int>(metadata.iccProfile.size()) : 0u};

    // Destroyed on return: libjpeg's memory goes back before the datastream is handed on.
    JpegEncoder encoder(bytes, limit);
    const bool finished = Compress(&encoder, &job);
    if (encoder.destination.reachedLimit)
        return false;
    encoder.check(finished);
    return true;
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const PictureRaster& picture, int quality, bool progressive)
{
    std::vector<uint8_t> bytes;
    EncodeWithin(picture, quality, progressive, SIZE_MAX, bytes);
    return bytes;
}

std::optional<std::vector<uint8_t>> EncodeJpegBelow(const PictureRaster& picture, int quality, bool progressive,
                                                    int64_t limitBytes)
{
    std::vector<uint8_t> bytes;
    const auto limit = static_cast<std::size_t>(std::clamp<int64_t>(limitBytes, 0, INT64_MAX));
    if (!EncodeWithin(picture, quality, progressive, limit, bytes))
        return std::nullopt;
    return bytes;
}

} // namespace gustara
