#include "preview/StrengthPreview.h"

#include "EngineError.h"
#include "pixels/BitmapUtils.h"
#include "pixels/DisplayOrientation.h"
#include "pixels/FlavourFilter.h"
#include "read/JpegReader.h"
#include "read/PictureFormat.h"
#include "rules/DropRules.h"
#include "UnitThPicConvert.h"

#include <algorithm>
#include <utility>

namespace gustara {

namespace {

PictureSize Upright(int32_t width, int32_t height, uint16_t orientation)
{
    return SwapsSides(orientation) ? PictureSize{height, width} : PictureSize{width, height};
}

// The cell for the stored picture: the upright cell with its sides exchanged where the
// picture is shown turned a quarter.
PictureSize StoredCell(const CellForPicture& cellFor, PictureSize shownSource, uint16_t orientation)
{
    const PictureSize cell = cellFor(shownSource);
    return SwapsSides(orientation) ? PictureSize{cell.height, cell.width} : cell;
}

// Fits the picture into the cell as FitPicSize fits it into the batch's box.
PictureRaster FittedInto(PictureRaster picture, PictureSize cell)
{
    TthPicConvert fit;
    fit.UsePicSize = true;
    fit.PicWidth = cell.width;
    fit.PicHeight = cell.height;
    fit.FitPicSize(picture);
    return picture;
}

} // namespace

int CoveringScaleEighths(int32_t width, int32_t height, PictureSize box)
{
    const auto target = FitToBoxSize(width, height, box.width, box.height);
    if (!target)
        return 8;
    // The decoded side is the stored side x M / 8 rounded up; it covers the target side when
    // side x M >= 8 x target.
    const auto eighthsFor = [](int64_t side, int64_t targetSide) {
        return static_cast<int>((8 * targetSide + side - 1) / side);
    };
    return std::clamp(std::max(eighthsFor(width, target->width), eighthsFor(height, target->height)), 1, 8);
}

StrengthPreview MakeStrengthPreview(const std::string& path, const CellForPicture& cellFor)
{
    StrengthPreview preview;
    PictureSize storedCell{0, 0};
    PictureRaster source;
    switch (PictureFormatOf(path)) {
    case PictureFormat::None:
        throw EngineError(std::string(kReasonFormat));
    case PictureFormat::Jpeg:
        source = ReadJpeg(path, [&](int32_t width, int32_t height, const PictureMetadata& metadata) {
            preview.shownSource = Upright(width, height, metadata.orientation);
            storedCell = StoredCell(cellFor, preview.shownSource, metadata.orientation);
            return CoveringScaleEighths(width, height, storedCell);
        });
        break;
    default: {
        TthPicConvert reader;
        reader.LoadPicture(path, source);
        const uint16_t orientation = source.metadata().orientation;
        preview.shownSource = Upright(source.width(), source.height(), orientation);
        storedCell = StoredCell(cellFor, preview.shownSource, orientation);
        break;
    }
    }

    PictureRaster& original = preview.pictures[0];
    original = TurnedUpright(FittedInto(std::move(source), storedCell));
    for (std::size_t i = 0; i < kCompareLevels.size(); ++i) {
        PictureRaster& filtered = preview.pictures[i + 1];
        filtered = original.clone();
        ApplyFlavourFilter(filtered, kCompareLevels[i]);
    }
    return preview;
}

} // namespace gustara
