#pragma once

#include <QImage>

namespace gustara {

// The program's picture for the About window: a bowl of ramen seen from above, drawn in code
// so that no picture file has to travel with the program. Returns a new 76 x 76 image in
// 24-bit RGB; draws the same pixels every time and cannot fail.
QImage MakeFoodPicture();

} // namespace gustara
