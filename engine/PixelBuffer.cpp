#include "PixelBuffer.h"

#include "HugePages.h"

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

// The kept block that serves `size` best: the smallest large enough, else the largest, to be
// grown; taken out of the kept ones. None when nothing is kept.
Block TakeKept(KeptBlocks& blocks, std::size_t size)
{
    const auto byCapacity = [](const Block& a, const Block& b) { return a.capacity < b.capacity; };
    auto chosen = blocks.kept.end();
    for (auto block = blocks.kept.begin(); block != blocks.kept.end(); ++block) {
        if (block->capacity >= size && (chosen == blocks.kept.end() || byCapacity(*block, *chosen)))
            chosen = block;
    }
    if (chosen == blocks.kept.end())
        chosen = std::max_element(blocks.kept.begin(), blocks.kept.end(), byCapacity);
    if (chosen == blocks.kept.end())
        return {};
    const Block taken = *chosen;
    blocks.kept.erase(chosen);
    blocks.keptBytes -= taken.capacity;
    return taken;
}

} // namespace

PixelBuffer::PixelBuffer(std::size_t size)
{
    if (size == 0)
        return;
    Block block;
    if (size >= kKeptFrom) {
        KeptBlocks& blocks = Kept();
        const std::lock_guard lock(blocks.mutex);
        if (blocks.spans > 0) {
            block = TakeKept(blocks, size);
            counted_ = true;
            blocks.inUse += std::max(block.capacity, size);
        }
    }
    void* memory = block.data;
    if (block.capacity < size) {
        // realloc moves a mapped block's pages without copying them, and only the added
        // pages are fresh.
        memory = block.data ? std::realloc(block.data, size) : std::malloc(size);
        if (memory == nullptr) {
            std::free(block.data);
            if (counted_) {
                KeptBlocks& blocks = Kept();
                const std::lock_guard lock(blocks.mutex);
                blocks.inUse -= size;
            }
            throw std::bad_alloc();
        }
        // Decoders fill the block page by page.
        AdviseHugePages(memory, size);
        block.capacity = size;
    }
    data_ = static_cast<uint8_t*>(memory);
    capacity_ = block.capacity;
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
