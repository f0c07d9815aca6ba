#include "shared/AppIcon.h"

namespace gustara {

QIcon MakeAppIcon()
{
    // The program's own icon resource (IDI_ICON1, made from the same SVG at build time) is
    // what Explorer shows, and Qt gives it to every window that has no icon of its own.
    return QIcon();
}

} // namespace gustara
