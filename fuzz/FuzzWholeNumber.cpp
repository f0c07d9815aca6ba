// libFuzzer harness: the whole-number parser must accept exactly what it can represent, and
// agree with itself between the 32-bit and 64-bit ranges.

#include "rules/WholeNumber.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size > 64)
        return -1;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto narrow = gustara::ParseWholeNumber32(text);
    const auto wide = gustara::ParseWholeNumber64(text);
    if (narrow && (!wide || *wide != *narrow))
        std::abort();
    if (wide && !narrow && *wide >= INT32_MIN && *wide <= INT32_MAX)
        std::abort();
    return 0;
}
