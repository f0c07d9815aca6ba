#pragma once

#include <QIcon>

namespace gustara {

// Name of the desktop entry and of the icon in the desktop's icon theme.
inline constexpr char kDesktopEntryName[] = "jp.example.gustara";

// The program's icon, drawn from the same SVG that the desktop's menu shows, at the sizes
// that window managers and task bars ask for. Needs the QGuiApplication. Returns a null icon
// if the built-in picture cannot be read (it is compiled in, so only a broken build fails).
// On Windows a null icon: the windows take the program's icon resource.
// (AppIconLinux.cpp, AppIconWindows.cpp)
QIcon MakeAppIcon();

} // namespace gustara
