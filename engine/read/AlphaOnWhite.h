#pragma once

#include <cstdint>

namespace gustara {

// One RGBA pixel flattened onto white, as every reader of a format with alpha does it:
// out = (c * a + 255 * (255 - a) + 255) >> 8 per channel, so a = 255 keeps the colour and
// a = 0 gives white. Never fails.
inline void FlattenOntoWhite(const uint8_t* rgba, uint8_t* rgb)
{
    const unsigned alpha = rgba[3];
    const unsigned white = 255 * (255 - alpha) + 255;
    for (int channel = 0; channel < 3; ++channel)
        rgb[channel] = static_cast<uint8_t>((rgba[channel] * alpha + white) >> 8);
}

} // namespace gustara
