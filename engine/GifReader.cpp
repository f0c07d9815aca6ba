#include "GifReader.h"

#include "EngineError.h"

namespace gustara {

PictureRaster ReadGif(const std::string&)
{
    throw EngineError("not implemented yet");
}

int CountGifImages(const std::string&)
{
    throw EngineError("not implemented yet");
}

} // namespace gustara
