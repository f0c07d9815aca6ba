// The HEIF reader of a build without libheif: every HEIC, HEIF and AVIF file is refused as a
// picture for which no decoder is installed, so the reason tells the user what is missing.
#include "read/HeifReader.h"

#include "EngineError.h"
#include "rules/Messages.h"

namespace gustara {

namespace {

[[noreturn]] void ThrowNoDecoder()
{
    throw EngineError(Format(Message::ReadMissingDecoder, {"HEIF/AVIF"}));
}

} // namespace

PictureRaster ReadHeif(const std::string&)
{
    ThrowNoDecoder();
}

std::optional<PictureDimensions> ProbeHeif(std::FILE*)
{
    return std::nullopt;
}

bool IsHeifSequence(const std::string&)
{
    ThrowNoDecoder();
}

} // namespace gustara
