#pragma once

#include "read/bmp/BmpHeader.h"
#include "read/bmp/BmpSource.h"
#include "PictureRaster.h"

namespace gustara {

// Decodes the RLE8 or RLE4 data at the source's position into a new raster of the layout's
// size; the first row decoded is the bottom one. Pixels that the data never sets (skipped by
// a delta, an early end of line or end of bitmap) take colour-table entry 0; runs past the
// right edge are cut off there. Decoding stops at the end-of-bitmap mark or once every row
// has been passed. Throws EngineError when the file ends before that.
// The raster is allocated before the data is read (an early end-of-bitmap mark legitimately
// leaves any amount of the picture unset, so the data's length bounds nothing; the pixel cap
// of CheckPictureSize bounds the allocation), but rows are painted only as the data reaches
// them, so a file that claims a huge picture and then ends fails before touching its pages.
PictureRaster DecodeBmpRle(BmpSource& source, const BmpLayout& layout);

} // namespace gustara
