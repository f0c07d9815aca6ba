#include "read/bmp/BmpReader.h"
#include "EngineError.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace gustara {
namespace {

namespace fs = std::filesystem;

const fs::path kSuite = test::CorpusDir() / "bmpsuite";

// Reads a reference rendering. Only 8-bit opaque references are accepted: for those the
// simplified libpng reader gives the stored values exactly (it would convert 16-bit samples
// as linear light and composite alpha).
PictureRaster ReadReference(const fs::path& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.string().c_str()))
        throw std::runtime_error(path.string() + ": " + image.message);
    if ((image.format & (PNG_FORMAT_FLAG_ALPHA | PNG_FORMAT_FLAG_LINEAR)) != 0) {
        png_image_free(&image);
        throw std::runtime_error(path.string() + ": not an 8-bit opaque reference");
    }
    image.format = PNG_FORMAT_RGB;
    PictureRaster reference(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height));
    const auto stride = static_cast<png_int_32>(reference.stride());
    if (!png_image_finish_read(&image, nullptr, reference.data(), stride, nullptr))
        throw std::runtime_error(path.string() + ": " + image.message);
    return reference;
}

int LargestDifference(const PictureRaster& a, const PictureRaster& b)
{
    int largest = 0;
    for (std::size_t i = 0; i < a.byteCount(); ++i)
        largest = std::max(largest, std::abs(int(a.data()[i]) - int(b.data()[i])));
    return largest;
}

struct Rendering {
    const char* reference;
    // The references scale an n-bit channel by 255 / (2^n - 1) with rounding; we widen by
    // repeating bits (or keep the top 8 of a wider channel), which differs by at most 1.
    int tolerance = 0;
};

// The reference of every good file, as the suite's own page pairs them.
const std::map<std::string, Rendering> kGood = {
    {"pal1.bmp", {"pal1.png"}},          {"pal1wb.bmp", {"pal1.png"}},
    {"pal1bg.bmp", {"pal1bg.png"}},      {"pal4.bmp", {"pal4.png"}},
    {"pal4gs.bmp", {"pal4gs.png"}},      {"pal4rle.bmp", {"pal4.png"}},
    {"pal8.bmp", {"pal8.png"}},          {"pal8-0.bmp", {"pal8.png"}},
    {"pal8gs.bmp", {"pal8gs.png"}},      {"pal8rle.bmp", {"pal8.png"}},
    {"pal8topdown.bmp", {"pal8.png"}},   {"pal8os2.bmp", {"pal8.png"}},
    {"pal8v4.bmp", {"pal8.png"}},        {"pal8v5.bmp", {"pal8.png"}},
    {"pal8w124.bmp", {"pal8w124.png"}},  {"pal8w125.bmp", {"pal8w125.png"}},
    {"pal8w126.bmp", {"pal8w126.png"}},
    // The picture is taken as stored: no stretching to square pixels.
    {"pal8nonsquare.bmp", {"pal8nonsquare-e.png"}},
    {"rgb16.bmp", {"rgb16.png", 1}},     {"rgb16bfdef.bmp", {"rgb16.png", 1}},
    {"rgb16-565.bmp", {"rgb16-565.png", 1}}, {"rgb16-565pal.bmp", {"rgb16-565.png", 1}},
    {"rgb24.bmp", {"rgb24.png"}},        {"rgb24pal.bmp", {"rgb24.png"}},
    {"rgb32.bmp", {"rgb24.png"}},        {"rgb32bf.bmp", {"rgb24.png"}},
    {"rgb32bfdef.bmp", {"rgb24.png"}},
};

