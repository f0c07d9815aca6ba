#include "CliRunner.h"
#include "rules/Defaults.h"
#include "rules/DisplayText.h"
#include "write/JpegWriter.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace gustara {
namespace {

namespace fs = std::filesystem;

using test::CliResult;

class CliTest : public ::testing::Test {
protected:
    CliResult Run(const std::string& arguments) { return test::RunCli(dir.path(), arguments); }
    std::string MakeJpeg(const std::string& name, int32_t width = 40, int32_t height = 30)
    {
        test::WriteFileBytes(dir.file(name), EncodeJpeg(test::MakeTestPicture(width, height), 95, false));
        return dir.file(name);
    }
    std::vector<std::string> Entries()
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
};

TEST_F(CliTest, ConvertsBesideTheSourceAndPrintsThePath)
{
    const std::string source = MakeJpeg("photo.jpg");
    const auto before = test::ReadFileBytes(source);
    const CliResult result = Run("photo.jpg");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "s-photo.jpg\n");
    EXPECT_EQ(test::ReadFileBytes(source), before);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"photo.jpg", "s-photo.jpg"}));

    // A second run never replaces the first output.
    const auto firstOutput = test::ReadFileBytes(dir.file("s-photo.jpg"));
    EXPECT_EQ(Run("photo.jpg").out, "s-photo(1).jpg\n");
    EXPECT_EQ(test::ReadFileBytes(dir.file("s-photo.jpg")), firstOutput);
}

TEST_F(CliTest, NamesWithSpacesJapaneseAndALeadingDashWork)
{
    MakeJpeg("焼き 鳥%.jpg");
    MakeJpeg("-dash.JPG");
    const CliResult result = Run("--suffix=_旨 -- '焼き 鳥%.jpg' -dash.JPG");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "焼き 鳥%_旨.jpg\n-dash_旨.jpg\n");
}

TEST_F(CliTest, OptionsChooseSizeFolderAndQuality)
{
    MakeJpeg("big.jpg", 400, 100);
    const CliResult result = Run("--size=160 --dir=out --level=1 --progressive --quality=70 big.jpg");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "out/big.jpg\n");
    std::string info;
    ASSERT_EQ(test::RunCommand("djpeg -ppm " + test::ShellQuote(dir.file("out/big.jpg")) + " | head -c 20", &info), 0);
    EXPECT_EQ(info.substr(0, 10), "P6\n160 40\n");
}

TEST_F(CliTest, TargetSizeMissesAreSavedAndCountedOnStandardError)
{
    MakeJpeg("big.jpg", 1200, 800);
    MakeJpeg("small.jpg");
    const CliResult result = Run("--target-size=10 big.jpg small.jpg");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "s-big.jpg\ns-small.jpg\n");
    EXPECT_EQ(result.err, "1枚は目標のファイルサイズを下回りませんでした\n");
    EXPECT_GE(fs::file_size(dir.file("s-big.jpg")), 10u * 1024);
}

TEST_F(CliTest, CutShortPicturesAreSavedAndNamedOnStandardError)
{
    const auto jpeg = test::ReadFileBytes(MakeJpeg("cut.jpg", 300, 200));
    test::WriteFileBytes(dir.file("cut.jpg"), test::Cut(jpeg, jpeg.size() / 2));
    const CliResult result = Run("cut.jpg");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "s-cut.jpg\n");
    EXPECT_EQ(result.err, "[cut.jpg]は一部が欠けています（ファイルが途中で切れています）\n");
}

TEST_F(CliTest, RefusesBadRequestsWithTheWindowsMessagesAndConvertsNothing)
{
    MakeJpeg("photo.jpg");
    fs::create_directory(dir.file("album"));
    test::WriteFileBytes(dir.file("notes.tif"), {'x'});
    test::WriteFileBytes(dir.file("album/x.txt"), {'x'});
    const std::pair<std::string, std::string> cases[] = {
        {"photo.jpg album notes.tif sub album/x.txt",
         "■「JPEG形式、GIF形式、PNG形式、BMP形式」以外の形式には対応していません\n　　album/x.txt\n　　notes.tif\n\n"
         "■ファイルが見つかりません\n　　sub\n\n"
         "■フォルダには対応していません（中の画像を指定してください）\n　　album\n"},
        {"--size=9x100 photo.jpg", "幅は10以上の整数で入力してください"},
        {"--size=100x12.5 photo.jpg", "高さは10以上の整数で入力してください"},
        {"--size=500 photo.jpg", "--size"},
        {"--prefix= photo.jpg", "ファイル名の前後に付ける文字を入力してください"},
        {"--suffix='a/b' photo.jpg", "ファイル名に「\\/:*?\"<>|」は使えません"},
        {"--dir='a:b' photo.jpg", "フォルダ名に「\\/:*?\"<>|」は使えません"},
        {"--dir=x --prefix=y photo.jpg", "--dir"},
        {"--level=4 photo.jpg", "--level"},
        {"--quality=101 photo.jpg", "--quality"},
        {"--target-size=5 photo.jpg", "ファイルサイズは10以上の整数で入力してください"},
        {"--bogus photo.jpg", "--bogus"},
        {"", "画像を指定してください"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.err.find(message), std::string::npos) << arguments << "\n" << result.err;
        EXPECT_EQ(result.out, "") << arguments;
    }
    EXPECT_EQ(Entries(), (std::vector<std::string>{"album", "notes.tif", "photo.jpg"}));
}

