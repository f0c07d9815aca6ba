#pragma once

#include <cstddef>
#include <cstdint>

namespace gustara {

// Gives the memory of the whole system pages of [start + used, start + size) back to the
// system while the range stays mapped: a later write there finds fresh zeroed pages. Pages
// partly in use are kept. Returns the offset from `start` where the pages given back end
// (`used` when there were none). Only advice: it never fails.
std::size_t ReturnUnusedPages(uint8_t* start, std::size_t used, std::size_t size);

} // namespace gustara