// Questionable files that load and whose rendering is pinned. Not compared: the rgba*
// files (their references show alpha, which we never apply), rgb24prof2 (its colours are
// only right through its embedded profile, which we do not apply), rgb32-7187 (a 16-bit
// reference).
const std::map<std::string, Rendering> kQuestionableRendered = {
    {"pal1p1.bmp", {"pal1p1.png"}},       {"pal2.bmp", {"pal2.png"}},
    {"pal2color.bmp", {"pal2color.png"}},
    // Pixels that the run-length data skips take colour-table entry 0 (the "-0" rendering).
    {"pal4rlecut.bmp", {"pal4rlecut-0.png"}},   {"pal4rletrns.bmp", {"pal4rletrns-0.png"}},
    {"pal8rlecut.bmp", {"pal8rlecut-0.png"}},   {"pal8rletrns.bmp", {"pal8rletrns-0.png"}},
    {"pal8offs.bmp", {"pal8.png"}},       {"pal8os2-hs.bmp", {"pal8.png"}},
    {"pal8os2-sz.bmp", {"pal8.png"}},     {"pal8os2sp.bmp", {"pal8.png"}},
    {"pal8os2v2.bmp", {"pal8.png"}},      {"pal8os2v2-16.bmp", {"pal8.png"}},
    {"pal8os2v2-40sz.bmp", {"pal8.png"}}, {"pal8os2v2-sz.bmp", {"pal8.png"}},
    {"pal8oversizepal.bmp", {"pal8.png"}},
    {"rgb16-231.bmp", {"rgb16-231.png"}}, {"rgb16-3103.bmp", {"rgb16-3103.png", 1}},
    // The unused top bit is not transparency.
    {"rgb16faketrns.bmp", {"rgb16.png", 1}},
    {"rgb24largepal.bmp", {"rgb24.png"}}, {"rgb24lprof.bmp", {"rgb24.png"}},
    {"rgb24prof.bmp", {"rgb24.png"}},     {"rgb32-111110.bmp", {"rgb24.png", 1}},
    {"rgb32-xbgr.bmp", {"rgb24.png"}},    {"rgb32h52.bmp", {"rgb24.png"}},
    // A fourth byte that is not 0 is not alpha either.
    {"rgb32fakealpha.bmp", {"rgb24.png"}},
};

// Questionable files that fail: Huffman, embedded JPEG and PNG, RLE24, 64 bits per pixel.
const std::set<std::string> kQuestionableRefused = {
    "pal1huffmsb.bmp", "rgb24jpeg.bmp", "rgb24png.bmp", "rgb24rle24.bmp", "rgba64.bmp",
};

// Bad files that fail. The others decode safely: wrong file or image sizes and densities are
// not used, a header of unknown size 66 is read like any long header, a colour count beyond
// 256 is cut, missing colour-table indices are black, runs that overrun the picture are cut
// at its edges, and an empty blue mask gives blue 0.
const std::set<std::string> kBadRefused = {
    "badbitcount.bmp", "badplanes.bmp", "badwidth.bmp", "reallybig.bmp", "rletopdown.bmp", "shortfile.bmp",
};

std::vector<fs::path> FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".bmp")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

void ExpectRendering(const fs::path& picture, const fs::path& html, const Rendering& rendering)
{
    SCOPED_TRACE(picture.string());
    const PictureRaster loaded = ReadBmp(picture.string());
    const PictureRaster reference = ReadReference(html / rendering.reference);
    ASSERT_EQ(loaded.width(), reference.width());
    ASSERT_EQ(loaded.height(), reference.height());
    EXPECT_LE(LargestDifference(loaded, reference), rendering.tolerance);
}

// Loads every file of the folder; returns the names that failed with EngineError. Any other
// failure escapes and fails the test.
std::set<std::string> RefusedIn(const fs::path& folder)
{
    std::set<std::string> refused;
    for (const fs::path& file : FilesIn(folder)) {
        try {
            const PictureRaster loaded = ReadBmp(file.string());
            EXPECT_FALSE(loaded.empty()) << file;
        } catch (const EngineError&) {
            refused.insert(file.filename().string());
        }
    }
    return refused;
}

TEST(BmpSuite, EveryGoodFileMatchesItsReference)
{
    const std::vector<fs::path> files = FilesIn(kSuite / "g");
    EXPECT_EQ(files.size(), kGood.size());
    for (const fs::path& file : files) {
        const auto rendering = kGood.find(file.filename().string());
        if (rendering == kGood.end())
            ADD_FAILURE() << "no reference listed for " << file;
        else
            ExpectRendering(file, kSuite / "html", rendering->second);
    }
}

TEST(BmpSuite, QuestionableFilesLoadOrFailCleanly)
{
    const std::set<std::string> refused = RefusedIn(kSuite / "q");
    EXPECT_EQ(refused, kQuestionableRefused);
    const std::size_t total = FilesIn(kSuite / "q").size();
    std::cout << "bmpsuite q/: " << total - refused.size() << " of " << total << " load\n";
    for (const auto& [name, rendering] : kQuestionableRendered)
        ExpectRendering(kSuite / "q" / name, kSuite / "html", rendering);
}

TEST(BmpSuite, BadFilesFailCleanlyOrDecodeSafely)
{
    EXPECT_EQ(RefusedIn(kSuite / "b"), kBadRefused);
}

} // namespace
} // namespace gustara
