#include "batch/BatchLimits.h"

#include "MemoryPages.h"

#include <algorithm>
#include <limits>
#include <sched.h>
#include <thread>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace gustara {

std::size_t DefaultBatchJobs()
{
#if defined(__linux__)
    // The cores this process may run on, which a container or taskset may hold below all.
    cpu_set_t cores;
    if (::sched_getaffinity(0, sizeof cores, &cores) == 0)
        return std::max(CPU_COUNT(&cores), 1);
#endif
    return std::max<std::size_t>(std::thread::hardware_concurrency(), 1);
}

uint64_t DefaultBatchMemoryBudget()
{
    const uint64_t physical = PhysicalMemoryBytes();
    return physical == 0 ? std::numeric_limits<uint64_t>::max() : physical / 4;
}

void ReturnLargeBuffersToSystem()
{
#if defined(__GLIBC__)
    // A fixed threshold also stops glibc from raising it after the first large free.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

} // namespace gustara
