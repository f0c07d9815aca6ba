// What the tests ask of the system on Linux: a fresh folder, a shell command.
#include "TestFiles.h"

#include <array>
#include <cstdio>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace gustara::test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "gustara-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

int RunCommand(const std::string& command, std::string* output)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        if (output)
            output->append(buffer.data(), n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool FolderPermissionsApply()
{
    return ::geteuid() != 0;
}

} // namespace gustara::test
