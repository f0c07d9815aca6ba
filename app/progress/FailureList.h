#pragma once

#include <QStringList>

class QWidget;

namespace gustara {

// Shows the reports of the pictures that failed, one a line, as selectable text in a window
// of its own over `owner`, which owns it; the window goes when it is closed. Returns at once.
void ShowFailureList(QWidget& owner, const QStringList& lines);

} // namespace gustara
