#pragma once

#include <string>
#include <string_view>

namespace gustara {

// The parts of a path, shared by the engine, the window and the command line. Paths are
// UTF-8 with "/" as the delimiter, and on Windows "\" as well; neither, nor ".", occurs inside
// a multi-byte character, so a byte search finds whole characters.

// The bytes that end a folder's name in a path: "/", and on Windows "\" too (one file per
// system). Never fails.
std::string_view PathSeparators();
// Whether `path` ends with one of PathSeparators().
bool EndsWithSeparator(std::string_view path);

// Text up to and including the last separator; empty when there is none.
std::string_view FolderPart(std::string_view path);
// Text after the folder part (the last path component); empty when the path ends in a separator.
std::string_view NamePart(std::string_view path);
// From the last "." of the name part to the end, dot included; empty when the name has no dot.
std::string_view ExtensionOf(std::string_view path);
// The path without its extension; unchanged when the name part has no dot.
std::string_view PathWithoutExtension(std::string_view path);
// A path cut before its extension: numbered variants of a name go between the two parts.
struct StemAndExtension {
    std::string stem;       // the path without its extension
    std::string extension;  // from the last "." of the name on, dot included; may be empty

    std::string path() const { return stem + extension; }
};
StemAndExtension SplitAtExtension(std::string_view path);
// The path with its extension (in whatever letter case) replaced by newExtension, or with
// newExtension appended when the name has no extension.
std::string ReplaceExtension(std::string_view path, std::string_view newExtension);
// The save path of a source picture, which the engine's output name is made from: the source
// path with its extension replaced by ".jpg" (or ".jpg" appended when it has none), in the
// folder `intoFolder` instead of the source's own when that is not empty.
std::string SavePathFor(std::string_view sourcePath, std::string_view intoFolder = {});
// Only the ASCII letters a to z are upper-cased; other bytes stay as they are.
std::string UpperAscii(std::string_view text);

} // namespace gustara
