#include "JpegReader.h"

#include "EngineError.h"

namespace gustara {

PictureRaster ReadJpeg(const std::string&)
{
    throw EngineError("not implemented yet");
}

} // namespace gustara
