#pragma once

// The system's memory pages: one file per system behind this header.

#include <cstddef>
#include <cstdint>

namespace gustara {

// Gives the memory of the whole system pages of [start + used, start + size) back to the
// system while the range stays usable: a later write there gets a fresh page, whose earlier
// contents are not to be relied on. Pages partly in use are kept. Returns the offset from
// `start` where the pages given back end (`used` when there were none). Only advice: it never
// fails.
std::size_t ReturnUnusedPages(uint8_t* start, std::size_t used, std::size_t size);

// `bytes` of fresh memory of its own, zero-filled and taken from the system only when first
// touched; the caller owns it and gives it back through UnmapPages. nullptr when the system
// has no room; never throws.
uint8_t* MapZeroedPages(std::size_t bytes);

// Gives back memory that MapZeroedPages returned, with the size it was asked for. Never fails.
void UnmapPages(uint8_t* pages, std::size_t bytes);

// The computer's physical memory in bytes, or 0 when the system does not tell. Never fails.
uint64_t PhysicalMemoryBytes();

} // namespace gustara
