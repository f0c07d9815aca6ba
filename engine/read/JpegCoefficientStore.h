#pragma once

#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>

namespace gustara {

struct CoefficientArray;

// Holds the whole-picture coefficient arrays that libjpeg needs for a progressive (or any
// multi-scan) file in place of its own memory manager, so that the memory of each block row goes
// back to the system once the output pass has moved past it. libjpeg must keep every coefficient
// of such a file until it writes the first row; without this the whole coefficient buffer (as
// large as the raster again, or larger) stays allocated while the raster fills.
//
// The store lives as long as the decompression object and owns nothing once the object has been
// destroyed. All its callbacks are plain C-style code: they report errors through libjpeg's own
// error exit.
struct JpegCoefficientStore {
    jpeg_memory_mgr libraryMethods{};  // libjpeg's memory manager methods that the store wraps
    CoefficientArray* arrays = nullptr;
    bool outputStarted = false;
};

// Takes over the coefficient arrays of `info`, right after jpeg_create_decompress. Uses the
// object's client_data.
void InstallCoefficientStore(j_decompress_ptr info, JpegCoefficientStore* store);

// Called once jpeg_start_decompress has returned: from then on every read of block rows starts
// at or after the previous one, so the rows above it are released.
void StartReleasingCoefficients(JpegCoefficientStore* store);

} // namespace gustara
