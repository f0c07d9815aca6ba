#pragma once

// The one file a harness process writes its input to, named with the extension the harness is
// built with, since the readers choose by extension.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace gustara::fuzz {

// Writes the input to this process's scratch file and returns its path; empty when it cannot.
inline std::string WriteScratchFile(const uint8_t* data, std::size_t size)
{
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder ? folder : "/tmp") + "/gustara-fuzz-" + std::to_string(::getpid())
             + GUSTARA_FUZZ_EXTENSION;
    }();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return {};
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

} // namespace gustara::fuzz
