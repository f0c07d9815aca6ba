#pragma once

#include <string>

namespace gustara::cli {

// gustara-cli --help in the current language, from the options' rows, wrapped to 80 columns.
// Throws only bad_alloc.
std::string HelpText();

} // namespace gustara::cli
