#pragma once

// Runs the real gustara-cli for the command-line tests.

#include "TestFiles.h"

#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace gustara::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// Runs gustara-cli in `folder` under a Japanese locale, so that it speaks Japanese; `prefix` goes
// before the program in the same shell (a limit, a user switch, another locale). Standard error
// is kept outside `folder`, so that it never looks like an output or debris.
inline CliResult RunCli(const std::filesystem::path& folder, const std::string& arguments,
                        const std::string& prefix = "")
{
    const TempDir errDir;
    const std::string errFile = errDir.file("stderr");
    CliResult result;
    result.status = RunCommand("export LC_ALL=ja_JP.UTF-8; cd " + ShellQuote(folder.string()) + " && { " + prefix + " "
                                   + ShellQuote(GUSTARA_CLI_PATH) + " " + arguments + "; } 2>" + ShellQuote(errFile),
                               &result.out);
    const auto bytes = ReadFileBytes(errFile);
    result.err.assign(bytes.begin(), bytes.end());
    return result;
}

// The shell text that runs the program without root's rights (to write into a read-only
// folder, to read a file of mode 000): as the nobody user when this test runs as root, nothing
// otherwise; nullopt when root cannot switch. The folder the program works in must then be
// open to everyone.
inline std::optional<std::string> UnprivilegedPrefix()
{
    if (::geteuid() != 0)
        return "";
    const std::string setpriv = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    if (RunCommand(setpriv + " " + ShellQuote(GUSTARA_CLI_PATH) + " --version >/dev/null 2>&1") != 0)
        return std::nullopt;
    return setpriv;
}

} // namespace gustara::test
