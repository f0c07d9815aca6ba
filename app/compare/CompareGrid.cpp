#include "compare/CompareGrid.h"

#include <algorithm>

namespace gustara {

namespace {

CompareGrid GridOf(int columns, int rows, QSize area, int captionHeight, int spacing)
{
    const int width = (area.width() - spacing * (columns - 1)) / columns;
    const int height = (area.height() - spacing * (rows - 1)) / rows - captionHeight;
    return {columns, rows, QSize(std::max(width, 1), std::max(height, 1))};
}

// The scale at which the source fills the cell, as a fraction compared without division.
bool ShowsLarger(const CompareGrid& candidate, const CompareGrid& current, QSize source)
{
    // scale = min(cell.w / source.w, cell.h / source.h), compared over the common denominator.
    const auto scale = [source](QSize cell) {
        return std::min(static_cast<long long>(cell.width()) * source.height(),
                        static_cast<long long>(cell.height()) * source.width());
    };
    return scale(candidate.cell) > scale(current.cell);
}

} // namespace

CompareGrid ChooseCompareGrid(QSize area, QSize shownSource, int captionHeight, int spacing)
{
    const CompareGrid row = GridOf(4, 1, area, captionHeight, spacing);
    if (shownSource.isEmpty())
        return row;
    const CompareGrid square = GridOf(2, 2, area, captionHeight, spacing);
    return ShowsLarger(square, row, shownSource) ? square : row;
}

} // namespace gustara
