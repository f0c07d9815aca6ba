#include "Terminal.h"

#include "platform/WindowsText.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <windows.h>

namespace gustara::cli {

namespace {

struct LocalFreer {
    void operator()(wchar_t** arguments) const { ::LocalFree(arguments); }
};

// What the console was set to before, given back at exit: the console outlives the program, and
// the shell that started it reads with the console's settings again.
UINT originalCodePage = 0; // 0: no console
DWORD originalMode = 0;
bool modeChanged = false;

void RestoreConsole()
{
    ::SetConsoleOutputCP(originalCodePage);
    if (modeChanged)
        ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), originalMode);
}

} // namespace

std::vector<std::string> StartCommandLine(int, char**)
{
    // The console shows UTF-8, and the progress line's cursor movements, as a Linux terminal does.
    originalCodePage = ::GetConsoleOutputCP();
    if (originalCodePage != 0) {
        const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
        modeChanged =
            ::GetConsoleMode(errors, &originalMode)
            && ::SetConsoleMode(errors, originalMode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
        ::SetConsoleOutputCP(CP_UTF8);
        std::atexit(RestoreConsole);
    }
    // Binary: the same bytes as on Linux, "\n" without "\r".
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // argv comes in the ANSI code page, which turns every other name into "?": the arguments are
    // taken again as UTF-16.
    int count = 0;
    const std::unique_ptr<wchar_t*, LocalFreer> wide(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i)
        arguments.push_back(gustara::Utf8Text(wide.get()[i]));
    return arguments;
}

std::size_t StandardErrorColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &screen))
        return 0;
    const int columns = screen.srWindow.Right - screen.srWindow.Left + 1;
    return columns > 0 ? static_cast<std::size_t>(columns) : 80;
}

} // namespace gustara::cli
