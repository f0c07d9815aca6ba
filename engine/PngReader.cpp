#include "PngReader.h"

#include "EngineError.h"

namespace gustara {

PictureRaster ReadPng(const std::string&)
{
    throw EngineError("not implemented yet");
}

} // namespace gustara
