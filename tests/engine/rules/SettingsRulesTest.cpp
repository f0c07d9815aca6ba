#include "rules/SettingsRules.h"

#include <gtest/gtest.h>

namespace gustara {
namespace {

SettingsToCheck Valid()
{
    SettingsToCheck s;
    s.widthText = "800";
    s.heightText = "800";
    s.fileSizeText = "800";
    s.fileNameAffix = "s-";
    s.dirName = "Gustara";
    return s;
}

TEST(FirstSettingsProblem, ReportsTheFirstFailedTestInOrder)
{
    struct Case {
        const char* what;
        void (*change)(SettingsToCheck&);
        std::optional<std::string_view> message;
    };
    const Case cases[] = {
        {"defaults pass", [](SettingsToCheck&) {}, std::nullopt},
        {"unused typed box is not validated",
         [](SettingsToCheck& s) { s.widthText = "abc"; s.heightText = ""; }, std::nullopt},
        {"width 9", [](SettingsToCheck& s) { s.typedBoxInUse = true; s.widthText = "9"; }, Text(Message::SettingWidth)},
        {"width 10 passes", [](SettingsToCheck& s) { s.typedBoxInUse = true; s.widthText = "10"; }, std::nullopt},
        {"width 12.5", [](SettingsToCheck& s) { s.typedBoxInUse = true; s.widthText = "12.5"; }, Text(Message::SettingWidth)},
        {"width empty", [](SettingsToCheck& s) { s.typedBoxInUse = true; s.widthText = ""; }, Text(Message::SettingWidth)},
        {"width before height",
         [](SettingsToCheck& s) { s.typedBoxInUse = true; s.widthText = "1"; s.heightText = "1"; }, Text(Message::SettingWidth)},
        {"height", [](SettingsToCheck& s) { s.typedBoxInUse = true; s.heightText = "x"; }, Text(Message::SettingHeight)},
        {"file size", [](SettingsToCheck& s) { s.targetSizeInUse = true; s.fileSizeText = "9"; }, Text(Message::SettingFileSize)},
        {"file size beyond 32 bits passes",
         [](SettingsToCheck& s) { s.targetSizeInUse = true; s.fileSizeText = "4294967296"; }, std::nullopt},
        {"empty affix", [](SettingsToCheck& s) { s.fileNameAffix = ""; }, Text(Message::SettingAffixEmpty)},
        {"affix with slash", [](SettingsToCheck& s) { s.fileNameAffix = "a/b"; }, Text(Message::SettingAffixInvalid)},
        {"folder ignored in affix mode", [](SettingsToCheck& s) { s.dirName = ""; }, std::nullopt},
        {"empty folder", [](SettingsToCheck& s) { s.decidesName = false; s.dirName = ""; }, Text(Message::SettingDirEmpty)},
        {"folder with colon", [](SettingsToCheck& s) { s.decidesName = false; s.dirName = "a:b"; }, Text(Message::SettingDirInvalid)},
        {"folder ..", [](SettingsToCheck& s) { s.decidesName = false; s.dirName = ".."; }, Text(Message::SettingDirDots)},
        {"folder ...", [](SettingsToCheck& s) { s.decidesName = false; s.dirName = "..."; }, std::nullopt},
        {"affix ignored in folder mode",
         [](SettingsToCheck& s) { s.decidesName = false; s.fileNameAffix = "?"; }, std::nullopt},
        {"size before name",
         [](SettingsToCheck& s) { s.typedBoxInUse = true; s.heightText = "5"; s.fileNameAffix = ""; }, Text(Message::SettingHeight)},
    };
    for (const Case& c : cases) {
        SettingsToCheck settings = Valid();
        c.change(settings);
        EXPECT_EQ(FirstSettingsProblem(settings), c.message) << c.what;
    }
}

TEST(IsValidName, RefusesEachOfTheNineCharactersAnywhere)
{
    for (const char c : std::string_view("\\/:*?\"<>|")) {
        const std::string name = {'a', c, 'b'};
        EXPECT_FALSE(IsValidName(name)) << c;
        EXPECT_FALSE(IsValidName(std::string_view(&c, 1))) << c;
    }
    // Characters whose Shift-JIS trail byte is 0x5C or 0x7C are whole characters in UTF-8.
    for (const char* ok : {"s-", "ソ", "表", "能", "ー", "Gustara", " ", "(1)"})
        EXPECT_TRUE(IsValidName(ok)) << ok;
}

} // namespace
} // namespace gustara
