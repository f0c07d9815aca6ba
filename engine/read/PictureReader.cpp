#include "read/PictureReader.h"

#include "EngineError.h"
#include "FileKind.h"
#include "read/bmp/BmpReader.h"
#include "read/GifReader.h"
#include "read/HeifReader.h"
#include "read/PictureFile.h"
#include "read/PictureFormat.h"
#include "read/PngReader.h"
#include "read/WebpReader.h"

namespace gustara {

namespace {

bool IsAnimatedGif(const std::string& path)
{
    return CountGifImages(path, 2) > 1;  // counting stops at the second image
}

// A picture of several frames (a GIF of more than one image, an animated WebP, a HEIF image
// sequence) is an animation, which is not converted: it is refused with `Animated`, an animated
// GIF under its own heading and the others under theirs. A file that cannot be looked into is
// refused as a GIF that does not load.
template <bool (*IsAnimation)(const std::string&), Message Animated>
std::optional<std::string_view> AnimationRefusal(const std::string& path, std::string* cause)
{
    try {
        if (IsAnimation(path))
            return Text(Animated);
    } catch (const EngineError& error) {
        if (cause)
            *cause = error.what();
        return Text(Message::ReasonGifReadError);
    }
    return std::nullopt;
}

PictureRaster ReadJpegAtScale(const std::string& path, const ScaleChoice& chooseScale)
{
    return chooseScale ? ReadJpeg(path, chooseScale) : ReadJpeg(path);
}

// What each format's reader does for the front door.
struct FormatReader {
    PictureRaster (*read)(const std::string& path);
    // Decodes reduced at the chosen scale; nullptr for formats that only decode whole.
    PictureRaster (*readAtScale)(const std::string& path, const ScaleChoice& chooseScale);
    std::optional<PictureDimensions> (*probe)(std::FILE* file);
    // The drop's look into the file; nullptr for formats accepted by their extension alone.
    std::optional<std::string_view> (*refusal)(const std::string& path, std::string* cause);
};

// The one switch on the format; nullptr for an unsupported extension.
const FormatReader* ReaderFor(const std::string& path)
{
    static constexpr FormatReader kBmp{ReadBmp, nullptr, ProbeBmp, nullptr};
    static constexpr FormatReader kJpeg{ReadJpeg, ReadJpegAtScale, ProbeJpeg, nullptr};
    static constexpr FormatReader kPng{ReadPng, nullptr, ProbePng, nullptr};
    static constexpr FormatReader kGif{ReadGif, nullptr, ProbeGif, AnimationRefusal<IsAnimatedGif, Message::ReasonAnimatedGif>};
    static constexpr FormatReader kHeif{ReadHeif, nullptr, ProbeHeif, AnimationRefusal<IsHeifSequence, Message::ReasonAnimated>};
    static constexpr FormatReader kWebp{ReadWebp, nullptr, ProbeWebp, AnimationRefusal<IsWebpAnimation, Message::ReasonAnimated>};
    switch (PictureFormatOf(path)) {
    case PictureFormat::Bmp:
        return &kBmp;
    case PictureFormat::Jpeg:
        return &kJpeg;
    case PictureFormat::Png:
        return &kPng;
    case PictureFormat::Gif:
        return &kGif;
    case PictureFormat::Heif:
        return &kHeif;
    case PictureFormat::Webp:
        return &kWebp;
    case PictureFormat::None:
        break;
    }
    return nullptr;
}

} // namespace

PictureRaster ReadPicture(const std::string& path, const ScaleChoice& chooseScale)
{
    const FormatReader* reader = ReaderFor(path);
    if (!reader)
        return PictureRaster();
    if (chooseScale && reader->readAtScale)
        return reader->readAtScale(path, chooseScale);
    PictureRaster picture = reader->read(path);
    if (chooseScale)
        chooseScale(picture.width(), picture.height(), picture.metadata());
    return picture;
}

std::optional<PictureDimensions> ProbePicture(const std::string& path)
{
    const FormatReader* reader = ReaderFor(path);
    if (!reader)
        return std::nullopt;
    std::optional<PictureDimensions> dimensions;
    try {
        const PictureFile file = OpenForReading(path);
        AdviseWholeRead(file.get());
        dimensions = reader->probe(file.get());
    } catch (const EngineError&) {
        return std::nullopt;  // the decoder, opening the same way, gives the reason
    }
    if (dimensions && (dimensions->width <= 0 || dimensions->height <= 0))
        return std::nullopt;
    return dimensions;
}

std::optional<std::string_view> RejectionReason(const std::string& path, std::string* cause, MoreFormats more)
{
    const FormatReader* reader = IsSupportedExt(path, more) ? ReaderFor(path) : nullptr;
    if (!reader) {
        if (KindAt(path, Links::Followed) == FileKind::Folder)
            return Text(Message::ReasonFolder);
        return Text(more == MoreFormats::On ? Message::ReasonFormatMore : Message::ReasonFormat);
    }
    return reader->refusal ? reader->refusal(path, cause) : std::nullopt;
}

} // namespace gustara
