// What the tests ask of the system on Windows: a fresh folder; no shell, so no reference tool.
#include "TestFiles.h"

#include <random>
#include <stdexcept>

namespace gustara::test {

TempDir::TempDir()
{
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path() / ("gustara-test-" + std::to_string(random() % 1000000000));
        if (std::filesystem::create_directory(path_))
            return;
    }
    throw std::runtime_error("no fresh temporary folder");
}

int RunCommand(const std::string&, std::string*)
{
    return -1;
}

bool FolderPermissionsApply()
{
    return false;
}

} // namespace gustara::test
