#pragma once

#include <cstddef>

namespace gustara::bench {

// The program's heap as counted by its own malloc family (this file's replacements of malloc,
// calloc, realloc, free and the aligned allocators, which every library of the program uses):
// bytes in use now, and the most in use since the last ResetHeapPeak. Never fails.
std::size_t HeapInUse();
std::size_t HeapPeak();
void ResetHeapPeak();

} // namespace gustara::bench
