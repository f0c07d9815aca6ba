#include "shared/Placement.h"

#include <algorithm>

namespace gustara {

QPoint KeptWithin(const QRect& frame, const QRect& available)
{
    // Right and bottom first, so that a frame too large for the area keeps its top-left corner in it.
    const int x = std::max(std::min(frame.left(), available.right() + 1 - frame.width()), available.left());
    const int y = std::max(std::min(frame.top(), available.bottom() + 1 - frame.height()), available.top());
    return {x, y};
}

QRect BesideWithin(const QRect& neighbour, QSize wanted, QSize least, const QRect& available, int gap)
{
    // Right, left, below, above: the room each side leaves within the area.
    const QSize rooms[] = {
        {available.right() - neighbour.right() - gap, available.height()},
        {neighbour.left() - gap - available.left(), available.height()},
        {available.width(), available.bottom() - neighbour.bottom() - gap},
        {available.width(), neighbour.top() - gap - available.top()},
    };
    const auto shownArea = [wanted](QSize room) {
        const QSize shown = wanted.boundedTo(room).expandedTo(QSize(0, 0));
        return static_cast<long long>(shown.width()) * shown.height();
    };
    std::size_t side = 0;
    for (std::size_t i = 0; i < std::size(rooms); ++i) {
        if (shownArea(rooms[i]) > shownArea(rooms[side]))
            side = i;
    }
    const QSize size = wanted.boundedTo(rooms[side]).expandedTo(least);
    const QPoint at[] = {
        {neighbour.right() + 1 + gap, neighbour.top()},
        {neighbour.left() - gap - size.width(), neighbour.top()},
        {neighbour.left(), neighbour.bottom() + 1 + gap},
        {neighbour.left(), neighbour.top() - gap - size.height()},
    };
    return {KeptWithin(QRect(at[side], size), available), size};
}

} // namespace gustara
