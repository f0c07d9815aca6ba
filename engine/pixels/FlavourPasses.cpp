#include "pixels/FlavourPasses.h"

#include <algorithm>
#include <cmath>

namespace gustara {

namespace {

// Applies `change` to every channel value of the raster.
template <typename Change>
void ForEachChannel(PictureRaster& picture, Change change)
{
    for (int32_t y = 0; y < picture.height(); ++y) {
        uint8_t* pixel = picture.row(y);
        for (int32_t x = 0; x < picture.width(); ++x, pixel += 3) {
            pixel[0] = change(0, pixel[0]);
            pixel[1] = change(1, pixel[1]);
            pixel[2] = change(2, pixel[2]);
        }
    }
}

} // namespace

uint8_t ClampToByte(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 255.0)
        return 255;
    // nearbyint follows the default rounding mode, nearest with ties to even; std::round
    // would send halves away from zero.
    return static_cast<uint8_t>(std::nearbyint(value));
}

uint8_t ClampTenthsToByte(int32_t tenths)
{
    // The quotient of an integer by 10 is correctly rounded, so an exact half stays exact.
    return ClampToByte(static_cast<double>(tenths) / 10.0);
}

void WarmTone(PictureRaster& picture, int level)
{
    // The factors are held as doubles; the blue factor of level 3 lies just below 0.7,
    // which rounds the three exact halves 31.5, 59.5 and 115.5 down.
    const double greenFactor = 0.9;
    const double blueFactor = 1.0 - 0.1 * level;
    ForEachChannel(picture, [&](int channel, uint8_t value) -> uint8_t {
        switch (channel) {
        case 1:
            return ClampToByte(value * greenFactor);
        case 2:
            return ClampToByte(value * blueFactor);
        default:
            return value;
        }
    });
}

void AddBrightness(PictureRaster& picture, int amount)
{
    ForEachChannel(picture, [&](int, uint8_t value) {
        return static_cast<uint8_t>(std::clamp(value + amount, 0, 255));
    });
}

void StretchContrast(PictureRaster& picture, int amount)
{
    const double factor = amount / 100.0;
    ForEachChannel(picture, [&](int, uint8_t value) {
        return ClampToByte(value + (value - 127.5) * factor);
    });
}

void BoostSaturation(PictureRaster& picture)
{
    for (int32_t y = 0; y < picture.height(); ++y) {
        uint8_t* pixel = picture.row(y);
        for (int32_t x = 0; x < picture.width(); ++x, pixel += 3) {
            const int32_t red = pixel[0];
            const int32_t green = pixel[1];
            const int32_t blue = pixel[2];
            pixel[0] = ClampTenthsToByte(12 * red - green - blue);
            pixel[1] = ClampTenthsToByte(12 * green - red - blue);
            pixel[2] = ClampTenthsToByte(12 * blue - red - green);
        }
    }
}

} // namespace gustara
