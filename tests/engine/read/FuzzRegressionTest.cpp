// Every input a fuzzer found a fault with, kept in tests/engine/read/regressions/ under a name whose
// extension picks the decoder, loads as a dropped file would: it loads or fails with an
// EngineError, and a picture that loads is no larger than the header probe said. The faults were memory ones, so a sanitizer build (GUSTARA_SANITIZE) or the
// fuzz harness with -malloc_limit_mb shows them best.

#include "EngineError.h"
#include "UnitThPicConvert.h"
#include "read/PictureReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace gustara {
namespace {

std::vector<std::filesystem::path> RegressionFiles()
{
    const std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path() / "regressions";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FuzzRegressionTest, EveryFoundInputLoadsOrFailsCleanly)
{
    const std::vector<std::filesystem::path> files = RegressionFiles();
    ASSERT_FALSE(files.empty());
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        TthPicConvert engine;
        PictureRaster picture;
        try {
            engine.LoadPicture(file.string(), picture);
            if (const auto probed = ProbePicture(file.string())) {
                EXPECT_LE(picture.width(), probed->width);
                EXPECT_LE(picture.height(), probed->height);
            }
        } catch (const EngineError& error) {
            EXPECT_STRNE(error.what(), "");
        }
    }
}

} // namespace
} // namespace gustara
