#include "pixels/FlavourFilter.h"
#include "pixels/FlavourPasses.h"
#include "TestFiles.h"
#include "UnitThPicConvert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace gustara {
namespace {

using Pixel = std::array<int, 3>;

PictureRaster UniformPicture(int32_t width, int32_t height, const Pixel& pixel)
{
    PictureRaster picture(width, height);
    picture.fill(static_cast<uint8_t>(pixel[0]), static_cast<uint8_t>(pixel[1]), static_cast<uint8_t>(pixel[2]));
    return picture;
}

Pixel PixelAt(const PictureRaster& picture, int32_t x, int32_t y)
{
    const uint8_t* p = picture.row(y) + 3 * static_cast<std::size_t>(x);
    return {p[0], p[1], p[2]};
}

Pixel Filtered(const Pixel& pixel, const std::function<void(PictureRaster&)>& pass)
{
    PictureRaster picture = UniformPicture(1, 1, pixel);
    pass(picture);
    return PixelAt(picture, 0, 0);
}

void ReferenceFilter(PictureRaster& picture, int level)
{
    WarmTone(picture, level);
    AddBrightness(picture, 20 * level);
    StretchContrast(picture, 10 * level);
    BoostSaturation(picture);
}

// Whether the fused filter gives the source exactly what the four passes give it.
bool FusedMatchesFourPasses(const PictureRaster& source, int level)
{
    PictureRaster fused = source.clone();
    ApplyFlavourFilter(fused, level);
    PictureRaster reference = source.clone();
    ReferenceFilter(reference, level);
    return test::SamePixels(fused, reference);
}

// numerator / denominator (denominator > 0) to the nearest integer, halves to even, then
// clamped to 0..255: exact integer arithmetic, independent of the floating-point passes.
int ExactByte(int64_t numerator, int64_t denominator)
{
    int64_t quotient = numerator / denominator;
    int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0))
        ++quotient;
    return static_cast<int>(std::clamp<int64_t>(quotient, 0, 255));
}

// The picture of all 2^24 colours, one per pixel, red in the rows' high bits.
PictureRaster AllColours()
{
    PictureRaster picture(4096, 4096);
    uint8_t* p = picture.data();
    for (uint32_t colour = 0; colour < (1u << 24); ++colour, p += 3) {
        p[0] = static_cast<uint8_t>(colour >> 16);
        p[1] = static_cast<uint8_t>(colour >> 8);
        p[2] = static_cast<uint8_t>(colour);
    }
    return picture;
}

// A 256-pixel row in which each channel runs through all values, the three channels
// shifted against each other so that no pass can mix them up unnoticed.
PictureRaster ChannelRamp()
{
    PictureRaster picture(256, 1);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            picture.row(0)[3 * i + c] = static_cast<uint8_t>((i + 85 * c) & 255);
    return picture;
}

// Checks that every channel value v of the ramp became expected(channel, v).
void ExpectPerChannel(const std::function<void(PictureRaster&)>& pass, const std::function<int(int, int)>& expected,
                      const std::string& what)
{
    PictureRaster picture = ChannelRamp();
    pass(picture);
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c) {
            const int value = (i + 85 * c) & 255;
            ASSERT_EQ(picture.row(0)[3 * i + c], expected(c, value)) << what << ", channel " << c << ", value " << value;
        }
    }
}

TEST(ClampToByte, ClampsThenRoundsHalvesToEven)
{
    const struct {
        double value;
        int expected;
    } cases[] = {
        {-1000.0, 0}, {-0.5, 0}, {0.0, 0}, {0.4999, 0}, {0.5, 0}, {1.5, 2}, {2.5, 2}, {2.5000001, 3},
        {183.5, 184}, {184.5, 184}, {254.4, 254}, {254.5, 254}, {254.6, 255}, {255.0, 255}, {255.5, 255},
        {1e9, 255},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampToByte(c.value), c.expected) << c.value;
}

TEST(ClampToByte, TenthsAreExactAtEveryHalf)
{
    for (int32_t tenths = -600; tenths <= 3100; ++tenths)
        ASSERT_EQ(ClampTenthsToByte(tenths), ExactByte(tenths, 10)) << tenths;
}

