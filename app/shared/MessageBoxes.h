#pragma once

#include <QString>

class QWidget;

namespace gustara {

// Shows `text` as plain text in a modal box captioned with the application title, without
// an icon, with a single OK button; returns when the user closes it.
void ShowMessage(QWidget* parent, const QString& text);
// The same with the error icon.
void ShowErrorMessage(QWidget* parent, const QString& text);

} // namespace gustara
