#pragma once

// GIF files put together byte by byte, for sizes and image counts that an encoder would not
// write with so little data.

#include <cstdint>
#include <vector>

namespace gustara::test {

// A GIF with two global colours (black, white) whose logical screen and `images` images have
// the given sizes; each image's data is a single black pixel (clear, 0, end), as a decoder
// sees it in a cut-down file.
inline std::vector<uint8_t> TinyGif(uint16_t screenWidth, uint16_t screenHeight, uint16_t imageWidth,
                                    uint16_t imageHeight, int images = 1)
{
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    const auto appendLe16 = [&gif](uint16_t value) {
        gif.push_back(static_cast<uint8_t>(value));
        gif.push_back(static_cast<uint8_t>(value >> 8));
    };
    appendLe16(screenWidth);
    appendLe16(screenHeight);
    gif.insert(gif.end(), {0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
    for (int i = 0; i < images; ++i) {
        gif.push_back(0x2C);
        appendLe16(0);
        appendLe16(0);
        appendLe16(imageWidth);
        appendLe16(imageHeight);
        gif.insert(gif.end(), {0, 2, 2, 0x44, 0x01, 0});
    }
    gif.push_back(0x3B);
    return gif;
}

} // namespace gustara::test
