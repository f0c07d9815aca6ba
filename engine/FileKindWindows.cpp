#include "FileKind.h"

#include "platform/WindowsText.h"

#include <windows.h>

namespace gustara {

namespace {

// The attributes of the entry itself, or of what a link or junction leads to; false when there is
// nothing to look at.
bool AttributesAt(const std::wstring& path, Links links, DWORD& attributes)
{
    attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (links == Links::AsThemselves || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return true;
    // Opened without reading or writing, so a device is never touched.
    const HANDLE target = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(target, &information) != 0;
    ::CloseHandle(target);
    attributes = information.dwFileAttributes;
    return known;
}

} // namespace

FileKind KindAt(const std::string& path, Links links)
{
    DWORD attributes = 0;
    if (!AttributesAt(WideText(path), links, attributes))
        return FileKind::Nothing;
    if (links == Links::AsThemselves && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return FileKind::Other;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FileKind::Folder;
    return attributes & FILE_ATTRIBUTE_DEVICE ? FileKind::Other : FileKind::RegularFile;
}

} // namespace gustara
