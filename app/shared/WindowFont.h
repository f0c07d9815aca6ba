#pragma once

#include <QStringList>

namespace gustara {

// The font families of the windows' 12-pixel Japanese text, best first; Qt takes the first
// one installed. (WindowFontLinux.cpp, WindowFontWindows.cpp)
QStringList WindowFontFamilies();

} // namespace gustara
