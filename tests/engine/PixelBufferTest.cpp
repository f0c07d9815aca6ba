#include "PixelBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace gustara {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// During a batch a freed block serves the next buffer that it can hold, and a block too small
// for the next one makes way for a fresh one; every byte of the buffer can be written.
TEST(PixelBuffer, BlocksAreReusedWhileReuseLasts)
{
    const struct {
        std::size_t first;
        std::size_t second;
        bool sameBlock;
    } cases[] = {{4 * kMiB, 4 * kMiB, true}, {8 * kMiB, 3 * kMiB, true}, {2 * kMiB, 6 * kMiB, false}};
    for (const auto& c : cases) {
        const PixelBufferReuse reuse(std::numeric_limits<uint64_t>::max());
        const uint8_t* firstBlock = nullptr;
        {
            const PixelBuffer first(c.first);
            firstBlock = first.data();
        }
        const PixelBuffer second(c.second);
        std::memset(second.data(), 0xA5, c.second);
        if (c.sameBlock) {
            EXPECT_EQ(second.data(), firstBlock) << c.first << " then " << c.second;
        }
    }
}

} // namespace
} // namespace gustara
