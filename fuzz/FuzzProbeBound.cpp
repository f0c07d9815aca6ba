// libFuzzer harness: the header probe that sizes a picture for the memory budget must never
// promise less than the decoder then allocates. One format, chosen by the extension this
// program is built with; aborts when a picture decodes larger than its probe said.

#include "EngineError.h"
#include "read/PictureReader.h"
#include "ScratchFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size > (1 << 20))
        return -1;
    const std::string path = gustara::fuzz::WriteScratchFile(data, size);
    if (path.empty())
        return 0;
    const auto probed = gustara::ProbePicture(path);
    if (!probed)
        return 0;  // unknown: the batch runs such a picture alone
    try {
        const gustara::PictureRaster picture = gustara::ReadPicture(path);
        if (picture.width() > probed->width || picture.height() > probed->height) {
            std::fprintf(stderr, "probed %lld x %lld, decoded %d x %d\n", static_cast<long long>(probed->width),
                         static_cast<long long>(probed->height), picture.width(), picture.height());
            std::abort();
        }
    } catch (const gustara::EngineError&) {
    }
    return 0;
}
