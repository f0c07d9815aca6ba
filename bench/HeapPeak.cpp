#include "HeapPeak.h"

#include <atomic>
#include <cerrno>
#include <malloc.h>

// glibc's own allocator under its internal names; the replacements below count around it.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

std::atomic<std::size_t> inUse{0};
std::atomic<std::size_t> peak{0};

void* Counted(void* pointer)
{
    if (pointer) {
        const std::size_t now = inUse.fetch_add(malloc_usable_size(pointer)) + malloc_usable_size(pointer);
        std::size_t highest = peak.load();
        while (now > highest && !peak.compare_exchange_weak(highest, now)) {
        }
    }
    return pointer;
}

void Uncount(void* pointer)
{
    if (pointer)
        inUse.fetch_sub(malloc_usable_size(pointer));
}

} // namespace

extern "C" {

void* malloc(std::size_t size)
{
    return Counted(__libc_malloc(size));
}

void* calloc(std::size_t count, std::size_t size)
{
    return Counted(__libc_calloc(count, size));
}

void* realloc(void* pointer, std::size_t size)
{
    Uncount(pointer);
    return Counted(__libc_realloc(pointer, size));
}

void free(void* pointer)
{
    Uncount(pointer);
    __libc_free(pointer);
}

void* memalign(std::size_t alignment, std::size_t size)
{
    return Counted(__libc_memalign(alignment, size));
}

void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    return Counted(__libc_memalign(alignment, size));
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size)
{
    void* pointer = Counted(__libc_memalign(alignment, size));
    if (!pointer)
        return ENOMEM;
    *result = pointer;
    return 0;
}

} // extern "C"

namespace gustara::bench {

std::size_t HeapInUse()
{
    return inUse.load();
}

std::size_t HeapPeak()
{
    return peak.load();
}

void ResetHeapPeak()
{
    peak.store(inUse.load());
}

} // namespace gustara::bench
