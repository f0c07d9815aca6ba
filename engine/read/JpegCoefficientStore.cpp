#include "read/JpegCoefficientStore.h"

#include "MemoryPages.h"

#include <cstddef>

#include <jerror.h>

namespace gustara {

// One array of block rows in an anonymous mapping of its own: zero-filled when first touched, so
// libjpeg's request to pre-zero costs nothing; released page by page as the output pass moves on.
struct CoefficientArray {
    CoefficientArray* next;
    JDIMENSION rows;
    JDIMENSION blocksPerRow;
    JDIMENSION maxAccess;
    bool preZero;
    JDIMENSION firstUndefinedRow;  // rows from here on were never written
    JDIMENSION firstKeptRow;       // rows above it may have been released
    std::size_t releasedBytes;     // the mapping's first bytes already handed back, whole pages
    unsigned char* blocks;         // null until realised
    std::size_t mappedBytes;
    JBLOCKARRAY rowPointers;
};

namespace {

JpegCoefficientStore& StoreOf(j_common_ptr object)
{
    return *static_cast<JpegCoefficientStore*>(object->client_data);
}

CoefficientArray* ArrayOf(jvirt_barray_ptr handle)
{
    return reinterpret_cast<CoefficientArray*>(handle);
}

std::size_t RowBytes(const CoefficientArray& array)
{
    return std::size_t{array.blocksPerRow} * sizeof(JBLOCK);
}

void UnmapArrays(JpegCoefficientStore& store)
{
    for (CoefficientArray* array = store.arrays; array; array = array->next) {
        if (array->blocks)
            UnmapPages(array->blocks, array->mappedBytes);
        array->blocks = nullptr;
    }
    store.arrays = nullptr;
}

jvirt_barray_ptr RequestArray(j_common_ptr object, int poolId, boolean preZero, JDIMENSION blocksPerRow,
                              JDIMENSION rows, JDIMENSION maxAccess)
{
    if (poolId != JPOOL_IMAGE)
        ERREXIT1(object, JERR_BAD_POOL_ID, poolId);
    JpegCoefficientStore& store = StoreOf(object);
    auto* array = static_cast<CoefficientArray*>(object->mem->alloc_small(object, JPOOL_IMAGE, sizeof(CoefficientArray)));
    *array = CoefficientArray{store.arrays, rows, blocksPerRow, maxAccess, preZero != FALSE, 0, 0, 0, nullptr, 0, nullptr};
    store.arrays = array;
    return reinterpret_cast<jvirt_barray_ptr>(array);
}

void RealiseArrays(j_common_ptr object)
{
    JpegCoefficientStore& store = StoreOf(object);
    store.libraryMethods.realize_virt_arrays(object);  // libjpeg's own sample arrays, if any
    for (CoefficientArray* array = store.arrays; array; array = array->next) {
        if (array->blocks || array->rows == 0 || array->blocksPerRow == 0)
            continue;
        std::size_t bytes = 0;
        if (__builtin_mul_overflow(RowBytes(*array), std::size_t{array->rows}, &bytes))
            ERREXIT1(object, JERR_OUT_OF_MEMORY, 11);
        uint8_t* mapping = MapZeroedPages(bytes);
        if (mapping == nullptr)
            ERREXIT1(object, JERR_OUT_OF_MEMORY, 11);
        array->blocks = mapping;
        array->mappedBytes = bytes;
        array->rowPointers = static_cast<JBLOCKARRAY>(
            object->mem->alloc_large(object, JPOOL_IMAGE, std::size_t{array->rows} * sizeof(JBLOCKROW)));
        for (JDIMENSION row = 0; row < array->rows; ++row)
            array->rowPointers[row] = reinterpret_cast<JBLOCKROW>(array->blocks + row * RowBytes(*array));
    }
}

// Hands back the whole pages that lie above `row`, 256 KiB or more at a time: each call
// interrupts the other cores that run this process's threads, to flush their address caches.
void ReleaseRowsAbove(CoefficientArray& array, JDIMENSION row)
{
    if (row <= array.firstKeptRow)
        return;
    array.firstKeptRow = row;
    constexpr std::size_t kLeastRelease = std::size_t{1} << 18;
    const std::size_t end = row * RowBytes(array);
    if (end >= array.releasedBytes + kLeastRelease)
        array.releasedBytes = ReturnUnusedPages(array.blocks, array.releasedBytes, end);
}

// The checks of libjpeg's own manager, so that a damaged file fails the same way with the store.
JBLOCKARRAY AccessArray(j_common_ptr object, jvirt_barray_ptr handle, JDIMENSION startRow, JDIMENSION rowCount,
                        boolean writable)
{
    CoefficientArray& array = *ArrayOf(handle);
    const JDIMENSION endRow = startRow + rowCount;
    if (endRow < startRow || endRow > array.rows || rowCount > array.maxAccess || !array.blocks)
        ERREXIT(object, JERR_BAD_VIRTUAL_ACCESS);
    if (startRow < array.firstKeptRow)
        ERREXIT(object, JERR_VIRTUAL_BUG);
    if (array.firstUndefinedRow < endRow) {
        if (array.firstUndefinedRow < startRow && writable)
            ERREXIT(object, JERR_BAD_VIRTUAL_ACCESS);  // a writer skipped rows
        if (!array.preZero && !writable)
            ERREXIT(object, JERR_BAD_VIRTUAL_ACCESS);  // a reader looks at rows never written
        if (writable)
            array.firstUndefinedRow = endRow;
    }
    if (StoreOf(object).outputStarted && !writable)
        ReleaseRowsAbove(array, startRow);
    return array.rowPointers + startRow;
}

void FreePool(j_common_ptr object, int poolId)
{
    JpegCoefficientStore& store = StoreOf(object);
    if (poolId == JPOOL_IMAGE)
        UnmapArrays(store);
    store.libraryMethods.free_pool(object, poolId);
}

void SelfDestruct(j_common_ptr object)
{
    JpegCoefficientStore& store = StoreOf(object);
    UnmapArrays(store);
    store.libraryMethods.self_destruct(object);
}

} // namespace

void InstallCoefficientStore(j_decompress_ptr info, JpegCoefficientStore* store)
{
    store->libraryMethods = *info->mem;
    info->client_data = store;
    info->mem->request_virt_barray = RequestArray;
    info->mem->realize_virt_arrays = RealiseArrays;
    info->mem->access_virt_barray = AccessArray;
    info->mem->free_pool = FreePool;
    info->mem->self_destruct = SelfDestruct;
}

void StartReleasingCoefficients(JpegCoefficientStore* store)
{
    store->outputStarted = true;
}

} // namespace gustara
