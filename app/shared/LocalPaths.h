#pragma once

#include <QUrl>

#include <string>
#include <vector>

namespace gustara {

// A path is bytes: a name from a legacy encoding is not UTF-8, and a QString cannot hold it.
// On Windows the bytes are the UTF-8 of the system's UTF-16 name.
// The window keeps every path it is given as these bytes, from the drop's URI or the
// command line through the engine to the output file.

// The percent-decoded path bytes of a local file URL (file:///path), whatever their encoding.
// Only the path is taken: a host part is ignored. Does not fail.
std::string LocalPathBytes(const QUrl& url);
// The file URL of the path bytes, every byte outside the unreserved set percent-encoded, so
// that LocalPathBytes gives the same bytes back. Does not fail.
QUrl LocalFileUrl(const std::string& path);

// The paths named after the program's name (argv[1] on), as a file manager's "Open with"
// passes them: each argument's bytes unchanged, made absolute against the current folder
// when relative; a "file://" URI is taken as its local path. `argv` is the list left after
// Qt has taken its own options. Does not fail.
std::vector<std::string> CommandLinePaths(int argc, char** argv);

} // namespace gustara
