#include "shell/ProcessStart.h"

#include <csignal>

namespace gustara {

void PrepareProcess()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace gustara
