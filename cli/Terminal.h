#pragma once

// The terminal that standard error writes to: one file per system behind this header.

#include <cstddef>

namespace gustara::cli {

// The width in columns of the terminal that standard error writes to, or 0 when standard error
// is no terminal (a file, a pipe). A terminal that does not tell its width counts as 80
// columns. Does not fail.
std::size_t StandardErrorColumns();

} // namespace gustara::cli
