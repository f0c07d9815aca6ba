#pragma once

#include <QWidget>

namespace gustara {

// Makes `window` (built without a parent) a window of `owner` with the given window flags.
// A window takes its owner's font and colours only with Qt::WA_WindowPropagation, and only
// when it is set before the owner is, so both happen here in that order. Does not fail.
inline void AttachToOwner(QWidget& window, QWidget* owner, Qt::WindowFlags flags)
{
    window.setAttribute(Qt::WA_WindowPropagation);
    window.setParent(owner, flags);
}

} // namespace gustara
