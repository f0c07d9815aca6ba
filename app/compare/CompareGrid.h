#pragma once

#include <QSize>

namespace gustara {

// How the comparison window arranges its four pictures: one row of four, or two rows of two.
struct CompareGrid {
    int columns = 4;
    int rows = 1;
    QSize cell;  // the room for one picture, each side at least 1
};

// The arrangement that shows a picture of shownSource's proportions larger within `area`:
// the cells share the area less `spacing` pixels between neighbours, and each cell gives
// `captionHeight` pixels to its caption and button. One row wins a tie and is taken for an
// empty source. Pure; never fails.
CompareGrid ChooseCompareGrid(QSize area, QSize shownSource, int captionHeight, int spacing);

} // namespace gustara
