#include "Terminal.h"

#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace gustara::cli {

std::vector<std::string> StartCommandLine(int argc, char** argv)
{
    // Over a file-size limit a write then fails with EFBIG, so the picture fails with a message
    // and the batch goes on, instead of the whole process being killed.
    std::signal(SIGXFSZ, SIG_IGN);
    return std::vector<std::string>(argv, argv + argc);
}

std::size_t StandardErrorColumns()
{
    if (::isatty(STDERR_FILENO) == 0)
        return 0;
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return 80;
    return size.ws_col;
}

} // namespace gustara::cli