TEST_F(CliTest, HelpAndSizeMessageListThePresets)
{
    std::string presets;
    for (const int32_t side : kPresetBoxSides)
        presets += (presets.empty() ? "" : " ") + std::to_string(side);
    EXPECT_NE(Run("--help").out.find(presets), std::string::npos);
    EXPECT_NE(Run("--size=500 photo.jpg").err.find(presets), std::string::npos);
}

TEST_F(CliTest, HelpFitsEightyColumnsCountingJapaneseAsTwo)
{
    for (const char* locale : {"LC_ALL=C", ""}) {
        std::istringstream help(test::RunCli(dir.path(), "--help", locale).out);
        for (std::string line; std::getline(help, line);) {
            const auto leadBytes = std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) == 0xC0; });
            const auto others = std::count_if(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; });
            EXPECT_LE(others + 2 * leadBytes, 80) << locale << "\n" << line;
        }
    }
}

TEST_F(CliTest, SpeaksTheUsersLanguageInTheLocalesCharacterSet)
{
    MakeJpeg("a.jpg");
    MakeJpeg("big.jpg", 1200, 800);
    test::WriteFileBytes(dir.file("broken.jpg"), {0xFF, 0xD8, 0xFF});
    const struct {
        std::string locale, arguments, message;
    } cases[] = {
        {"LC_ALL=C", "--level=4 a.jpg", "--level: give 1, 2 or 3"},
        {"LC_ALL= LC_MESSAGES=en_GB.UTF-8 LANG=ja_JP.UTF-8", "--level=4 a.jpg", "--level: give 1, 2 or 3"},
        {"LC_ALL= LC_MESSAGES= LANG=ja_JP.UTF-8", "--level=4 a.jpg", "--level: 1, 2, 3 のいずれかを指定してください"},
        {"LC_ALL= LANGUAGE=ja LANG=en_US.UTF-8", "--level=4 a.jpg", "--level: 1, 2, 3 のいずれかを指定してください"},
        {"LC_ALL=ja_JP.EUC-JP", "--level=4 a.jpg", "--level: 1, 2, 3 \xA4\xCE\xA4\xA4\xA4\xBA\xA4\xEC\xA4\xAB"},
        {"LC_ALL=en_US.ISO-8859-1 LANGUAGE=ja", "--level=4 a.jpg", "--level: give 1, 2 or 3"},
        {"LC_ALL=C", "broken.jpg a.jpg", "\n1 picture not converted\n"},
        {"LC_ALL=C", "--target-size=10 big.jpg", "1 picture stayed above the target file size\n"},
    };
    for (const auto& [locale, arguments, message] : cases)
        EXPECT_NE(test::RunCli(dir.path(), arguments, locale).err.find(message), std::string::npos) << locale;
    EXPECT_NE(test::RunCli(dir.path(), "--help", "LANG=C LC_ALL=").out.find("Usage: gustara-cli"), std::string::npos);
}

