#pragma once

#include <QRect>
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

// Where a window's frame goes so that it lies within `available`, a screen's area without its
// panels: the top-left corner of `frame` moved as little as that takes. A frame larger than the
// area keeps its top-left corner in it, with the caption's start and the window menu. Pure.
QPoint KeptWithin(const QRect& frame, const QRect& available);

// The frame of a window that wants the frame size `wanted` beside the frame `neighbour`, `gap`
// pixels away: on its right, else its left, else below, else above, the first side with room
// for all of it, its top (or left) edge in line with the neighbour's; where no side has that
// room, the side that shows the most, the size cut to the room but not below `least`. Always
// moved within `available` as KeptWithin moves it. Pure.
QRect BesideWithin(const QRect& neighbour, QSize wanted, QSize least, const QRect& available, int gap);

} // namespace gustara
