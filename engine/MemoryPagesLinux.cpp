#include "MemoryPages.h"

#include <sys/mman.h>
#include <unistd.h>

namespace gustara {

std::size_t ReturnUnusedPages(uint8_t* start, std::size_t used, std::size_t size)
{
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (address + used + page - 1) & ~(page - 1);
    const std::uintptr_t end = (address + size) & ~(page - 1);
    if (end <= first)
        return used;
    ::madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
    return end - address;
}

uint8_t* MapZeroedPages(std::size_t bytes)
{
    void* mapping = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return mapping == MAP_FAILED ? nullptr : static_cast<uint8_t*>(mapping);
}

void UnmapPages(uint8_t* pages, std::size_t bytes)
{
    ::munmap(pages, bytes);
}

uint64_t PhysicalMemoryBytes()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

} // namespace gustara
