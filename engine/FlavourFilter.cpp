#include "FlavourFilter.h"

namespace gustara {

void ApplyFlavourFilter(PictureRaster&, int)
{
}

} // namespace gustara
