#include "batch/PictureBatch.h"

#include "BatchFixtures.h"
#include "rules/PathParts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
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
    void PictureWritten(std::size_t index, const std::string& outputPath) override
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
    if (stopAfterSecond)
        log.stopAtWritten = &stop;
    Outcome outcome{ConvertInOrder(engine, drop, options, log), log.lines, test::FilesIn(dir.path())};
    if (outcome.tally.written > 0 && !stopAfterSecond) {
        EXPECT_EQ(engine.GetOutputFolder(), dir.path().string() + "/");
    }
    return outcome;
}

TEST(PictureBatchTest, SeveralInFlightWriteAndReportExactlyAsOneAtATime)
{
    struct Case {
        const char* name;
        bool failing;
        bool keepGoing;
        bool stop;
        std::size_t written;
        std::size_t failed;
    };
    const Case cases[] = {
        {"all good", false, false, false, 7, 0},
        {"failure in the middle", true, false, false, 3, 1},
        {"failure, keep going", true, true, false, 7, 1},
        {"stopped after the second", false, false, true, 2, 0},
    };
    for (const Case& c : cases) {
        const Outcome one = Convert(1, c.failing, c.keepGoing, c.stop);
        EXPECT_EQ(one.tally.written, c.written) << c.name;
        EXPECT_EQ(one.tally.failed, c.failed) << c.name;
        EXPECT_EQ(one.tally.stopped, c.stop) << c.name;
        EXPECT_EQ(one.files.count("s-a.jpg") + one.files.count("s-a(1).jpg"), c.stop ? 1u : 2u) << c.name;
        for (const std::size_t jobs : {2, 4}) {
            const Outcome many = Convert(jobs, c.failing, c.keepGoing, c.stop);
            EXPECT_EQ(many.reports, one.reports) << c.name << ", " << jobs << " in flight";
            EXPECT_TRUE(many.files == one.files) << c.name << ", " << jobs << " in flight: other files";
            EXPECT_EQ(many.tally.stopped, c.stop) << c.name;
        }
    }
    // One-at-a-time order, spelled out once: a.png was written first, so it has the plain name.
    const Outcome failed = Convert(1, true, false);
    const std::vector<std::string> expected = {
        "0 started", "0 step 1", "0 step 2", "0 step 3", "0 written s-big.jpg",
        "1 started", "1 step 1", "1 step 2", "1 step 3", "1 written s-a.jpg",
        "2 started", "2 step 1", "2 step 2", "2 step 3", "2 written s-a(1).jpg",
        "3 started", "3 failed",
    };
    EXPECT_EQ(failed.reports, expected);
}

// Little-endian bytes of a value, for headers written by hand.
std::vector<uint8_t> Le(uint32_t value, int bytes)
{
    std::vector<uint8_t> out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return out;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(PictureBatchTest, EstimatesFromTheHeaderAndRunsUnreadableHeadersAlone)
{
    test::TempDir dir;
    const PictureRaster picture = test::MakeTestPicture(40, 30);
    const std::vector<uint8_t> bmpStart = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        uint64_t expected;
    };
    const Case cases[] = {
        {"baseline.jpg", EncodeJpeg(picture, 90, false), 40 * 30 * 3 * 2},
        {"progressive.JPEG", EncodeJpeg(picture, 90, true), 40 * 30 * 3 * 3},
        // Only the headers are read: the rest of these files may be missing.
        {"info.bmp", Join({bmpStart, Le(40, 4), Le(70, 4), Le(static_cast<uint32_t>(-20), 4)}), 70 * 20 * 3 * 2},
        {"core.bmp", Join({bmpStart, Le(12, 4), Le(300, 2), Le(2, 2)}), 300 * 2 * 3 * 2},
        {"screen.gif", Join({{'G', 'I', 'F', '8', '9', 'a'}, Le(640, 2), Le(480, 2)}), 640 * 480 * 3 * 2},
        {"text.jpg", {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}, UINT64_MAX},
        {"empty.png", {}, UINT64_MAX},
        {"zero.gif", Join({{'G', 'I', 'F', '8', '9', 'a'}, Le(0, 2), Le(480, 2)}), UINT64_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EstimatedPeakBytes(test::StoreFile(dir, c.name, c.bytes)), c.expected) << c.name;
    const std::vector<std::string> drop = test::StoreOrderingDrop(dir.path(), false);
    EXPECT_EQ(EstimatedPeakBytes(drop[1]), 30u * 20 * 3 * 2) << "a.png";
    EXPECT_EQ(EstimatedPeakBytes(dir.file("missing.jpg")), UINT64_MAX);
}

} // namespace
} // namespace gustara
