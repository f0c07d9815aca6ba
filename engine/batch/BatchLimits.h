#pragma once

#include <cstddef>
#include <cstdint>

namespace gustara {

// How many pictures a batch works on at once unless told otherwise: one per core this
// process may run on, at least one. The window's worker and the command line's --jobs default both come from here.
std::size_t DefaultBatchJobs();

// How many bytes the pictures in flight of a batch may hold unless told otherwise: a quarter
// of the physical memory the system reports, or no limit when it reports none.
uint64_t DefaultBatchMemoryBudget();

// Makes the allocator map every buffer of a megabyte or more for itself and unmap it when it
// is freed, so a batch's memory falls back after each large picture instead of staying with
// the thread that used it. Called once at the start of a program, before its threads.
void ReturnLargeBuffersToSystem();

} // namespace gustara
