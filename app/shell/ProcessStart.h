#pragma once

namespace gustara {

// Sets up what the process needs of the system before anything else runs. On Linux a write
// over the file-size limit then fails with EFBIG and the picture fails, instead of SIGXFSZ
// killing the whole program; Windows has no such signal, but a window program started from a
// console writes its --help there. Never throws.
// (ProcessStartLinux.cpp, ProcessStartWindows.cpp)
void PrepareProcess();

} // namespace gustara
