// Conformance against the PNG test suite: every valid file decodes at its size and matches a
// plain per-pixel reference built from libpng's untransformed samples; every corrupt file fails.
#include "EngineError.h"
#include "read/PngReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace gustara;
using namespace gustara::test;

namespace {

std::vector<std::filesystem::path> SuiteFiles(const std::filesystem::path& folder, bool corrupt)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".png" && (name[0] == 'x') == corrupt)
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

const std::filesystem::path kSuite = CorpusDir() / "pngsuite";

// The size the suite encodes in its file names: sNN is NN by NN, the cd* files vary one side.
void ExpectedSize(const std::string& name, int* width, int* height)
{
    *width = *height = 32;
    if (name[0] == 's')
        *width = *height = std::stoi(name.substr(1, 2));
    else if (name.starts_with("cdf"))
        *width = 8;
    else if (name.starts_with("cdh"))
        *height = 8;
    else if (name.starts_with("cds"))
        *width = *height = 8;
}

// The file's samples as stored (sub-byte samples unpacked, nothing else changed).
struct StoredPng {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::FILE* file = nullptr;
    int depth = 0; // as stored; the info reports the unpacked depth
    StoredPng() = default;
    StoredPng(const StoredPng&) = delete;
    StoredPng& operator=(const StoredPng&) = delete;
    ~StoredPng()
    {
        if (png)
            png_destroy_read_struct(&png, &info, nullptr);
        if (file)
            std::fclose(file);
    }
};

void Quiet(png_structp, png_const_charp) {}

bool ReadStored(StoredPng* stored, const char* path)
{
    stored->file = std::fopen(path, "rb");
    stored->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Quiet, Quiet);
    if (!stored->file || !stored->png)
        return false;
    stored->info = png_create_info_struct(stored->png);
    if (!stored->info || setjmp(png_jmpbuf(stored->png)))
        return false;
    png_init_io(stored->png, stored->file);
    png_read_png(stored->png, stored->info, PNG_TRANSFORM_PACKING, nullptr);
    // IHDR is the first chunk of a valid file: its bit depth is byte 24.
    std::fseek(stored->file, 24, SEEK_SET);
    stored->depth = std::fgetc(stored->file);
    return true;
}

// libpng's 8-bit gamma correction: out = floor(255 * (v / 255)^exponent + 0.5), with the
// exponent 1 / (file gamma x 2.2) and no correction within 5% of 1.
struct GammaRule {
    double exponent = 1.0;
    bool active = false;
};

GammaRule GammaOf(const StoredPng& stored)
{
    GammaRule rule;
    png_fixed_point fileGamma = 0;
    if (png_get_gAMA_fixed(stored.png, stored.info, &fileGamma) == 0)
        return rule;
    const double fixedExponent = std::floor(1e15 / fileGamma / 220000 + 0.5);
    rule.exponent = fixedExponent * 1e-5;
    rule.active = std::abs(fixedExponent - 100000) > 5000;
    return rule;
}

// The expected raster, computed pixel by pixel from the stored samples.
PictureRaster Reference(const StoredPng& stored, bool* sawTransparency)
{
    png_uint_32 width = 0, height = 0;
    int unpackedDepth = 0, type = 0;
    png_get_IHDR(stored.png, stored.info, &width, &height, &unpackedDepth, &type, nullptr, nullptr, nullptr);
    const int depth = stored.depth;
    png_colorp palette = nullptr;
    int paletteSize = 0;
    png_get_PLTE(stored.png, stored.info, &palette, &paletteSize);
    png_bytep paletteAlpha = nullptr;
    int alphaCount = 0;
    png_color_16p key = nullptr;
    const bool hasKey = png_get_tRNS(stored.png, stored.info, &paletteAlpha, &alphaCount, &key) != 0;
    const GammaRule gamma = GammaOf(stored);
    const int channels = png_get_channels(stored.png, stored.info);
    const unsigned maxSample = (1u << depth) - 1;
    png_bytepp rows = png_get_rows(stored.png, stored.info);

    auto to8 = [&](unsigned v) { return depth == 16 ? v >> 8 : v * 255 / maxSample; };
    auto gamma8 = [&](unsigned v8) -> unsigned {
        if (!gamma.active || v8 == 0 || v8 == 255)
            return v8;
        return static_cast<unsigned>(std::floor(255 * std::pow(v8 / 255.0, gamma.exponent) + 0.5));
    };
    auto corrected = [&](unsigned v) -> unsigned {
        if (!gamma.active || depth != 16)
            return gamma8(to8(v));
        return static_cast<unsigned>(std::floor(255 * std::pow(v / 65535.0, gamma.exponent) + 0.5));
    };

    PictureRaster expected(static_cast<int32_t>(width), static_cast<int32_t>(height));
    for (png_uint_32 y = 0; y < height; ++y) {
        for (png_uint_32 x = 0; x < width; ++x) {
            unsigned s[4] = {};
            for (int c = 0; c < channels; ++c) {
                const png_bytep p = rows[y] + (x * channels + c) * (depth == 16 ? 2 : 1);
                s[c] = depth == 16 ? (p[0] << 8 | p[1]) : p[0];
            }
            unsigned rgb[3] = {};
            unsigned alpha = 255;
            if (type == PNG_COLOR_TYPE_PALETTE) {
                const png_color entry = s[0] < unsigned(paletteSize) ? palette[s[0]] : png_color{0, 0, 0};
                const unsigned entries[3] = {entry.red, entry.green, entry.blue};
                for (int c = 0; c < 3; ++c)
                    rgb[c] = gamma8(entries[c]);
                if (hasKey && s[0] < unsigned(alphaCount))
                    alpha = paletteAlpha[s[0]];
            } else if ((type & PNG_COLOR_MASK_COLOR) == 0) {
                rgb[0] = rgb[1] = rgb[2] = corrected(s[0]);
                if (type == PNG_COLOR_TYPE_GRAY_ALPHA)
                    alpha = to8(s[1]);
                else if (hasKey && s[0] == key->gray)
                    alpha = 0;
            } else {
                for (int c = 0; c < 3; ++c)
                    rgb[c] = corrected(s[c]);
                if (type == PNG_COLOR_TYPE_RGB_ALPHA)
                    alpha = to8(s[3]);
                else if (hasKey && s[0] == key->red && s[1] == key->green && s[2] == key->blue)
                    alpha = 0;
            }
            if (alpha == 0)
                *sawTransparency = true;
            for (int c = 0; c < 3; ++c)
                expected.row(y)[3 * x + c] = static_cast<uint8_t>((rgb[c] * alpha + 255 * (255 - alpha) + 255) >> 8);
        }
    }
    return expected;
}

