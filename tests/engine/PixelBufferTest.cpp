#include "PixelBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace gustara {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Bytes of [data, data + size) in memory, by whole system pages.
std::size_t ResidentBytes(const uint8_t* data, std::size_t size)
{
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
    const std::size_t pages = (reinterpret_cast<std::uintptr_t>(data) + size - start + page - 1) / page;
    std::vector<unsigned char> inMemory(pages);
    if (::mincore(reinterpret_cast<void*>(start), pages * page, inMemory.data()) != 0)
        return SIZE_MAX;
    return page * static_cast<std::size_t>(std::count_if(inMemory.begin(), inMemory.end(),
                                                         [](unsigned char p) { return (p & 1) != 0; }));
}

// During a batch a freed block serves the next buffer that it can hold, and a block too small
// for the next one makes way for a fresh one; every byte of the buffer can be written. A
// reused block is resident at once, or, AsWritten, no more than the part of a page before its
// first whole one.
TEST(PixelBuffer, BlocksAreReusedWhileReuseLasts)
{
    using enum PixelBuffer::Residency;
    const struct {
        std::size_t first;
        std::size_t second;
        PixelBuffer::Residency residency;
        bool sameBlock;
    } cases[] = {{4 * kMiB, 4 * kMiB, AtOnce, true},
                 {8 * kMiB, 3 * kMiB, AtOnce, true},
                 {8 * kMiB, 6 * kMiB, AsWritten, true},
                 {2 * kMiB, 6 * kMiB, AtOnce, false}};
    for (const auto& c : cases) {
        const PixelBufferReuse reuse(std::numeric_limits<uint64_t>::max());
        const uint8_t* firstBlock = nullptr;
        {
            const PixelBuffer first(c.first);
            std::memset(first.data(), 0x5A, c.first);
            firstBlock = first.data();
        }
        const PixelBuffer second(c.second, c.residency);
        if (c.sameBlock) {
            EXPECT_EQ(second.data(), firstBlock) << c.first << " then " << c.second;
            const std::size_t resident = ResidentBytes(second.data(), c.second);
            if (c.residency == AtOnce) {
                EXPECT_GE(resident, c.second) << c.first << " then " << c.second;
            } else {
                EXPECT_LE(resident, static_cast<std::size_t>(::sysconf(_SC_PAGESIZE))) << c.first << " then " << c.second;
            }
        }
        std::memset(second.data(), 0xA5, c.second);
    }
}

} // namespace
} // namespace gustara
