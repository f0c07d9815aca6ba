#include "PixelBuffer.h"

#include "MemoryPages.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace gustara {

namespace {

// Smaller blocks come from the allocator's own free lists, which already reuse them.
constexpr std::size_t kKeptFrom = std::size_t{1} << 20;

struct Block {
    uint8_t* data = nullptr;
    std::size_t capacity = 0;
};

struct KeptBlocks {
    std::mutex mutex;
    int spans = 0;
    uint64_t budget = std::numeric_limits<uint64_t>::max();
    uint64_t inUse = 0;  // bytes of the counted blocks handed out
    uint64_t keptBytes = 0;
    std::vector<Block> kept;
};

KeptBlocks& Kept()
{
    static KeptBlocks blocks;
    return blocks;
}

// What the kept blocks offer a buffer of `size` bytes, taken out of them: the smallest block
// large enough; else the largest, now too small to be worth keeping, to make room for a new one.
struct Offer {
    Block fitting;
    Block outgrown;
};

Offer TakeKept(KeptBlocks& blocks, std::size_t size)
{
    const auto byCapacity = [](const Block& a, const Block& b) { return a.capacity < b.capacity; };
    auto chosen = blocks.kept.end();
    for (auto block = blocks.kept.begin(); block != blocks.kept.end(); ++block) {
        if (block->capacity >= size && (chosen == blocks.kept.end() || byCapacity(*block, *chosen)))
            chosen = block;
    }
    const bool fits = chosen != blocks.kept.end();
    if (!fits)
        chosen = std::max_element(blocks.kept.begin(), blocks.kept.end(), byCapacity);
    if (chosen == blocks.kept.end())
        return {};
    const Block taken = *chosen;
    blocks.kept.erase(chosen);
    blocks.keptBytes -= taken.capacity;
    return fits ? Offer{taken, {}} : Offer{{}, taken};
}

} // namespace

PixelBuffer::PixelBuffer(std::size_t size, Residency residency)
{
    if (size == 0)
        return;
    Offer offer;
    if (size >= kKeptFrom) {
        KeptBlocks& blocks = Kept();
        const std::lock_guard lock(blocks.mutex);
        if (blocks.spans > 0) {
            offer = TakeKept(blocks, size);
            counted_ = true;
            blocks.inUse += offer.fitting.data ? offer.fitting.capacity : size;
        }
    }
    // Freed before the new block is touched, so that the two are never resident together.
    std::free(offer.outgrown.data);
    if (offer.fitting.data) {
        // The rest of a larger picture's block would stay resident beside what this picture
        // needs besides its raster, such as a progressive JPEG's coefficients.
        ReturnUnusedPages(offer.fitting.data, residency == Residency::AtOnce ? size : 0, offer.fitting.capacity);
        data_ = offer.fitting.data;
        capacity_ = offer.fitting.capacity;
        return;
    }
    data_ = static_cast<uint8_t*>(std::malloc(size));
    if (data_ == nullptr) {
        if (counted_) {
            KeptBlocks& blocks = Kept();
            const std::lock_guard lock(blocks.mutex);
            blocks.inUse -= size;
        }
        throw std::bad_alloc();
    }
    capacity_ = size;
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      counted_(std::exchange(other.counted_, false))
{
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        counted_ = std::exchange(other.counted_, false);
    }
    return *this;
}

PixelBuffer::~PixelBuffer()
{
    release();
}

void PixelBuffer::release() noexcept
{
    if (data_ == nullptr)
        return;
    if (counted_) {
        KeptBlocks& blocks = Kept();
        const std::lock_guard lock(blocks.mutex);
        blocks.inUse -= capacity_;
        if (blocks.spans > 0 && blocks.inUse + blocks.keptBytes + capacity_ <= blocks.budget) {
            try {
                blocks.kept.push_back({data_, capacity_});
                blocks.keptBytes += capacity_;
                data_ = nullptr;
                return;
            } catch (const std::bad_alloc&) {  // no room to note it: it goes back
            }
        }
    }
    std::free(data_);
    data_ = nullptr;
}

PixelBufferReuse::PixelBufferReuse(uint64_t budgetBytes)
{
    KeptBlocks& blocks = Kept();
    const std::lock_guard lock(blocks.mutex);
    blocks.budget = blocks.spans++ == 0 ? budgetBytes : std::min(blocks.budget, budgetBytes);
}

PixelBufferReuse::~PixelBufferReuse()
{
    std::vector<Block> released;
    {
        KeptBlocks& blocks = Kept();
        const std::lock_guard lock(blocks.mutex);
        if (--blocks.spans > 0)
            return;
        released.swap(blocks.kept);
        blocks.keptBytes = 0;
        blocks.budget = std::numeric_limits<uint64_t>::max();
    }
    for (const Block& block : released)
        std::free(block.data);
}

} // namespace gustara
