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

} // namespace gustara
