#pragma once

// Paths are UTF-8 inside the program; the system's file functions take its own form of them:
// one file per system behind this header.

#include <filesystem>
#include <string>
#include <string_view>

namespace gustara {

// The path named by the UTF-8 text `path`, for std::filesystem. Throws only bad_alloc.
std::filesystem::path SystemPath(std::string_view path);

// The UTF-8 text of `path`. Throws only bad_alloc.
std::string PathText(const std::filesystem::path& path);

} // namespace gustara
