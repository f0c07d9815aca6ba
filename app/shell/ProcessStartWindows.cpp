#include "shell/ProcessStart.h"

#include <cstdio>

#include <windows.h>

namespace gustara {

void PrepareProcess()
{
    // A folder on a missing drive or an empty card reader fails the picture with a message
    // of our own instead of a system box asking to insert a disk.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // A window program has no console of its own: "gustara --help" typed in one answers
    // there, unless its output goes to a file or a pipe already.
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        (void)std::freopen("CONOUT$", "w", stdout);
        (void)std::freopen("CONOUT$", "w", stderr);
    }
}

} // namespace gustara
