#include "MemoryPages.h"

#include <windows.h>

namespace gustara {

std::size_t ReturnUnusedPages(uint8_t* start, std::size_t used, std::size_t size)
{
    static const std::uintptr_t page = [] {
        SYSTEM_INFO system{};
        ::GetSystemInfo(&system);
        return static_cast<std::uintptr_t>(system.dwPageSize);
    }();
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (address + used + page - 1) & ~(page - 1);
    const std::uintptr_t end = (address + size) & ~(page - 1);
    if (end <= first)
        return used;
    // The pages stay committed, so this holds for the heap's memory too; their contents may go.
    ::VirtualAlloc(reinterpret_cast<void*>(first), end - first, MEM_RESET, PAGE_READWRITE);
    return end - address;
}

uint8_t* MapZeroedPages(std::size_t bytes)
{
    return static_cast<uint8_t*>(::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void UnmapPages(uint8_t* pages, std::size_t)
{
    ::VirtualFree(pages, 0, MEM_RELEASE);
}

uint64_t PhysicalMemoryBytes()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return ::GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

} // namespace gustara
