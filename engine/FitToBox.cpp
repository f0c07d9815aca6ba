#include "FitToBox.h"

#include "EngineError.h"

namespace gustara {

std::optional<PictureSize> FitToBoxSize(int32_t, int32_t, int32_t, int32_t)
{
    throw EngineError("not implemented yet");
}

} // namespace gustara
