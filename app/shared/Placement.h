#pragma once

#include <QString>
#include <QWidget>

namespace gustara {

// Names a control of a fixed layout (its object name, by which the settings table finds it)
// and puts it at left, top with the given size, in pixels within its parent.
// Returns the control. Does not fail.
template <class Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

// The same for a control that takes the size of its content (a label the size of its text).
template <class Widget>
Widget* Place(Widget* widget, const char* name, int left, int top)
{
    widget->adjustSize();
    return Place(widget, name, left, top, widget->width(), widget->height());
}

} // namespace gustara
