#include "BmpReader.h"

#include "EngineError.h"

namespace gustara {

PictureRaster ReadBmp(const std::string&)
{
    throw EngineError("not implemented yet");
}

} // namespace gustara
