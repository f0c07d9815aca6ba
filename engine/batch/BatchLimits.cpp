#include "batch/BatchLimits.h"

#include <algorithm>
#include <limits>
#include <thread>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace gustara {

std::size_t DefaultBatchJobs()
{
    return std::max<std::size_t>(std::thread::hardware_concurrency(), 1);
}

uint64_t DefaultBatchMemoryBudget()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 4;
}

void ReturnLargeBuffersToSystem()
{
#if defined(__GLIBC__)
    // A fixed threshold also stops glibc from raising it after the first large free.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

} // namespace gustara