TEST_F(CliTest, ScriptOptionsAndTheirRefusals)
{
    const struct {
        std::string arguments;
        int status;
        std::string out;
        std::string errPart;  // empty: nothing on standard error
    } cases[] = {
        {"--output-dir=out/sub a.jpg", 0, "out/sub/s-a.jpg\n", ""},
        {"--output-dir=a.jpg/out a.jpg", 1, "", "出力先のフォルダ a.jpg/out を作成できません: 保存先のフォルダと同じ名前のファイルがあります\n"},
        {"--if-exists=skip a.jpg b.jpg", 0, "s-a.jpg\n", "[b.jpg]は書き込みません: s-b.jpg があります"},
        {"-0 a.jpg b.jpg", 0, std::string("s-a.jpg\0s-b(1).jpg\0", 19), ""},
        {"-q a.jpg", 0, "", ""},
        {"--progress a.jpg", 0, "s-a.jpg\n", "[1/1] [a.jpg]を処理しています\n"},
        {"broken.jpg a.jpg b.jpg", 1, "", "2枚の画像は変換していません"},
        {"a.jpg >/dev/full", 1, "", "書き込んだファイルの一覧を標準出力に書けません"},
        {"- a.jpg", 2, "", "「-」: 標準入力からは読みません\n"},
        {"--compare=strip.png a.jpg", 2, "", ".jpg か .jpeg"},
        {"--dir=.. a.jpg", 2, "", "「.」や「..」"},
        {"--if-exists=replace a.jpg", 2, "", "--if-exists"},
        {"-odd.jpg", 2, "", "です: -o\n「-」で始まる名前の画像は -- の後に"},
        {"-xy a.jpg", 2, "", "です: -x\n"},
        {"a.jpg --level", 2, "", "です: --level\n("},
    };
    for (const auto& c : cases) {
        const test::TempDir caseDir;
        for (const char* name : {"a.jpg", "b.jpg"})
            test::WriteFileBytes(caseDir.file(name), EncodeJpeg(test::MakeTestPicture(20, 10), 95, false));
        test::WriteFileBytes(caseDir.file("s-b.jpg"), {'o', 'l', 'd'});
        test::WriteFileBytes(caseDir.file("broken.jpg"), {0xFF, 0xD8, 0xFF});
        const CliResult result = test::RunCli(caseDir.path(), c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
        EXPECT_EQ(result.out, c.out) << c.arguments;
        if (c.errPart.empty())
            EXPECT_EQ(result.err, "") << c.arguments;
        else
            EXPECT_NE(result.err.find(c.errPart), std::string::npos) << c.arguments << "\n" << result.err;
        EXPECT_EQ(test::ReadFileBytes(caseDir.file("s-b.jpg")), (std::vector<uint8_t>{'o', 'l', 'd'})) << c.arguments;
    }
}

TEST_F(CliTest, ProgressLineOnATerminalFitsItsWidthAndIsClearedBeforeEachPath)
{
    const std::string name = std::string(50, 'x') + "焼き鳥.jpg";
    MakeJpeg(name);
    MakeJpeg("b.jpg");
    const std::string command = "stty cols 40; LC_ALL=ja_JP.UTF-8 " + test::ShellQuote(GUSTARA_CLI_PATH) + " -j1 --output-dir=out "
                                + test::ShellQuote(name) + " b.jpg";
    std::string screen;
    ASSERT_EQ(test::RunCommand("cd " + test::ShellQuote(dir.path().string()) + " && script -qec "
                                   + test::ShellQuote(command) + " /dev/null </dev/null",
                               &screen),
              0);
    const std::string clear = "\r\033[K";
    EXPECT_EQ(screen, clear + "[1/2] [xxxxxxx…鳥.jpg]を処理しています" + clear + "out/s-" + name + "\r\n" + clear
                          + "[2/2] [b.jpg]を処理しています" + clear + "out/s-b.jpg\r\n" + clear);
}

TEST_F(CliTest, StopsAtTheFirstFailedPictureUnlessToldToGoOn)
{
    MakeJpeg("a.jpg");
    test::WriteFileBytes(dir.file("b.png"), {'n', 'o', 't', ' ', 'p', 'n', 'g'});
    MakeJpeg("c.jpg");

    const CliResult stopped = Run("a.jpg b.png c.jpg");
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.out, "s-a.jpg\n");
    EXPECT_NE(stopped.err.find("[b.png]の処理に失敗しました"), std::string::npos) << stopped.err;
    EXPECT_FALSE(fs::exists(dir.file("s-c.jpg")));

    const CliResult goneOn = Run("--keep-going b.png c.jpg");
    EXPECT_EQ(goneOn.status, 1);
    EXPECT_EQ(goneOn.out, "s-c.jpg\n");
}

TEST_F(CliTest, NamesThatAreNotUtf8KeepTheirBytesAndAreShownReplaced)
{
    // 料理 and 料 in Shift-JIS, as names unpacked from a Windows archive; messages show each
    // stray byte replaced, the written path keeps the source's bytes.
    const std::string ryouri = "\x97\xbf\x97\x9d", ryou = "\x97\xbf", replaced = "\xEF\xBF\xBD\xEF\xBF\xBD";
    MakeJpeg(ryouri + ".jpg");
    test::WriteFileBytes(dir.file(ryou + ".png"), {'n', 'o', 't'});
    test::WriteFileBytes(dir.file(ryou + ".tif"), {});

    const CliResult failed = Run("--keep-going " + test::ShellQuote(ryouri + ".jpg") + " " + test::ShellQuote(ryou + ".png"));
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "s-" + ryouri + ".jpg\n");
    EXPECT_TRUE(fs::exists(dir.file("s-" + ryouri + ".jpg")));
    EXPECT_NE(failed.err.find("[" + replaced + ".png]の処理に失敗しました: "), std::string::npos) << failed.err;
    const CliResult refused = Run(test::ShellQuote(ryou + ".tif"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find(replaced + ".tif"), std::string::npos) << refused.err;
    for (CliResult result : {failed, refused}) {
        std::erase(result.err, '\n');
        EXPECT_EQ(ForDisplay(result.err), result.err);
    }
}

} // namespace
} // namespace gustara
