#include "pixels/FitToBox.h"

#include "EngineError.h"
#include "PictureMetadata.h"
#include "rules/Messages.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

namespace gustara {

static_assert(LDBL_MANT_DIG == 64, "the fitted sizes are worked out in x87 extended precision");

namespace {

// R(numerator / denominator x side): the quotient first, then the product, both in extended
// precision, rounded half to even. A side of 0 is raised to 1 so that the resampler always
// gets a picture to fill.
int32_t ScaledSide(int32_t numerator, int32_t denominator, int32_t side)
{
    const long double quotient = static_cast<long double>(numerator) / denominator;
    const long double scaled = std::nearbyint(quotient * side);
    return std::max(static_cast<int32_t>(scaled), int32_t{1});
}

} // namespace

std::optional<PictureSize> FitToBoxSize(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight)
{
    if (boxWidth <= 0 || boxHeight <= 0)
        throw EngineError(BadBoxSizeText(boxWidth, boxHeight));
    if (width < 0 || height < 0)
        throw EngineError(BadPictureSizeText(width, height));
    // Never enlarged: only a longer side beyond the box's longer side asks for a resize.
    // Checked first, so the quotients below always divide by a side of at least 1.
    if (std::max(width, height) <= std::max(boxWidth, boxHeight))
        return std::nullopt;

    PictureSize target;
    if (width < height) {
        target = {ScaledSide(width, height, boxHeight), boxHeight};
        if (target.width > boxWidth)
            target = {boxWidth, ScaledSide(height, width, boxWidth)};
    } else {
        target = {boxWidth, ScaledSide(height, width, boxWidth)};
        if (target.height > boxHeight)
            target = {ScaledSide(width, height, boxHeight), boxHeight};
    }
    return target;
}

PictureSize TurnedBy(PictureSize size, uint16_t orientation)
{
    return TurnsQuarter(orientation) ? PictureSize{size.height, size.width} : size;
}

} // namespace gustara
