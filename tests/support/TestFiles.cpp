#include "TestFiles.h"

#include "platform/SystemPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace gustara::test {

TempDir::~TempDir()
{
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them writable so they can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const
{
    return PathText(path_) + "/" + name;
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(SystemPath(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

std::string StoreFile(const TempDir& dir, const std::string& name, const std::vector<uint8_t>& bytes)
{
    const std::string path = dir.file(name);
    WriteFileBytes(path, bytes);
    return path;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(SystemPath(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::filesystem::path CorpusDir()
{
    return GUSTARA_CORPUS_DIR;
}

PictureRaster MakeTestPicture(int32_t width, int32_t height, uint32_t seed)
{
    PictureRaster picture(width, height);
    std::mt19937 random(seed);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = picture.row(y);
        for (int32_t x = 0; x < width; ++x) {
            // Smooth gradients plus a little noise: photo-like, so JPEG errors stay small.
            const uint32_t noise = random() % 16;
            row[3 * x] = static_cast<uint8_t>((x * 255 / std::max(1, width - 1) + noise) & 0xFF);
            row[3 * x + 1] = static_cast<uint8_t>((y * 255 / std::max(1, height - 1) + noise) & 0xFF);
            row[3 * x + 2] = static_cast<uint8_t>(((x + y) * 127 / std::max(1, width + height - 2) + 64 + noise) & 0xFF);
        }
    }
    return picture;
}

namespace {

int ReadPnmNumber(std::istream& in)
{
    int c = in.get();
    while (c == '#' || std::isspace(c)) {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = in.get();
        c = in.get();
    }
    int value = 0;
    while (std::isdigit(c)) {
        value = value * 10 + (c - '0');
        c = in.get();
    }
    return value;  // the single whitespace after the number has been read
}

} // namespace

PictureRaster ReadPnm(const std::string& path)
{
    std::ifstream in(SystemPath(path), std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    const bool grey = magic[0] == 'P' && magic[1] == '5';
    if (magic[0] != 'P' || (magic[1] != '6' && !grey))
        throw std::runtime_error("not a binary PPM/PGM: " + path);
    const int width = ReadPnmNumber(in);
    const int height = ReadPnmNumber(in);
    if (ReadPnmNumber(in) != 255)
        throw std::runtime_error("maxval must be 255: " + path);
    PictureRaster picture(width, height);
    std::vector<char> row(static_cast<std::size_t>(width) * (grey ? 1 : 3));
    for (int y = 0; y < height; ++y) {
        in.read(row.data(), static_cast<std::streamsize>(row.size()));
        uint8_t* out = picture.row(y);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                out[3 * x + c] = static_cast<uint8_t>(row[grey ? x : 3 * x + c]);
    }
    if (!in)
        throw std::runtime_error("short PNM file: " + path);
    return picture;
}

void WritePpm(const std::string& path, const PictureRaster& picture)
{
    std::ofstream out(SystemPath(path), std::ios::binary);
    out << "P6\n" << picture.width() << ' ' << picture.height() << "\n255\n";
    for (int32_t y = 0; y < picture.height(); ++y)
        out.write(reinterpret_cast<const char*>(picture.row(y)), static_cast<std::streamsize>(picture.stride()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool SamePixels(const PictureRaster& a, const PictureRaster& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    return a.byteCount() == 0 || std::memcmp(a.data(), b.data(), a.byteCount()) == 0;
}

} // namespace gustara::test
