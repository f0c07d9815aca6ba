// libFuzzer harness: one decoder, chosen by the extension this program is built with, fed
// through the engine's LoadPicture exactly as a dropped file would be.

#include "EngineError.h"
#include "UnitThPicConvert.h"

#include "ScratchFile.h"

#include <cstdint>
#include <string>

namespace {

// Inputs beyond this are not interesting and only slow the fuzzer down.
constexpr std::size_t kMaxInputBytes = 1 << 20;

} // namespace

// Keeps the work from being optimised away.
volatile unsigned gSink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size > kMaxInputBytes)
        return -1;
    const std::string path = gustara::fuzz::WriteScratchFile(data, size);
    if (path.empty())
        return 0;

    gustara::TthPicConvert engine;
    gustara::PictureRaster picture;
    try {
        engine.LoadPicture(path, picture);
        // Touch every byte so that a wrong size shows up under AddressSanitizer.
        unsigned sum = 0;
        for (int32_t y = 0; y < picture.height(); ++y)
            for (std::size_t x = 0; x < picture.stride(); ++x)
                sum += picture.row(y)[x];
        gSink = sum;
    } catch (const gustara::EngineError&) {
    }
    return 0;
}
