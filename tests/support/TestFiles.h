#pragma once

#include "PictureRaster.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gustara::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    // path() / name as a string.
    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
// The first `size` bytes of `bytes`: a file cut short.
std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, std::size_t size);
// Writes `bytes` as dir/`name` and returns that path; throws as WriteFileBytes does.
std::string StoreFile(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes);

// Runs a shell command; returns its exit status and fills `output` with its standard output.
int RunCommand(const std::string& command, std::string* output = nullptr);

// Whether a folder without write permission refuses new files to this process: not for root,
// and not on Windows, whose folders take their rights from access lists instead.
bool FolderPermissionsApply();
// The command quoted for the shell.
std::string ShellQuote(const std::string& text);

// tests/corpus: the picture suites of the conformance tests.
std::filesystem::path CorpusDir();

// A width x height picture whose pixels vary in every channel (deterministic).
PictureRaster MakeTestPicture(int32_t width, int32_t height, uint32_t seed = 1);
// Reads a binary PPM (P6, maxval 255) as written by djpeg, or a PGM (P5) into equal channels.
PictureRaster ReadPnm(const std::string& path);
// Writes a binary PPM (P6) for cjpeg.
void WritePpm(const std::string& path, const PictureRaster& picture);
// True when both rasters have the same size and bytes.
bool SamePixels(const PictureRaster& a, const PictureRaster& b);

} // namespace gustara::test