// The pixel (200, 150, 100) after each pass, at each level.
TEST(FlavourPasses, WorkedExampleStepByStep)
{
    const struct {
        int level;
        Pixel warm, bright, contrast, saturated;
    } cases[] = {
        {1, {200, 135, 90}, {220, 155, 110}, {229, 158, 108}, {248, 156, 91}},
        {2, {200, 135, 80}, {240, 175, 120}, {255, 184, 118}, {255, 184, 98}},
        {3, {200, 135, 70}, {255, 195, 130}, {255, 215, 131}, {255, 219, 110}},
    };
    for (const auto& c : cases) {
        const int level = c.level;
        const Pixel warm = Filtered({200, 150, 100}, [&](PictureRaster& p) { WarmTone(p, level); });
        EXPECT_EQ(warm, c.warm) << "level " << level;
        const Pixel bright = Filtered(warm, [&](PictureRaster& p) { AddBrightness(p, 20 * level); });
        EXPECT_EQ(bright, c.bright) << "level " << level;
        const Pixel contrast = Filtered(bright, [&](PictureRaster& p) { StretchContrast(p, 10 * level); });
        EXPECT_EQ(contrast, c.contrast) << "level " << level;
        EXPECT_EQ(Filtered(contrast, BoostSaturation), c.saturated) << "level " << level;
    }
}

