// libFuzzer harness: one decoder, chosen by the extension this program is built with, fed
// through the engine's LoadPicture exactly as a dropped file would be.

#include "EngineError.h"
#include "UnitThPicConvert.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// Inputs beyond this are not interesting and only slow the fuzzer down.
constexpr std::size_t kMaxInputBytes = 1 << 20;

std::string ScratchPath()
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder ? folder : "/tmp") + "/gustara-fuzz-" + std::to_string(::getpid()) + GUSTARA_FUZZ_EXTENSION;
}

} // namespace

// Keeps the work from being optimised away.
volatile unsigned gSink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size > kMaxInputBytes)
        return -1;
    static const std::string path = ScratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

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
