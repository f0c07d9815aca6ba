#include "BatchFixtures.h"
#include "CliRunner.h"
#include "write/JpegWriter.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace gustara {
namespace {

namespace fs = std::filesystem;

using test::CliResult;

void StoreJpeg(const test::TempDir& dir, const std::string& name, int32_t width, int32_t height, uint32_t seed = 1)
{
    test::StoreFile(dir, name, EncodeJpeg(test::MakeTestPicture(width, height, seed), 95, false));
}

// A large picture first, so that later small ones are done while it is still being worked on.
constexpr int32_t kSlowWidth = 2400;
constexpr int32_t kSlowHeight = 1800;

TEST(CliJobsTest, AnyNumberOfJobsWritesTheSameFilesInTheSameOrder)
{
    // a.jpg and a.jpeg both want s-a.jpg: which one gets "(1)" depends on the order of writing.
    const std::string pictures = "big.jpg a.jpg a.jpeg c.jpg d.jpg e.jpg";
    std::optional<CliResult> first;
    std::map<std::string, std::vector<uint8_t>> firstFiles;
    for (const char* jobs : {"1", "2", "4", "9"}) {
        test::TempDir dir;
        StoreJpeg(dir, "big.jpg", kSlowWidth, kSlowHeight);
        StoreJpeg(dir, "a.jpg", 300, 200, 2);
        StoreJpeg(dir, "a.jpeg", 120, 90, 3);
        StoreJpeg(dir, "c.jpg", 640, 480, 4);
        StoreJpeg(dir, "d.jpg", 10, 10, 5);
        StoreJpeg(dir, "e.jpg", 1500, 20, 6);

        const CliResult result = test::RunCli(dir.path(), std::string("--jobs ") + jobs + " --size=400 " + pictures);
        ASSERT_EQ(result.status, 0) << jobs << "\n" << result.err;
        EXPECT_EQ(result.out, "s-big.jpg\ns-a.jpg\ns-a(1).jpg\ns-c.jpg\ns-d.jpg\ns-e.jpg\n") << jobs;
        const auto files = test::FilesIn(dir.path());
        if (!first) {
            first = result;
            firstFiles = files;
            continue;
        }
        EXPECT_EQ(result.out, first->out) << jobs;
        EXPECT_TRUE(files == firstFiles) << "the files of --jobs " << jobs << " differ from those of --jobs 1";
    }
}

TEST(CliJobsTest, AfterAFailureNothingLaterIsWrittenUnlessToldToGoOn)
{
    test::TempDir dir;
    StoreJpeg(dir, "big.jpg", kSlowWidth, kSlowHeight);
    test::StoreFile(dir, "bad.png", {'n', 'o', 't', ' ', 'p', 'n', 'g'});
    std::string pictures = "big.jpg bad.png";
    std::string expectedAll = "s-big.jpg\n";
    for (int i = 0; i < 8; ++i) {
        const std::string name = "small" + std::to_string(i) + ".jpg";
        StoreJpeg(dir, name, 16, 16, static_cast<uint32_t>(10 + i));
        pictures += " " + name;
        expectedAll += "s-" + name + "\n";
    }

    for (const char* jobs : {"1", "4"}) {
        const CliResult stopped = test::RunCli(dir.path(), std::string("--jobs ") + jobs + " " + pictures);
        EXPECT_EQ(stopped.status, 1) << jobs;
        EXPECT_EQ(stopped.out, "s-big.jpg\n") << jobs;
        EXPECT_NE(stopped.err.find("[bad.png]の処理に失敗しました"), std::string::npos) << stopped.err;
        for (int i = 0; i < 8; ++i)
            EXPECT_FALSE(fs::exists(dir.file("s-small" + std::to_string(i) + ".jpg"))) << jobs << " " << i;
        fs::remove(dir.file("s-big.jpg"));
    }

    const CliResult goneOn = test::RunCli(dir.path(), "--jobs 4 --keep-going " + pictures);
    EXPECT_EQ(goneOn.status, 1);
    EXPECT_EQ(goneOn.out, expectedAll);
    EXPECT_NE(goneOn.err.find("[bad.png]の処理に失敗しました"), std::string::npos) << goneOn.err;
}

TEST(CliJobsTest, RefusesAJobCountThatIsNotAPositiveWholeNumber)
{
    test::TempDir dir;
    StoreJpeg(dir, "photo.jpg", 40, 30);
    for (const char* arguments : {"--jobs 0", "--jobs=abc", "--jobs -1", "--jobs=", "-j 1.5", "--jobs 99999999999"}) {
        const CliResult result = test::RunCli(dir.path(), std::string(arguments) + " photo.jpg");
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.err.find("--jobs"), std::string::npos) << arguments << "\n" << result.err;
        EXPECT_EQ(result.out, "") << arguments;
    }
    EXPECT_EQ(test::FilesIn(dir.path()).size(), 1u);

    const CliResult accepted = test::RunCli(dir.path(), "-j 3 photo.jpg");
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(accepted.out, "s-photo.jpg\n");
}

} // namespace
} // namespace gustara
