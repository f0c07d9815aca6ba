#include "shared/WindowFont.h"

namespace gustara {

QStringList WindowFontFamilies()
{
    // IPAPGothic has the metrics of the font that the layout was drawn with.
    return {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic"),
            QStringLiteral("VL PGothic")};
}

} // namespace gustara
