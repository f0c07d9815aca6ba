#include "Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace gustara::cli {

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
