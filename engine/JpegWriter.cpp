#include "JpegWriter.h"

#include "EngineError.h"

namespace gustara {

std::vector<uint8_t> EncodeJpeg(const PictureRaster&, int, bool)
{
    throw EngineError("not implemented yet");
}

} // namespace gustara
