#include "write/OutputFile.h"

#include "FileKind.h"
#include "platform/SystemPath.h"

#include <filesystem>

namespace gustara {

namespace {

std::string NumberedName(const StemAndExtension& name, uint64_t number)
{
    return name.stem + "(" + std::to_string(number) + ")" + name.extension;
}

} // namespace

std::string WriteUnderFreeName(const StemAndExtension& name, std::span<const uint8_t> bytes, const OpenedFolder* in)
{
    std::string candidate = name.path();
    for (uint64_t number = 1; WriteNewFile(candidate, bytes, in) == NewFileResult::NameTaken; ++number)
        candidate = NumberedName(name, number);
    return candidate;
}

bool NameIsTaken(const std::string& path)
{
    const FileKind kind = KindAt(path, Links::AsThemselves);
    return kind != FileKind::Nothing && kind != FileKind::Folder;
}

std::string FirstFreeName(const StemAndExtension& name, const std::set<std::string>& claimed)
{
    std::string candidate = name.path();
    for (uint64_t number = 1; claimed.contains(candidate) || NameIsTaken(candidate); ++number)
        candidate = NumberedName(name, number);
    return candidate;
}

bool CopyModificationTime(const std::string& from, const std::string& to)
{
    std::error_code error;
    const auto time = std::filesystem::last_write_time(SystemPath(from), error);
    if (!error)
        std::filesystem::last_write_time(SystemPath(to), time, error);
    return !error;
}

} // namespace gustara
