#pragma once

// What the Windows files behind the seams share: UTF-8 inside, UTF-16 at the Windows API, and
// the system's errors in the errno terms the engine's reasons are written for. Included only
// by the *Windows.cpp files.

#include <string>
#include <string_view>

namespace gustara {

// `text` (UTF-8) as UTF-16; a byte that is not UTF-8 becomes U+FFFD. Throws only bad_alloc.
std::wstring WideText(std::string_view text);

// `text` (UTF-16) as UTF-8; a lone surrogate becomes U+FFFD. Throws only bad_alloc.
std::string Utf8Text(std::wstring_view text);

// The errno value that means what the Windows error `error` (GetLastError) means, so that the
// reasons read as on Linux; EIO for a failure without such a value. Never fails.
int ErrnoOf(unsigned long error);

// The system's own words for the Windows error `error`, in UTF-8. Throws only bad_alloc.
std::string SystemErrorText(unsigned long error);

} // namespace gustara
