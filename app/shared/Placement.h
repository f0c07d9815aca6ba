#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace gustara {

// Puts `control` at `place` within its parent and keeps that as the place that FitToTexts
// starts from. Does not fail.
void SetPlace(QWidget& control, const QRect& place);

// Names a control of a fixed layout (its object name, by which the settings table finds it)
// and puts it at left, top with the given size, in pixels within its parent.
// Returns the control. Does not fail.
template <class Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    SetPlace(*widget, QRect(left, top, width, height));
    return widget;
}

// The same for a control that takes the size of its content (a label the size of its text).
template <class Widget>
Widget* Place(Widget* widget, const char* name, int left, int top)
{
    widget->adjustSize();
    return Place(widget, name, left, top, widget->width(), widget->height());
}

// Fits the controls inside `container` to their texts, as a change of language needs: each
// descendant put by SetPlace (or Place) goes back to that place and size, then a button, label or
// list whose text does not fit (TextShortfall) grows to the right by what it lacks, and a control that holds others
// grows to hold them with the right margin it had. Controls marked by SetKeepsItsWidth (a label
// that elides its text) keep their size; only group boxes and plain widgets are entered, and
// children of other windows are left alone. Returns how many pixels further to the right the
// shown children now reach than at their places (0 when they do not), the width that
// `container` must grow by. Does not fail.
int FitToTexts(QWidget& container);
// How many pixels wider the text of `control` (a label, a button or every entry of a list) is
// than the room its style leaves for it at its present size; 0 or less when it fits. Does not
// fail.
int TextShortfall(const QWidget& control);
// Marks `control` as one that FitToTexts leaves at its size.
void SetKeepsItsWidth(QWidget& control);
bool KeepsItsWidth(const QWidget& control);

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
