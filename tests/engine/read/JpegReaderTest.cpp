#include "EngineError.h"
#include "JpegFixtures.h"
#include "read/JpegReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include <jpeglib.h>

namespace gustara {
namespace {

using test::ShellQuote;

// Writes the picture as JPEG with cjpeg and the given options; returns the file's path.
std::string Cjpeg(const test::TempDir& dir, const PictureRaster& picture, const std::string& options)
{
    test::WritePpm(dir.file("source.ppm"), picture);
    const std::string path = dir.file("picture.jpg");
    if (test::RunCommand("cjpeg " + options + " -outfile " + ShellQuote(path) + " " + ShellQuote(dir.file("source.ppm"))) != 0)
        throw std::runtime_error("cjpeg failed");
    return path;
}

// djpeg's decoding of the file with the options given, the float IDCT always on. djpeg's
// exit status is not checked: it reports a warning (a cut file) by its status too.
PictureRaster Djpeg(const test::TempDir& dir, const std::string& path, const std::string& options)
{
    const std::string out = dir.file("reference.pnm");
    test::RunCommand("djpeg -dct float " + options + " -outfile " + ShellQuote(out) + " " + ShellQuote(path) + " 2>/dev/null");
    return test::ReadPnm(out);
}

// A file written by libjpeg itself, for what cjpeg cannot make: four-component colour spaces
// and hand-made scan scripts, kFixtureSide pixels square at quality 100. Samples are
// `components` bytes per pixel, row after row; an empty scan script gives one sequential scan.
constexpr int kFixtureSide = 16;

struct FixtureJpeg {
    int components;
    J_COLOR_SPACE input;
    J_COLOR_SPACE stored;
    bool adobeMarker;
};

std::vector<uint8_t> Compress(const FixtureJpeg& fixture, const std::vector<uint8_t>& samples,
                              const std::vector<jpeg_scan_info>& scans = {})
{
    const std::size_t stride = static_cast<std::size_t>(kFixtureSide * fixture.components);
    const test::JpegSamples rows{kFixtureSide, kFixtureSide, fixture.components, fixture.input, samples.data(), stride};
    return test::CompressJpeg(rows, 100, [&fixture, &scans](jpeg_compress_struct& info) {
        jpeg_set_colorspace(&info, fixture.stored);
        info.write_Adobe_marker = fixture.adobeMarker ? TRUE : FALSE;
        if (!scans.empty()) {
            info.scan_info = scans.data();
            info.num_scans = static_cast<int>(scans.size());
        }
    });
}

std::vector<uint8_t> UniformSamples(const std::vector<uint8_t>& pixel)
{
    std::vector<uint8_t> samples;
    for (int i = 0; i < kFixtureSide * kFixtureSide; ++i)
        samples.insert(samples.end(), pixel.begin(), pixel.end());
    return samples;
}

PictureRaster ReadBytes(const test::TempDir& dir, const std::vector<uint8_t>& bytes)
{
    return ReadJpeg(test::StoreFile(dir, "bytes.jpg", bytes));
}

struct ColourCase {
    int width;
    int height;
    std::string options;  // for cjpeg
};

class ColourJpeg : public testing::TestWithParam<ColourCase> {};

TEST_P(ColourJpeg, DecodesAsDjpeg)
{
    const ColourCase& c = GetParam();
    test::TempDir dir;
    const std::string path = Cjpeg(dir, test::MakeTestPicture(c.width, c.height, 3), c.options);
    EXPECT_TRUE(test::SamePixels(ReadJpeg(path), Djpeg(dir, path, "-ppm")));
}

INSTANTIATE_TEST_SUITE_P(SizesAndModes, ColourJpeg,
                         testing::Values(ColourCase{1, 1, ""}, ColourCase{1, 1, "-progressive"},
                                         ColourCase{17, 9, ""}, ColourCase{17, 9, "-progressive"},
                                         ColourCase{64, 48, "-quality 30"}, ColourCase{64, 48, "-progressive -quality 30"},
                                         ColourCase{33, 65, "-sample 1x1"}, ColourCase{33, 65, "-sample 2x1 -progressive"},
                                         ColourCase{40, 24, "-rgb"}, ColourCase{40, 24, "-rgb -progressive"},
                                         // Many block rows, each wider than a memory page of
                                         // coefficients: rows are handed back during the output.
                                         ColourCase{640, 480, "-progressive"},
                                         ColourCase{1001, 703, "-sample 2x1 -progressive"},
                                         ColourCase{517, 389, "-sample 1x1 -progressive -quality 60"},
                                         ColourCase{8, 2000, "-progressive"}, ColourCase{2000, 8, "-progressive"}));

// A reduced decode is djpeg's at the same scale, for every eighth, baseline and progressive,
// colour and grey; a scale outside 1..8 fails.
TEST(ReducedJpeg, EveryEighthDecodesAsDjpegScale)
{
    test::TempDir dir;
    const std::pair<const char*, const char*> kModes[] = {
        {"", "-ppm"},
        {"-progressive", "-ppm"},
        {"-grayscale", "-colors 236 -onepass -dither fs"},
    };
    for (const auto& [options, djpegOptions] : kModes) {
        const std::string path = Cjpeg(dir, test::MakeTestPicture(83, 45, 5), options);
        for (int eighths = 1; eighths <= 8; ++eighths) {
            const PictureRaster reduced = ReadJpeg(path, [eighths](int32_t width, int32_t height, const PictureMetadata&) {
                EXPECT_EQ(width, 83);
                EXPECT_EQ(height, 45);
                return eighths;
            });
            const std::string scale = std::string(djpegOptions) + " -scale " + std::to_string(eighths) + "/8";
            EXPECT_TRUE(test::SamePixels(reduced, Djpeg(dir, path, scale))) << options << " at " << eighths << "/8";
        }
        for (int wrong : {0, 9})
            EXPECT_THROW(ReadJpeg(path, [wrong](int32_t, int32_t, const PictureMetadata&) { return wrong; }), EngineError);
    }
}

TEST(MultiScanJpeg, SequentialScanPerComponentDecodesAsDjpeg)
{
    test::TempDir dir;
    const std::string script = dir.file("scans.txt");
    test::WriteFileBytes(script, {'0', ';', '1', ';', '2', ';'});
    const std::string path = Cjpeg(dir, test::MakeTestPicture(700, 500, 3), "-scans " + ShellQuote(script));
    EXPECT_TRUE(test::SamePixels(ReadJpeg(path), Djpeg(dir, path, "-ppm")));
}

class GreyJpeg : public testing::TestWithParam<std::string> {};

TEST_P(GreyJpeg, QuantisesTo236LevelsAsDjpeg)
{
    // A ramp through every grey value, with a little noise from the test picture.
    PictureRaster picture = test::MakeTestPicture(256, 24, 5);
    for (int32_t y = 0; y < picture.height(); ++y)
        for (int32_t x = 0; x < picture.width(); ++x)
            picture.row(y)[3 * x] = static_cast<uint8_t>(x);
    test::TempDir dir;
    const std::string path = Cjpeg(dir, picture, "-grayscale " + GetParam());
    const PictureRaster loaded = ReadJpeg(path);

    std::set<uint8_t> levels;
    for (int32_t y = 0; y < loaded.height(); ++y) {
        const uint8_t* row = loaded.row(y);
        for (int32_t x = 0; x < loaded.width(); ++x) {
            ASSERT_EQ(row[3 * x], row[3 * x + 1]);
            ASSERT_EQ(row[3 * x], row[3 * x + 2]);
            levels.insert(row[3 * x]);
        }
    }
    EXPECT_LE(levels.size(), 236u);
    EXPECT_TRUE(test::SamePixels(loaded, Djpeg(dir, path, "-colors 236 -onepass -dither fs")));
}

INSTANTIATE_TEST_SUITE_P(Modes, GreyJpeg, testing::Values("", "-progressive"));

struct InkCase {
    const char* name;
    std::vector<uint8_t> adobeCmyk;  // stored inverted, as Adobe writes them: 255 = no ink
    std::array<int, 3> rgb;
};

const InkCase kInks[] = {
    {"white", {255, 255, 255, 255}, {255, 255, 255}},
    {"cyan", {0, 255, 255, 255}, {0, 255, 255}},
    {"magenta", {255, 0, 255, 255}, {255, 0, 255}},
    {"red", {255, 0, 0, 255}, {255, 0, 0}},
    {"black", {255, 255, 255, 0}, {0, 0, 0}},
    {"half black", {255, 255, 255, 127}, {127, 127, 127}},
    {"half cyan", {127, 255, 255, 255}, {127, 255, 255}},
};

void ExpectUniform(const PictureRaster& picture, const std::array<int, 3>& rgb, const std::string& what)
{
    constexpr int kTolerance = 3;  // colour conversion and quantisation at quality 100
    ASSERT_EQ(picture.width(), kFixtureSide) << what;
    ASSERT_EQ(picture.height(), kFixtureSide) << what;
    for (int32_t y = 0; y < picture.height(); ++y)
        for (int32_t x = 0; x < picture.width(); ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(picture.row(y)[3 * x + c], rgb[c], kTolerance) << what << " at " << x << "," << y;
}

TEST(FourComponentJpeg, AdobeCmykAndYcckBecomeRgb)
{
    test::TempDir dir;
    for (const J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
        const FixtureJpeg fixture{4, JCS_CMYK, stored, true};
        for (const InkCase& ink : kInks)
            ExpectUniform(ReadBytes(dir, Compress(fixture, UniformSamples(ink.adobeCmyk))), ink.rgb,
                          std::string(stored == JCS_CMYK ? "CMYK " : "YCCK ") + ink.name);
    }
}

TEST(FourComponentJpeg, CmykWithoutAdobeMarkerCountsInk)
{
    test::TempDir dir;
    const FixtureJpeg fixture{4, JCS_CMYK, JCS_CMYK, false};
    for (const InkCase& ink : kInks) {
        std::vector<uint8_t> cmyk = ink.adobeCmyk;
        for (uint8_t& sample : cmyk)
            sample = static_cast<uint8_t>(255 - sample);
        ExpectUniform(ReadBytes(dir, Compress(fixture, UniformSamples(cmyk))), ink.rgb, ink.name);
    }
}

TEST(UnsupportedJpeg, TwoComponentsFail)
{
    test::TempDir dir;
    const FixtureJpeg fixture{2, JCS_UNKNOWN, JCS_UNKNOWN, false};
    EXPECT_THROW(ReadBytes(dir, Compress(fixture, UniformSamples({10, 200}))), EngineError);
}

// A progressive greyscale scan script of exactly `count` scans: one DC scan, then every AC
// coefficient alone, each refined bit by bit over several scans.
std::vector<jpeg_scan_info> TinyScans(int count)
{
    std::vector<jpeg_scan_info> scans{{1, {0}, 0, 0, 0, 0}};
    const int acScans = count - 1;
    for (int k = 1; k <= DCTSIZE2 - 1; ++k) {
        const int bits = acScans / (DCTSIZE2 - 1) + (k <= acScans % (DCTSIZE2 - 1) ? 1 : 0);
        for (int al = bits - 1; al >= 0; --al)
            scans.push_back({1, {0}, k, k, al == bits - 1 ? 0 : al + 1, al});
    }
    return scans;
}

TEST(ProgressiveJpeg, LoadsUpTo500ScansAndFailsBeyond)
{
    test::TempDir dir;
    const FixtureJpeg fixture{1, JCS_GRAYSCALE, JCS_GRAYSCALE, false};
    std::vector<uint8_t> samples(kFixtureSide * kFixtureSide);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(i * 7);

    const std::vector<jpeg_scan_info> most = TinyScans(500);
    ASSERT_EQ(most.size(), 500u);
    EXPECT_EQ(ReadBytes(dir, Compress(fixture, samples, most)).width(), kFixtureSide);
    EXPECT_THROW(ReadBytes(dir, Compress(fixture, samples, TinyScans(501))), EngineError);
}

TEST(BrokenJpeg, EmptyFileFailsSayingSo)
{
    test::TempDir dir;
    try {
        ReadBytes(dir, {});
        FAIL() << "an empty file loaded";
    } catch (const EngineError& error) {
        EXPECT_STREQ(error.what(), "ファイルが空です");
    }
}

TEST(BrokenJpeg, MissingFileFails)
{
    test::TempDir dir;
    EXPECT_THROW(ReadJpeg(dir.file("missing.jpg")), EngineError);
}

TEST(BrokenJpeg, ForeignBytesAndCutHeadersFail)
{
    test::TempDir dir;
    const std::vector<uint8_t> jpeg = test::ReadFileBytes(Cjpeg(dir, test::MakeTestPicture(32, 32), ""));
    const std::size_t scanStart = test::FindJpegSegment(jpeg, 0xDA);
    ASSERT_LT(scanStart, jpeg.size());
    const std::vector<std::vector<uint8_t>> files = {
        {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'},
        test::Cut(jpeg, 1),
        test::Cut(jpeg, 2),          // start-of-image marker only
        test::Cut(jpeg, 30),         // inside the first table
        test::Cut(jpeg, scanStart),  // every table, no scan
    };
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_THROW(ReadBytes(dir, files[i]), EngineError) << "file " << i;
}

TEST(BrokenJpeg, CutInsidePictureDataLoadsAtFullSizeAsDjpeg)
{
    for (const std::string options : {"", "-progressive"}) {
        for (const auto& [width, height] : {std::pair{64, 48}, std::pair{700, 500}}) {
            test::TempDir dir;
            const std::string path = Cjpeg(dir, test::MakeTestPicture(width, height), options);
            EXPECT_FALSE(ReadJpeg(path).metadata().partMissing) << options;
            const std::vector<uint8_t> jpeg = test::ReadFileBytes(path);
            // Without only its end marker a sequential file holds the whole picture.
            test::WriteFileBytes(path, test::Cut(jpeg, jpeg.size() - 2));
            EXPECT_EQ(ReadJpeg(path).metadata().partMissing, !options.empty()) << options;
            test::WriteFileBytes(path, test::Cut(jpeg, jpeg.size() * 2 / 3));
            const PictureRaster loaded = ReadJpeg(path);
            EXPECT_TRUE(loaded.metadata().partMissing) << options;
            EXPECT_EQ(loaded.width(), width) << options;
            EXPECT_EQ(loaded.height(), height) << options;
            // A cut progressive file also shows that block smoothing is on, as in djpeg.
            EXPECT_TRUE(test::SamePixels(loaded, Djpeg(dir, path, "-ppm"))) << options << " " << width;
        }
    }
}

TEST(BrokenJpeg, HugeHeaderFailsBeforeAllocating)
{
    test::TempDir dir;
    std::vector<uint8_t> jpeg = test::ReadFileBytes(Cjpeg(dir, test::MakeTestPicture(8, 8), ""));
    const std::size_t frame = test::FindJpegSegment(jpeg, 0xC0);
    ASSERT_LT(frame, jpeg.size());
    // Marker, length, precision, then height and width, big-endian.
    for (std::size_t at : {frame + 5, frame + 7}) {
        jpeg[at] = 0xFF;
        jpeg[at + 1] = 0xDC;  // 65500
    }
    EXPECT_THROW(ReadBytes(dir, jpeg), EngineError);
}

} // namespace
} // namespace gustara
