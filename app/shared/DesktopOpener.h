#pragma once

#include <QUrl>

#include <functional>

namespace gustara {

// Asks the desktop to open `target`: a folder in the file manager, a file or web address in
// its program. Returns whether the desktop took the request; what it does then is its own.
bool OpenOnDesktop(const QUrl& target);

// Replaces what OpenOnDesktop does, so that a test sees the request instead of the desktop;
// an empty function gives the desktop back.
void SetDesktopOpenerForTesting(std::function<bool(const QUrl& target)> opener);

} // namespace gustara