TEST(FlavourPasses, SingleValueCases)
{
    const struct {
        const char* what;
        std::function<void(PictureRaster&)> pass;
        Pixel before, after;
    } cases[] = {
        {"blue 45 at level 3: the factor lies below 0.7", [](PictureRaster& p) { WarmTone(p, 3); }, {0, 0, 45}, {0, 0, 31}},
        {"blue 85 at level 3", [](PictureRaster& p) { WarmTone(p, 3); }, {0, 0, 85}, {0, 0, 59}},
        {"blue 165 at level 3", [](PictureRaster& p) { WarmTone(p, 3); }, {0, 0, 165}, {0, 0, 115}},
        {"blue 15 at level 3: 10.5 to even", [](PictureRaster& p) { WarmTone(p, 3); }, {0, 0, 15}, {0, 0, 10}},
        {"blue 45 at level 1: 40.5 to even", [](PictureRaster& p) { WarmTone(p, 1); }, {0, 0, 45}, {0, 0, 40}},
        {"green 5 at level 1", [](PictureRaster& p) { WarmTone(p, 1); }, {0, 5, 0}, {0, 4, 0}},
        {"green 5 at level 2", [](PictureRaster& p) { WarmTone(p, 2); }, {0, 5, 0}, {0, 4, 0}},
        {"green 5 at level 3", [](PictureRaster& p) { WarmTone(p, 3); }, {0, 5, 0}, {0, 4, 0}},
        {"green 15: 13.5 to even", [](PictureRaster& p) { WarmTone(p, 2); }, {9, 15, 0}, {9, 14, 0}},
        {"green 25: 22.5 to even", [](PictureRaster& p) { WarmTone(p, 1); }, {9, 25, 0}, {9, 22, 0}},
        {"contrast 175 and 120 at level 2", [](PictureRaster& p) { StretchContrast(p, 20); }, {175, 120, 0}, {184, 118, 0}},
        {"grey 100 keeps its value", BoostSaturation, {100, 100, 100}, {100, 100, 100}},
        {"(100, 100, 110) saturated", BoostSaturation, {100, 100, 110}, {99, 99, 112}},
        {"brightness stops at 255", [](PictureRaster& p) { AddBrightness(p, 60); }, {195, 196, 250}, {255, 255, 255}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Filtered(c.before, c.pass), c.after) << c.what;
}

TEST(FlavourPasses, WarmToneEveryValueAtEveryLevel)
{
    for (int level = 1; level <= 3; ++level) {
        ExpectPerChannel([&](PictureRaster& p) { WarmTone(p, level); },
            [&](int channel, int value) {
                if (channel == 0)
                    return value;
                if (channel == 1)
                    return ExactByte(9 * value, 10);
                const int exact = ExactByte((10 - level) * value, 10);
                const bool halfRoundedDown = level == 3 && (value == 45 || value == 85 || value == 165);
                return halfRoundedDown ? exact - 1 : exact;
            },
            "warm tone level " + std::to_string(level));
    }
}

TEST(FlavourPasses, AddBrightnessEveryValueAtEveryLevel)
{
    for (int level = 1; level <= 3; ++level) {
        ExpectPerChannel([&](PictureRaster& p) { AddBrightness(p, 20 * level); },
            [&](int, int value) { return std::min(255, value + 20 * level); },
            "brightness level " + std::to_string(level));
    }
}

TEST(FlavourPasses, StretchContrastEveryValueAtEveryLevel)
{
    // c + (c - 127.5) x k as exact fractions: (22c - 255)/20, (12c - 255)/10, (26c - 765)/20.
    const struct {
        int level, scale, offset, denominator;
    } fractions[] = {{1, 22, 255, 20}, {2, 12, 255, 10}, {3, 26, 765, 20}};
    for (const auto& f : fractions) {
        ExpectPerChannel([&](PictureRaster& p) { StretchContrast(p, 10 * f.level); },
            [&](int, int value) { return ExactByte(f.scale * value - f.offset, f.denominator); },
            "contrast level " + std::to_string(f.level));
    }
}

TEST(FlavourPasses, BoostSaturationEveryColour)
{
    PictureRaster picture = AllColours();
    BoostSaturation(picture);
    const uint8_t* p = picture.data();
    for (uint32_t colour = 0; colour < (1u << 24); ++colour, p += 3) {
        const int r = static_cast<int>(colour >> 16), g = static_cast<int>((colour >> 8) & 255), b = static_cast<int>(colour & 255);
        const Pixel expected = {ExactByte(12 * r - g - b, 10), ExactByte(12 * g - r - b, 10), ExactByte(12 * b - r - g, 10)};
        if (p[0] != expected[0] || p[1] != expected[1] || p[2] != expected[2])
            FAIL() << "colour (" << r << ", " << g << ", " << b << ")";
    }
}

TEST(FlavourFilter, WholeFilterResults)
{
    const struct {
        Pixel before;
        std::array<Pixel, 3> afterLevel;
    } cases[] = {
        {{200, 150, 100}, {{{248, 156, 91}, {255, 184, 98}, {255, 219, 110}}}},
        {{0, 0, 0}, {{{9, 9, 9}, {22, 22, 22}, {40, 40, 40}}}},
        {{255, 255, 255}, {{{255, 255, 255}, {255, 255, 255}, {255, 255, 255}}}},
        {{128, 128, 128}, {{{153, 135, 135}, {181, 160, 140}, {213, 190, 149}}}},
    };
    for (const auto& c : cases) {
        for (int level = 1; level <= 3; ++level) {
            const Pixel expected = c.afterLevel[level - 1];
            EXPECT_EQ(Filtered(c.before, [&](PictureRaster& p) { ApplyFlavourFilter(p, level); }), expected)
                << "fused, level " << level;
            EXPECT_EQ(Filtered(c.before, [&](PictureRaster& p) { ReferenceFilter(p, level); }), expected)
                << "four passes, level " << level;
        }
    }
}

TEST(FlavourFilter, EveryColourAtEveryLevelMatchesTheFourPasses)
{
    const PictureRaster colours = AllColours();
    for (int level = 1; level <= 3; ++level)
        ASSERT_TRUE(FusedMatchesFourPasses(colours, level)) << "level " << level;
}

TEST(FlavourFilter, EveryPixelOfEveryShapeIsFiltered)
{
    const struct {
        int32_t width, height;
    } shapes[] = {{1, 1}, {40000, 10}, {10, 40000}, {1, 3000}, {3000, 1}, {517, 389}};
    for (const auto& shape : shapes) {
        PictureRaster picture = UniformPicture(shape.width, shape.height, {200, 150, 100});
        ApplyFlavourFilter(picture, 2);
        ASSERT_TRUE(test::SamePixels(picture, UniformPicture(shape.width, shape.height, {255, 184, 98})))
            << shape.width << " x " << shape.height;
    }
}

TEST(FlavourFilter, VariedPictureMatchesTheFourPasses)
{
    const PictureRaster source = test::MakeTestPicture(1031, 777, 7);
    for (int level = 1; level <= 3; ++level)
        EXPECT_TRUE(FusedMatchesFourPasses(source, level)) << "level " << level;
}

TEST(FlavourFilter, EmptyPicturesStayEmpty)
{
    for (const auto& [width, height] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}}) {
        PictureRaster picture(width, height);
        ApplyFlavourFilter(picture, 3);
        EXPECT_EQ(picture.width(), width);
        EXPECT_EQ(picture.height(), height);
    }
}

TEST(FlavourFilter, EngineStepIgnoresTheHiddenEffectOptions)
{
    const PictureRaster source = test::MakeTestPicture(64, 48, 3);
    for (int level = 1; level <= 3; ++level) {
        PictureRaster expected = source.clone();
        ApplyFlavourFilter(expected, level);
        for (int variant = 0; variant < 4; ++variant) {
            TthPicConvert engine;
            engine.FlavourLevel = level;
            engine.UseFilter = engine.UseContrast = engine.UseVivid = variant & 1;
            engine.UseBrightness = engine.BrightnessDown = engine.UseMonochrome = variant & 2;
            engine.ContrastLevel = variant * 37 - 50;
            PictureRaster picture = source.clone();
            engine.ApplyFlavour(picture);
            EXPECT_TRUE(test::SamePixels(picture, expected)) << "level " << level << ", variant " << variant;
            EXPECT_EQ(engine.ContrastLevel, 10 * level);
        }
    }
}

} // namespace
} // namespace gustara
