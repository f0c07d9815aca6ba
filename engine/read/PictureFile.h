#pragma once

#include "rules/Messages.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace gustara {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A picture file open for reading from its start, and its size when it was opened.
struct PictureFile {
    FileHandle handle;
    uint64_t size = 0;

    std::FILE* get() const { return handle.get(); }
};

// Opens the file at `path` for every reader and owns it. Never waits for a pipe or a device.
// Throws EngineError with the reason from the message table when the path names a folder,
// nothing is there, the file may not be read, is no regular file, is empty, or the system
// fails to open it (its own words follow then).
// One file per system (PictureFileLinux.cpp, PictureFileWindows.cpp); binary on every system.
PictureFile OpenForReading(const std::string& path);

// Tells the system that the whole of `file` is about to be read. Only advice: never fails.
void AdviseWholeRead(std::FILE* file);

// Throws EngineError with the reason for `cause`; `format` and `detail` as ReadFailureText takes them.
[[noreturn]] void ThrowReadFailure(ReadFailure cause, std::string_view format, std::string_view detail = {});

// Throws EngineError for a read of `file` that came back short: the reason for a read error
// (with the system's words) when the system reported one, else for a file that ends early.
[[noreturn]] void ThrowShortRead(std::FILE* file, std::string_view format);

} // namespace gustara
