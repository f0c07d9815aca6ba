// The WebP reader of a build without libwebp: every WebP file is refused as a
// picture for which no decoder is installed, so the reason tells the user what is missing.
#include "read/WebpReader.h"

#include "EngineError.h"
#include "rules/Messages.h"

namespace gustara {

namespace {

[[noreturn]] void ThrowNoDecoder()
{
    throw EngineError(Format(Message::ReadMissingDecoder, {"WebP"}));
}

} // namespace

PictureRaster ReadWebp(const std::string&)
{
    ThrowNoDecoder();
}

std::optional<PictureDimensions> ProbeWebp(std::FILE*)
{
    return std::nullopt;
}

bool IsWebpAnimation(const std::string&)
{
    ThrowNoDecoder();
}

} // namespace gustara
