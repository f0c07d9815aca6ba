#include "shared/WindowFont.h"

namespace gustara {

QStringList WindowFontFamilies()
{
    // The user-interface fonts with Japanese that Windows itself ships: Yu Gothic UI from
    // Windows 8.1 on, Meiryo UI from Vista on, MS UI Gothic before (and on any Japanese system).
    return {QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI"), QStringLiteral("MS UI Gothic")};
}

} // namespace gustara
