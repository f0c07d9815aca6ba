#include "shell/ProcessStart.h"

#include <windows.h>

namespace gustara {

void PrepareProcess()
{
    // A folder on a missing drive or an empty card reader fails the picture with a message
    // of our own instead of a system box asking to insert a disk.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

} // namespace gustara
