#pragma once

#include <cstddef>

namespace gustara {

// Asks the kernel to back the whole 2 MiB pages inside [start, start + size) with huge pages,
// so that the first write to each costs one page fault instead of 512; for a camera picture
// the faults of a raster filled page by page come to a tenth of its decoding time. Regions
// below 4 MiB are left alone. Only advice: nothing changes when the kernel declines it, and
// it never fails.
void AdviseHugePages(void* start, std::size_t size);

// Gives the memory of the whole 2 MiB pages of [start + used, start + size) back to the system
// while the range stays mapped: a later write there finds fresh zeroed pages. Pages partly in
// use are kept. Only advice: it never fails.
void ReturnUnusedPages(void* start, std::size_t used, std::size_t size);

} // namespace gustara
