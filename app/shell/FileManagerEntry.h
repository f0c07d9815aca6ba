#pragma once

namespace gustara {

// Offers the window in the file manager's menu on pictures. On Linux the package installs
// the file managers' actions, so nothing is left to do. On Windows, where the program comes
// as a folder to unpack, its first start is its installation: Explorer's "Send to" menu gets
// a shortcut to this program, made again when it leads elsewhere (the folder was moved).
// Never throws; a shortcut that cannot be made is left out.
// (FileManagerEntryLinux.cpp, FileManagerEntryWindows.cpp)
void OfferInFileManager();

} // namespace gustara
