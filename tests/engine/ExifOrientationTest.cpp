#include "ExifBlocks.h"
#include "ExifOrientation.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gustara {
namespace {

using test::PhoneExif;
using test::PhoneExifLayout;
using test::TiffBytes;

TEST(ReadExifOrientation, FindsEveryOrientationInBothByteOrders)
{
    for (const bool bigEndian : {false, true})
        for (uint16_t orientation = 1; orientation <= 8; ++orientation)
            EXPECT_EQ(ReadExifOrientation(PhoneExif(bigEndian, orientation)), orientation)
                << (bigEndian ? "MM " : "II ") << orientation;
}

// A block with an IFD0 of the given entries, written by `addEntries`, for the cases that the
// phone's block cannot show.
std::vector<uint8_t> BlockWith(bool bigEndian, uint16_t entryCount, const std::function<void(TiffBytes&)>& addEntries)
{
    TiffBytes tiff(bigEndian);
    tiff.addHeader(8);
    tiff.add16(entryCount);
    addEntries(tiff);
    tiff.add32(0);
    return tiff.bytes;
}

struct BrokenBlock {
    std::string name;
    std::function<void(TiffBytes&)> breakIt;  // works on PhoneExif(bigEndian, 6)
    uint16_t expected;
};

class ReadExifOrientationOfBrokenBlock : public testing::TestWithParam<bool> {};

TEST_P(ReadExifOrientationOfBrokenBlock, GivesItsExpectedOrientation)
{
    using Layout = PhoneExifLayout;
    const bool bigEndian = GetParam();
    const std::vector<BrokenBlock> cases = {
        {"IFD0 past the end", [](TiffBytes& t) { t.put32(4, 0xFFFFFFF0u); }, 1},
        {"IFD0 at the last byte", [](TiffBytes& t) { t.put32(4, static_cast<uint32_t>(t.bytes.size() - 1)); }, 1},
        {"IFD0 at the very end", [](TiffBytes& t) { t.put32(4, static_cast<uint32_t>(t.bytes.size())); }, 1},
        {"IFD0 inside the header", [](TiffBytes& t) { t.put32(4, 0); }, 1},
        {"wrong magic number", [](TiffBytes& t) { t.put16(2, 43); }, 1},
        {"unknown byte order", [](TiffBytes& t) { t.bytes[0] = 'M'; t.bytes[1] = 'I'; }, 1},
        {"no entries", [](TiffBytes& t) { t.put16(Layout::kIfd0, 0); }, 1},
        {"count stops before the orientation", [](TiffBytes& t) { t.put16(Layout::kIfd0, 2); }, 1},
        // Entries beyond the block are never read; those inside it still count.
        {"huge entry count", [](TiffBytes& t) { t.put16(Layout::kIfd0, 0xFFFF); }, 6},
        {"huge entry count, block cut inside the orientation",
         [](TiffBytes& t) { t.put16(Layout::kIfd0, 0xFFFF); t.bytes.resize(Layout::kOrientationEnd - 1); }, 1},
        {"next IFD pointing to IFD0 itself", [](TiffBytes& t) { t.put32(Layout::kNextIfd, Layout::kIfd0); }, 6},
        {"GPS IFD pointing to IFD0", [](TiffBytes& t) { t.put32(Layout::kIfd0 + 2 + 3 * 12 + 8, Layout::kIfd0); }, 6},
        {"texts claiming megabytes past the end",
         [](TiffBytes& t) { t.put32(Layout::kIfd0 + 2 + 4, 0x00FFFFFF); t.put32(Layout::kIfd0 + 2 + 8, 0xFFFFFF00u); }, 6},
        {"orientation as LONG", [](TiffBytes& t) { t.put16(Layout::kOrientationEntry + 2, 4); }, 1},
        {"orientation with two values", [](TiffBytes& t) { t.put32(Layout::kOrientationEntry + 4, 2); }, 1},
        {"orientation with a huge count", [](TiffBytes& t) { t.put32(Layout::kOrientationEntry + 4, 0xFFFFFFFFu); }, 1},
        {"orientation 0", [](TiffBytes& t) { t.put16(Layout::kOrientationEntry + 8, 0); }, 1},
        {"orientation 9", [](TiffBytes& t) { t.put16(Layout::kOrientationEntry + 8, 9); }, 1},
        {"orientation 0xFFFF", [](TiffBytes& t) { t.put16(Layout::kOrientationEntry + 8, 0xFFFF); }, 1},
        // The tag is read from IFD0 only; a thumbnail IFD's orientation is not the picture's.
        {"orientation only in a second IFD",
         [](TiffBytes& t) {
             t.put16(Layout::kOrientationEntry, 0x0111);
             t.put32(Layout::kNextIfd, Layout::kGpsIfd);
             t.put16(Layout::kGpsIfd + 2, 0x0112);
             t.put16(Layout::kGpsIfd + 4, 3);
             t.put32(Layout::kGpsIfd + 6, 1);
             t.put16(Layout::kGpsIfd + 10, 6);
         },
         1},
    };
    for (const BrokenBlock& c : cases) {
        TiffBytes tiff(bigEndian);
        tiff.bytes = PhoneExif(bigEndian, 6);
        c.breakIt(tiff);
        EXPECT_EQ(ReadExifOrientation(tiff.bytes), c.expected) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(BothByteOrders, ReadExifOrientationOfBrokenBlock, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "BigEndian" : "LittleEndian"; });

TEST(ReadExifOrientation, CutBlockKeepsTheOrientationOnlyWhileItsEntryIsWhole)
{
    for (const bool bigEndian : {false, true}) {
        const std::vector<uint8_t> whole = PhoneExif(bigEndian, 8);
        for (std::size_t size = 0; size <= whole.size(); ++size) {
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_EQ(ReadExifOrientation(cut), size >= PhoneExifLayout::kOrientationEnd ? 8 : 1) << size;
        }
    }
}

TEST(ReadExifOrientation, FirstOrientationEntryDecides)
{
    const auto twoOrientations = [](TiffBytes& t) {
        t.addShortEntry(0x0112, 3);
        t.addShortEntry(0x0112, 6);
    };
    EXPECT_EQ(ReadExifOrientation(BlockWith(true, 2, twoOrientations)), 3);
    const auto brokenThenGood = [](TiffBytes& t) {
        t.addEntry(0x0112, 4, 1, 6);
        t.addShortEntry(0x0112, 6);
    };
    EXPECT_EQ(ReadExifOrientation(BlockWith(false, 2, brokenThenGood)), 1);
}

TEST(ReadExifApp1Orientation, ReadsOnlyExifPayloads)
{
    const std::vector<uint8_t> block = PhoneExif(false, 5);
    EXPECT_EQ(ReadExifApp1Orientation(test::ExifApp1(block)), std::optional<uint16_t>(5));

    const std::string xmp = "http://ns.adobe.com/xap/1.0/";
    std::vector<uint8_t> xmpPayload(xmp.begin(), xmp.end() + 1);
    xmpPayload.insert(xmpPayload.end(), block.begin(), block.end());
    EXPECT_EQ(ReadExifApp1Orientation(xmpPayload), std::nullopt);
    EXPECT_EQ(ReadExifApp1Orientation(std::vector<uint8_t>{'E', 'x', 'i', 'f', 0}), std::nullopt);
    // An EXIF payload without a readable block has the orientation of the stored picture.
    EXPECT_EQ(ReadExifApp1Orientation(std::vector<uint8_t>{'E', 'x', 'i', 'f', 0, 0}), std::optional<uint16_t>(1));
}

TEST(MakeOrientationExifApp1, HoldsTheOneTagAndNothingElse)
{
    const std::vector<uint8_t> expected = {
        'E', 'x', 'i', 'f', 0, 0,        //
        'M', 'M', 0, 42, 0, 0, 0, 8,     // big-endian header, IFD0 at 8
        0, 1,                            // one entry
        0x01, 0x12, 0, 3, 0, 0, 0, 1,    // orientation, SHORT, one value
        0, 6, 0, 0,                      // 6, left-justified
        0, 0, 0, 0,                      // no next IFD
    };
    EXPECT_EQ(MakeOrientationExifApp1(6), expected);
    for (uint16_t orientation = 1; orientation <= 8; ++orientation)
        EXPECT_EQ(ReadExifApp1Orientation(MakeOrientationExifApp1(orientation)), std::optional<uint16_t>(orientation));
}

TEST(ReadExifCaptureDate, ReadsTheThreeTagsOfTheSubIfdInBothByteOrders)
{
    const CaptureDate taken{test::kTakenAt[0], test::kTakenAt[1], test::kTakenAt[2]};
    for (const bool bigEndian : {false, true}) {
        const std::vector<uint8_t> tiff = test::DatedPhoneExif(bigEndian);
        EXPECT_EQ(ReadExifCaptureDate(tiff), taken) << bigEndian;
        // A cut block gives each part whole or not at all.
        for (std::size_t size = 0; size < tiff.size(); ++size)
            for (const auto part : {&CaptureDate::dateTime, &CaptureDate::subSeconds, &CaptureDate::offset})
                EXPECT_TRUE((ReadExifCaptureDate(test::Cut(tiff, size)).*part).empty()
                            || ReadExifCaptureDate(test::Cut(tiff, size)).*part == taken.*part) << size;
    }
}

} // namespace
} // namespace gustara
