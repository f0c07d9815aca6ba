#include "preview/StrengthPreview.h"

#include "EngineError.h"
#include "pixels/AreaAverageResampler.h"
#include "pixels/DisplayOrientation.h"
#include "pixels/FlavourFilter.h"
#include "PictureMetadata.h"
#include "read/PictureFormat.h"
#include "read/PictureReader.h"
#include "rules/Messages.h"

#include <algorithm>
#include <utility>

namespace gustara {

namespace {

// The picture, read whole or reduced from a stored picture of fullSize, at the size that the
// batch's fit gives the whole picture, shrunk by the batch's resampler.
PictureRaster FittedInto(PictureRaster picture, PictureSize fullSize, PictureSize cell)
{
    const auto target = FitToBoxSize(fullSize.width, fullSize.height, cell.width, cell.height);
    if (target && (picture.width() != target->width || picture.height() != target->height))
        ResizeKeepingMetadata(picture, *target);
    return picture;
}

} // namespace

int CoveringScaleEighths(int32_t width, int32_t height, PictureSize box)
{
    const auto target = FitToBoxSize(width, height, box.width, box.height);
    if (!target)
        return 8;
    // The reduced side is the stored side x M / 8 rounded up; it covers the target side when
    // side x M > 8 x (target - 1).
    const auto eighthsFor = [](int64_t side, int64_t targetSide) {
        return static_cast<int>(8 * (targetSide - 1) / side + 1);
    };
    return std::clamp(std::max(eighthsFor(width, target->width), eighthsFor(height, target->height)), 1, 8);
}

StrengthPreview MakeStrengthPreview(const std::string& path, const CellForPicture& cellFor)
{
    StrengthPreview preview;
    PictureSize storedSize{0, 0};
    PictureSize storedCell{0, 0};
    if (PictureFormatOf(path) == PictureFormat::None)
        throw EngineError(std::string(Text(Message::ReasonFormat)));
    PictureRaster source = ReadPicture(path, [&](int32_t width, int32_t height, const PictureMetadata& metadata) {
        storedSize = {width, height};
        preview.shownSource = TurnedBy(storedSize, metadata.orientation);
        storedCell = TurnedBy(cellFor(preview.shownSource), metadata.orientation);
        return CoveringScaleEighths(width, height, storedCell);
    });

    PictureRaster& original = preview.pictures[0];
    original = TurnedUpright(FittedInto(std::move(source), storedSize, storedCell));
    for (std::size_t i = 0; i < kCompareLevels.size(); ++i) {
        PictureRaster& filtered = preview.pictures[i + 1];
        filtered = original.clone();
        ApplyFlavourFilter(filtered, kCompareLevels[i]);
    }
    return preview;
}

} // namespace gustara
