#include "HugePages.h"

#include <cstdint>

#include <sys/mman.h>

namespace gustara {

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

} // namespace

void AdviseHugePages(void* start, std::size_t size)
{
    if (size < 2 * kHugePage)
        return;
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (address + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (address + size) & ~(kHugePage - 1);
    if (end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

void ReturnUnusedPages(void* start, std::size_t used, std::size_t size)
{
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (address + used + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (address + size) & ~(kHugePage - 1);
    if (end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}

} // namespace gustara
