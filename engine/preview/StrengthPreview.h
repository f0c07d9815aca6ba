#pragma once

#include "pixels/FitToBox.h"
#include "PictureRaster.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace gustara {

// The strengths a comparison shows after the original, in this order.
inline constexpr std::array<int, 3> kCompareLevels = {1, 2, 3};

// One picture prepared for comparing the strengths: the original fitted into a cell and
// turned upright, and the flavour filter at each of kCompareLevels applied to exactly those
// pixels, as a batch filters its fitted picture.
struct StrengthPreview {
    PictureSize shownSource{0, 0};  // the source's full size as a viewer shows it
    std::array<PictureRaster, 1 + kCompareLevels.size()> pictures;  // original, then by level
};

// The cell (width and height, each at least 1) that pictures of the source's upright size
// are fitted into.
using CellForPicture = std::function<PictureSize(PictureSize shownSource)>;

// The smallest libjpeg scale M/8 (M in 1..8) at which a width x height picture still covers
// its fit into `box`, so that the fit only ever shrinks; 8 when the picture is not shrunk.
// Throws EngineError for a box with a side below 1.
int CoveringScaleEighths(int32_t width, int32_t height, PictureSize box);

// Reads the picture at `path` (chosen by its extension; a JPEG is decoded only as large as
// its cell needs), shrinks it to the size the batch's fit rule gives the whole picture in the
// cell (with the batch's resampler), turns it upright, and
// filters a copy at every level. Owns nothing afterwards. Throws EngineError with the
// reader's reason when the file cannot be read or decoded, and with the drop rules' format
// reason for an unsupported extension.
StrengthPreview MakeStrengthPreview(const std::string& path, const CellForPicture& cellFor);

} // namespace gustara
