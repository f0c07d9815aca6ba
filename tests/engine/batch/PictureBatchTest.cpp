#include "batch/PictureBatch.h"

#include "BatchFixtures.h"
#include "EngineError.h"
#include "GifFixtures.h"
#include "JpegFixtures.h"
#include "PngFixtures.h"
#include "rules/PathParts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace gustara {
namespace {

// Every report as one line, for comparing what two batches showed.
class ReportLog final : public BatchObserver {
public:
    std::vector<std::string> lines;
    std::atomic<bool>* stopAtWritten = nullptr;  // set when the second picture is written

    void PictureStarted(std::size_t index) override { Add(index, "started"); }
    void StepFinished(std::size_t index, int step) override { Add(index, "step " + std::to_string(step)); }
    void PictureWritten(std::size_t index, const std::string& outputPath, bool) override
    {
        Add(index, "written " + std::string(NamePart(outputPath)));
        if (stopAtWritten && index == 1)
            *stopAtWritten = true;
    }
    void PictureFailed(std::size_t index, const std::string&) override { Add(index, "failed"); }

private:
    void Add(std::size_t index, const std::string& what) { lines.push_back(std::to_string(index) + " " + what); }
};

struct Outcome {
    BatchTally tally;
    std::vector<std::string> reports;
    std::map<std::string, std::vector<uint8_t>> files;
};

Outcome Convert(std::size_t jobs, bool failing, bool keepGoing, bool stopAfterSecond = false)
{
    test::TempDir dir;
    const std::vector<std::string> drop = test::StoreOrderingDrop(dir.path(), failing);
    TthPicConvert engine;
    engine.UseDecidesName = true;
    engine.NameBefore = true;
    engine.FileNameAffix = "s-";
    engine.UsePicSize = true;
    engine.PicWidth = engine.PicHeight = 400;
    engine.UseQuality = engine.ByQuality = true;
    engine.QualityValue = 90;
    engine.FlavourLevel = 2;
    std::atomic<bool> stop{false};
    BatchOptions options;
    options.jobs = jobs;
    options.keepGoing = keepGoing;
    options.stopRequested = &stop;
    ReportLog log;
    log.stopAtWritten = stopAfterSecond ? &stop : nullptr;
    Outcome outcome{ConvertInOrder(engine, drop, options, log), log.lines, test::FilesIn(dir.path())};
    if (outcome.tally.written > 0 && !stopAfterSecond) {
        EXPECT_EQ(engine.GetOutputFolder(), FolderPart(drop.front()));
    }
    return outcome;
}

TEST(PictureBatchTest, SeveralInFlightWriteAndReportExactlyAsOneAtATime)
{
    // One-at-a-time order of the failing drop: a.png was written first, so it has the plain name.
    const std::vector<std::string> failedInTheMiddle = {
        "0 started", "0 step 1", "0 step 2", "0 step 3", "0 written s-big.jpg",
        "1 started", "1 step 1", "1 step 2", "1 step 3", "1 written s-a.jpg",
        "2 started", "2 step 1", "2 step 2", "2 step 3", "2 written s-a(1).jpg",
        "3 started", "3 failed",
    };
    const struct {
        const char* name;
        bool failing, keepGoing, stop;
        std::size_t written, failed;
    } cases[] = {
        {"all good", false, false, false, 7, 0},
        {"failure in the middle", true, false, false, 3, 1},
        {"failure, keep going", true, true, false, 7, 1},
        {"stopped after the second", false, false, true, 2, 0},
    };
    for (const auto& c : cases) {
        const Outcome one = Convert(1, c.failing, c.keepGoing, c.stop);
        EXPECT_EQ(one.tally.written, c.written) << c.name;
        EXPECT_EQ(one.tally.failed, c.failed) << c.name;
        EXPECT_EQ(one.tally.stopped, c.stop) << c.name;
        EXPECT_EQ(one.files.count("s-a.jpg") + one.files.count("s-a(1).jpg"), c.stop ? 1u : 2u) << c.name;
        if (c.failing && !c.keepGoing) {
            EXPECT_EQ(one.reports, failedInTheMiddle);
        }
        for (const std::size_t jobs : {2, 4}) {
            const Outcome many = Convert(jobs, c.failing, c.keepGoing, c.stop);
            EXPECT_EQ(many.reports, one.reports) << c.name << ", " << jobs << " in flight";
            EXPECT_TRUE(many.files == one.files) << c.name << ", " << jobs << " in flight: other files";
            EXPECT_EQ(many.tally.stopped, c.stop) << c.name;
        }
    }
}

// `start` followed by little-endian (value, byte count) fields: enough of a header to probe.
std::vector<uint8_t> Header(std::vector<uint8_t> start, std::initializer_list<std::pair<uint32_t, int>> fields)
{
    for (const auto& [value, size] : fields)
        for (int i = 0; i < size; ++i)
            start.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return start;
}

TEST(PictureBatchTest, EstimatesFromTheHeaderAndRunsUnreadableHeadersAlone)
{
    test::TempDir dir;
    const PictureRaster picture = test::MakeTestPicture(40, 30);
    const std::vector<uint8_t> bmpStart{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    const auto noChunks = [](png_structp, png_infop) {};
    const auto gif = [](uint32_t width) { return Header({'G', 'I', 'F', '8', '9', 'a'}, {{width, 2}, {480, 2}}); };
    // libjpeg skips bytes that are no marker up to the next 0xFF, and so does the probe.
    std::vector<uint8_t> stray = EncodeJpeg(picture, 90, false);
    stray.insert(stray.begin() + static_cast<std::ptrdiff_t>(test::FindJpegSegment(stray, 0xC0)), {0x12, 0x34});
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        uint64_t expected;
    } cases[] = {
        {"baseline.jpg", EncodeJpeg(picture, 90, false), 40 * 30 * 3 * 2},
        {"progressive.JPEG", EncodeJpeg(picture, 90, true), 40 * 30 * 3 * 3},
        {"rgb.png", test::EncodePngRows({.width = 30, .height = 20}, std::vector<png_byte>(30 * 20 * 3), noChunks),
         30 * 20 * 3 * 2},
        // Only the headers are read: the rest of these files may be missing.
        {"info.bmp", Header(bmpStart, {{54, 4}, {40, 4}, {70, 4}, {static_cast<uint32_t>(-20), 4}}), 70 * 20 * 3 * 2},
        {"core.bmp", Header(bmpStart, {{54, 4}, {12, 4}, {300, 2}, {2, 2}}), 300 * 2 * 3 * 2},
        {"stray.jpg", stray, 40 * 30 * 3 * 2},
        {"screen.gif", test::TinyGif(640, 480, 640, 480), 640 * 480 * 3 * 2},
        // The first image reaches past the screen: the raster grows to hold it.
        {"grown.gif", test::TinyGif(1, 1, 300, 200), 300 * 200 * 3 * 2},
        {"text.jpg", {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}, UINT64_MAX},
        {"empty.png", {}, UINT64_MAX},
        {"zero.gif", gif(0), UINT64_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EstimatedPeakBytes(test::StoreFile(dir, c.name, c.bytes)), c.expected) << c.name;
    EXPECT_EQ(EstimatedPeakBytes(dir.file("missing.jpg")), UINT64_MAX);
}

TEST(PictureBatchTest, AnOutputTooLongForJpegIsRefusedFromTheHeader)
{
    test::TempDir dir;
    // The header alone: had the picture been decoded, its missing data would be the reason.
    std::vector<uint8_t> wide = test::kPngSignature;
    test::AppendPngChunk(wide, "IHDR", {0, 0, 0xFF, 0xDD, 0, 0, 0, 1, 8, 2, 0, 0, 0});
    const std::string path = test::StoreFile(dir, "wide.png", wide);
    const struct {
        bool fitted;
        int32_t boxWidth, boxHeight;
        bool refused;
    } cases[] = {
        {false, 0, 0, true},
        {true, 1280, 1280, false},
        // Fitting leaves a picture whose longer side is within the box's longer side as it is.
        {true, 65501, 10, true},
    };
    for (const auto& c : cases) {
        TthPicConvert engine;
        engine.UsePicSize = c.fitted;
        engine.PicWidth = c.boxWidth;
        engine.PicHeight = c.boxHeight;
        if (!c.refused) {
            EXPECT_NO_THROW(engine.RefuseOversizedOutput(path)) << c.boxWidth;
            continue;
        }
        try {
            engine.RefuseOversizedOutput(path);
            ADD_FAILURE() << "not refused in " << c.boxWidth << " x " << c.boxHeight;
        } catch (const EngineError& error) {
            EXPECT_STREQ(error.what(), "JPEG の一辺は 65500 ピクセルまでのため保存できません: 65501 x 1");
        }
    }
}

} // namespace
} // namespace gustara
