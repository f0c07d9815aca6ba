#include "BitmapUtils.h"

#include "EngineError.h"

namespace gustara {

PictureRaster AreaAverageResize(const PictureRaster&, int32_t, int32_t)
{
    throw EngineError("not implemented yet");
}

} // namespace gustara
