#pragma once

// The terminal that standard error writes to, and the command line the program was started
// with: one file per system behind this header.

#include <cstddef>
#include <string>
#include <vector>

namespace gustara::cli {

// Readies the process for the command line (the console for UTF-8 and cursor movements, standard
// output and error binary, a write over a file-size limit a failure rather than the end) and
// returns its arguments, the program's name first, as UTF-8 file names and text. Throws only
// bad_alloc.
std::vector<std::string> StartCommandLine(int argc, char** argv);

// The width in columns of the terminal that standard error writes to, or 0 when standard error
// is no terminal (a file, a pipe). A terminal that does not tell its width counts as 80
// columns. Does not fail.
std::size_t StandardErrorColumns();

} // namespace gustara::cli
