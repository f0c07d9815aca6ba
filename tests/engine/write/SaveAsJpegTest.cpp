#include "EngineError.h"
#include "write/JpegWriter.h"
#include "rules/PathParts.h"
#include "TestFiles.h"
#include "UnitThPicConvert.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace gustara {
namespace {

namespace fs = std::filesystem;

TthPicConvert AffixEngine(bool before, const std::string& affix = "s-")
{
    TthPicConvert engine;
    engine.UseDecidesName = true;
    engine.NameBefore = before;
    engine.FileNameAffix = affix;
    engine.UseQuality = true;
    engine.ByQuality = true;
    engine.QualityValue = 100;
    return engine;
}

TthPicConvert FolderEngine(const std::string& dirName = "Gustara")
{
    TthPicConvert engine = AffixEngine(true);
    engine.UseDecidesName = false;
    engine.DirName = dirName;
    return engine;
}

class SaveAsJpegTest : public ::testing::Test {
protected:
    std::string Save(TthPicConvert& engine, const std::string& name)
    {
        return engine.SaveAsJpeg(dir.file(name), picture);
    }
    void Touch(const std::string& name) { test::WriteFileBytes(dir.file(name), {'o', 'l', 'd'}); }

    test::TempDir dir;
    PictureRaster picture = test::MakeTestPicture(8, 6);
};

TEST_F(SaveAsJpegTest, NamesTheOutputAsTheSettingsSay)
{
    struct Case {
        const char* what;
        TthPicConvert engine;
        const char* saveName;
        std::vector<std::string> existing;
        const char* expected;
    };
    const Case cases[] = {
        {"affix before", AffixEngine(true), "photo.jpg", {}, "s-photo.jpg"},
        {"affix after", AffixEngine(false), "photo.jpg", {}, "photos-.jpg"},
        {"sub-folder", FolderEngine(), "photo.jpg", {}, "Gustara/photo.jpg"},
        {"taken once", AffixEngine(true), "photo.jpg", {"s-photo.jpg"}, "s-photo(1).jpg"},
        {"taken twice", AffixEngine(true), "photo.jpg", {"s-photo.jpg", "s-photo(1).jpg"}, "s-photo(2).jpg"},
        {"taken in the sub-folder", FolderEngine(), "photo.jpg", {"Gustara/photo.jpg"}, "Gustara/photo(1).jpg"},
        {"several dots", AffixEngine(false), "my.photo.jpg", {}, "my.photos-.jpg"},
        {"Japanese affix", AffixEngine(false, "_おいしい"), "ラーメン.jpg", {}, "ラーメン_おいしい.jpg"},
    };
    for (const Case& c : cases) {
        test::TempDir caseDir;
        fs::create_directory(caseDir.path() / "Gustara");
        for (const std::string& name : c.existing)
            test::WriteFileBytes(caseDir.file(name), {'o', 'l', 'd'});
        TthPicConvert engine = c.engine;
        const std::string written = engine.SaveAsJpeg(caseDir.file(c.saveName), picture);
        EXPECT_EQ(written, caseDir.file(c.expected)) << c.what;
        EXPECT_EQ(test::ReadFileBytes(written), EncodeJpeg(picture, 100, false)) << c.what;
        for (const std::string& name : c.existing)
            EXPECT_EQ(test::ReadFileBytes(caseDir.file(name)), (std::vector<uint8_t>{'o', 'l', 'd'})) << c.what;
    }
}

TEST_F(SaveAsJpegTest, NumbersGoOnPastNineWithoutLeadingZeros)
{
    TthPicConvert engine = AffixEngine(true);
    Touch("s-photo.jpg");
    for (int n = 1; n <= 10; ++n)
        Touch("s-photo(" + std::to_string(n) + ").jpg");
    EXPECT_EQ(Save(engine, "photo.jpg"), dir.file("s-photo(11).jpg"));
    EXPECT_EQ(Save(engine, "photo.jpg"), dir.file("s-photo(12).jpg"));
}

TEST_F(SaveAsJpegTest, CreatesTheSubFolderOnceAndUsesAnExistingOne)
{
    TthPicConvert engine = FolderEngine();
    EXPECT_EQ(Save(engine, "a.jpg"), dir.file("Gustara/a.jpg"));
    EXPECT_EQ(Save(engine, "b.jpg"), dir.file("Gustara/b.jpg"));
    EXPECT_TRUE(fs::is_directory(dir.file("Gustara")));
}

TEST_F(SaveAsJpegTest, FailsWhenAFileHoldsTheSubFolderName)
{
    TthPicConvert engine = FolderEngine();
    Touch("Gustara");
    try {
        Save(engine, "photo.jpg");
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + dir.file("Gustara/photo.jpg") + " を作成できません: 保存先のフォルダと同じ名前のファイルがあります");
    }
    EXPECT_EQ(engine.GetOutputFolder(), "");
    EXPECT_EQ(test::ReadFileBytes(dir.file("Gustara")), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST_F(SaveAsJpegTest, RecordsTheFolderOfTheLastFileWritten)
{
    TthPicConvert engine = FolderEngine();
    EXPECT_EQ(engine.GetOutputFolder(), "");
    Touch("Gustara");  // the first save fails and records nothing
    EXPECT_THROW(Save(engine, "x.jpg"), EngineError);
    EXPECT_EQ(engine.GetOutputFolder(), "");
    fs::remove(dir.file("Gustara"));
    fs::create_directory(dir.file("sub"));
    engine.SaveAsJpeg(dir.file("sub/photo.jpg"), picture);
    EXPECT_EQ(engine.GetOutputFolder(), dir.file("sub/Gustara/"));
    engine.SaveAsJpeg(dir.file("photo.jpg"), picture);
    EXPECT_EQ(engine.GetOutputFolder(), dir.file("Gustara/"));
}

TEST_F(SaveAsJpegTest, AnUpperCaseSourceExtensionGivesLowerCaseJpg)
{
    TthPicConvert engine = AffixEngine(false);
    EXPECT_EQ(engine.SaveAsJpeg(ReplaceExtension(dir.file("PHOTO.JPG"), ".jpg"), picture), dir.file("PHOTOs-.jpg"));
}

TEST_F(SaveAsJpegTest, AnEmptyPictureFailsAndCreatesNothing)
{
    TthPicConvert engine = FolderEngine();
    PictureRaster empty;
    EXPECT_THROW(engine.SaveAsJpeg(dir.file("photo.jpg"), empty), EngineError);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(SaveAsJpegTest, QualitySettingsChooseTheDatastream)
{
    TthPicConvert fixed80 = AffixEngine(true);
    fixed80.UseQuality = false;
    EXPECT_EQ(test::ReadFileBytes(Save(fixed80, "a.jpg")), EncodeJpeg(picture, 80, false));

    TthPicConvert progressive = AffixEngine(true);
    progressive.UseProgressive = true;
    progressive.QualityValue = 55;
    EXPECT_EQ(test::ReadFileBytes(Save(progressive, "b.jpg")), EncodeJpeg(picture, 55, true));
}

TEST_F(SaveAsJpegTest, TargetSizeSearchKeepsTheFirstQualityBelowTheTarget)
{
    picture = test::MakeTestPicture(300, 200, 7);
    std::vector<std::vector<uint8_t>> byQuality;  // index i: quality 100 - 10 i
    for (int quality = 100; quality >= 0; quality -= 10)
        byQuality.push_back(EncodeJpeg(picture, quality, false));

    for (int64_t targetKb : {int64_t{0}, int64_t{-5}, int64_t{1}, int64_t{5}, int64_t{20}, int64_t{1000000}}) {
        std::size_t expected = byQuality.size() - 1;  // nothing below: the quality-0 datastream
        for (std::size_t i = 0; i < byQuality.size(); ++i)
            if (static_cast<int64_t>(byQuality[i].size()) < targetKb * 1024) {
                expected = i;
                break;
            }
        TthPicConvert engine = AffixEngine(true);
        engine.ByQuality = false;
        engine.TargetFileSize = targetKb;
        test::TempDir caseDir;
        EXPECT_EQ(test::ReadFileBytes(engine.SaveAsJpeg(caseDir.file("p.jpg"), picture)), byQuality[expected])
            << targetKb;
    }
}

} // namespace
} // namespace gustara
