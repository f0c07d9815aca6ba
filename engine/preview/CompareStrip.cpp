#include "preview/CompareStrip.h"

#include <algorithm>
#include <cstring>

namespace gustara {

PictureRaster JoinSideBySide(std::span<const PictureRaster> pictures)
{
    int64_t width = pictures.empty() ? 0 : kStripGap * static_cast<int64_t>(pictures.size() - 1);
    int32_t height = 0;
    for (const PictureRaster& picture : pictures) {
        width += picture.width();
        height = std::max(height, picture.height());
    }
    CheckPictureSize(width, height);
    PictureRaster strip(static_cast<int32_t>(width), height);
    strip.fill(255, 255, 255);
    if (!pictures.empty())
        strip.metadata().iccProfile = pictures.front().metadata().iccProfile;
    std::size_t left = 0;  // byte offset of the next picture within a strip row
    for (const PictureRaster& picture : pictures) {
        for (int32_t y = 0; y < picture.height(); ++y)
            std::memcpy(strip.row(y) + left, picture.row(y), picture.stride());
        left += picture.stride() + 3 * std::size_t{kStripGap};
    }
    return strip;
}

} // namespace gustara
