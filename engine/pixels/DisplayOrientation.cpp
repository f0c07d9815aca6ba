#include "pixels/DisplayOrientation.h"

#include <cstring>

namespace gustara {

namespace {

// Where the shown pixel (x, y) lies in the stored picture: (x, y), or (y, x) when the sides
// are exchanged, then mirrored along the stored width and height as asked.
struct StoredLookup {
    bool swap;
    bool mirrorAcross;  // stored column counted from the right
    bool mirrorDown;    // stored row counted from the bottom
};

StoredLookup LookupOf(uint16_t orientation)
{
    static constexpr StoredLookup kByOrientation[] = {
        {false, false, false}, // 1: as stored
        {false, true, false},  // 2: mirrored left to right
        {false, true, true},   // 3: turned half round
        {false, false, true},  // 4: mirrored top to bottom
        {true, false, false},  // 5: mirrored along the main diagonal
        {true, false, true},   // 6: shown turned a quarter clockwise
        {true, true, true},    // 7: mirrored along the other diagonal
        {true, true, false},   // 8: shown turned a quarter anticlockwise
    };
    return orientation >= 1 && orientation <= 8 ? kByOrientation[orientation - 1] : kByOrientation[0];
}

} // namespace

PictureRaster TurnedUpright(const PictureRaster& picture)
{
    const StoredLookup lookup = LookupOf(picture.metadata().orientation);
    const int32_t width = picture.width();
    const int32_t height = picture.height();
    PictureRaster shown(lookup.swap ? height : width, lookup.swap ? width : height);
    shown.metadata().iccProfile = picture.metadata().iccProfile;
    if (!lookup.swap && !lookup.mirrorAcross) {
        // Rows stay whole: each is copied at once.
        for (int32_t y = 0; y < height; ++y) {
            const int32_t stored = lookup.mirrorDown ? height - 1 - y : y;
            std::memcpy(shown.row(y), picture.row(stored), 3 * static_cast<std::size_t>(width));
        }
        return shown;
    }
    for (int32_t y = 0; y < shown.height(); ++y) {
        uint8_t* out = shown.row(y);
        for (int32_t x = 0; x < shown.width(); ++x) {
            int32_t u = lookup.swap ? y : x;
            int32_t v = lookup.swap ? x : y;
            u = lookup.mirrorAcross ? width - 1 - u : u;
            v = lookup.mirrorDown ? height - 1 - v : v;
            std::memcpy(out + 3 * x, picture.row(v) + 3 * u, 3);
        }
    }
    return shown;
}

} // namespace gustara