int LargestDifference(const PictureRaster& a, const PictureRaster& b)
{
    int largest = 0;
    for (size_t i = 0; i < a.byteCount(); ++i)
        largest = std::max(largest, std::abs(a.data()[i] - b.data()[i]));
    return largest;
}

} // namespace

TEST(PngSuite, EveryValidFileLoadsAtTheSizeInItsName)
{
    const auto files = SuiteFiles(kSuite, false);
    ASSERT_GT(files.size(), 150u);
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        int width = 0, height = 0;
        ExpectedSize(name, &width, &height);
        try {
            const PictureRaster picture = ReadPng(file.string());
            EXPECT_EQ(picture.width(), width) << name;
            EXPECT_EQ(picture.height(), height) << name;
        } catch (const EngineError& error) {
            ADD_FAILURE() << name << ": " << error.what();
        }
    }
}

TEST(PngSuite, EveryCorruptFileFailsCleanly)
{
    const auto files = SuiteFiles(kSuite, true);
    ASSERT_EQ(files.size(), 14u);
    for (const auto& file : files)
        EXPECT_THROW(ReadPng(file.string()), EngineError) << file.filename();
}

// 16-bit samples under gamma correction go through libpng's 16-bit tables, which index by the
// high bits only, before the low byte is dropped: near black that may differ by two from the
// exact curve.
TEST(PngSuite, PixelsMatchThePerPixelReference)
{
    int transparentFiles = 0;
    for (const auto& file : SuiteFiles(kSuite, false)) {
        const std::string name = file.filename().string();
        StoredPng stored;
        ASSERT_TRUE(ReadStored(&stored, file.string().c_str())) << name;
        bool sawTransparency = false;
        const PictureRaster expected = Reference(stored, &sawTransparency);
        transparentFiles += sawTransparency;
        const PictureRaster picture = ReadPng(file.string());
        ASSERT_EQ(picture.width(), expected.width()) << name;
        ASSERT_EQ(picture.height(), expected.height()) << name;
        const int tolerance = stored.depth == 16 && GammaOf(stored).active ? 2 : 0;
        EXPECT_LE(LargestDifference(picture, expected), tolerance) << name;
    }
    // The t* files and the alpha files really exercise transparency.
    EXPECT_GE(transparentFiles, 20);
}

TEST(PngSuite, InterlacedFilesEqualTheirNonInterlacedTwins)
{
    int pairs = 0;
    for (const auto& file : SuiteFiles(kSuite, false)) {
        std::string twin = file.filename().string();
        if (twin[3] != 'i')
            continue;
        twin[3] = 'n';
        if (!std::filesystem::exists(kSuite / twin))
            continue;
        EXPECT_TRUE(SamePixels(ReadPng(file.string()), ReadPng((kSuite / twin).string()))) << twin;
        ++pairs;
    }
    EXPECT_GE(pairs, 30);
}

TEST(PngSuite, CompressionLevelsAndFiltersDoNotChangePixels)
{
    const std::vector<std::vector<std::string>> groups = {
        {"z00n2c08", "z03n2c08", "z06n2c08", "z09n2c08"},
        {"oi1n2c16", "oi2n2c16", "oi4n2c16", "oi9n2c16"},
        {"oi1n0g16", "oi2n0g16", "oi4n0g16", "oi9n0g16"},
    };
    for (const auto& group : groups) {
        const PictureRaster first = ReadPng((kSuite / (group[0] + ".png")).string());
        for (size_t i = 1; i < group.size(); ++i)
            EXPECT_TRUE(SamePixels(first, ReadPng((kSuite / (group[i] + ".png")).string()))) << group[i];
    }
}
