// libFuzzer harness: the drop message builder over arbitrary entries (reasons and names with
// commas, CR LF, invalid UTF-8, empty parts).

#include "rules/DropRules.h"

#include <cstdint>
#include <string>
#include <vector>

// Keeps the work from being optimised away.
volatile std::size_t gSink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size > 4096)
        return -1;
    std::vector<std::string> entries(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            entries.emplace_back();
        else
            entries.back() += static_cast<char>(data[i]);
    }
    const std::string message = gustara::BuildErrorMessage(entries);
    gSink = message.size();
    return 0;
}
