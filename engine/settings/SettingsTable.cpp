#include "settings/SettingsTable.h"

#include "EngineError.h"
#include "UnitThPicConvert.h"
#include "rules/Messages.h"
#include "rules/WholeNumber.h"
#include "settings/SettingsValues.h"

namespace gustara {

namespace {

using V = ControlValues;

// Whole-number value of a typed text, or the conversion error naming the text.
template <class Integer>
Integer WholeNumberOf(const std::string& text, std::optional<Integer> (*parse)(std::string_view))
{
    const auto value = parse(text);
    if (!value)
        throw EngineError(NotWholeNumberText(text));
    return *value;
}

// The indexes of a list of `count` entries.
constexpr IntegerRange ListIndexes(std::size_t count)
{
    return {0, static_cast<int32_t>(count) - 1};
}

constexpr IntegerRange kSideRange = {1, INT32_MAX};
constexpr const char* kExt = kExtensionSection;

bool IsUnset(const SettingRow& row, const ControlValues& values)
{
    if (!row.optional)
        return false;
    if (const auto* text = std::get_if<std::string V::*>(&row.field))
        return (values.*(*text)).empty();
    const auto* field = std::get_if<int32_t V::*>(&row.field);
    return field && !row.range.Holds(values.*(*field));
}

constexpr std::pair<const char*, Language> kLanguageSettings[] = {{"ja", Language::Japanese},
                                                                  {"en", Language::English}};

} // namespace

const std::array<SettingRow, 39> kSettingRows = {{
    {"CBPicSize", "PIC_SIZE", "USE_PIC_SIZE", &V::CBPicSize},
    {"RBRegularSize", "PIC_SIZE", "REGULAR_SIZE", &V::RBRegularSize},
    {"CBSizeList", "PIC_SIZE", "REGULAR_INDEX", &V::CBSizeList, ListIndexes(kPresetBoxSides.size())},
    {"RBInputPicSize", "PIC_SIZE", "INPUT_SIZE", &V::RBInputPicSize},
    {"EditPicWidth", "PIC_SIZE", "WIDTH", &V::EditPicWidth},
    {"EditPicHeight", "PIC_SIZE", "HEIGHT", &V::EditPicHeight},
    {"CBQuality", nullptr, nullptr, &V::CBQuality},
    {"RBQuality", nullptr, nullptr, &V::RBQuality},
    {"CBQualityLevel", nullptr, nullptr, &V::CBQualityLevel, ListIndexes(kQualityByLevel.size())},
    {"RBFileSize", nullptr, nullptr, &V::RBFileSize},
    {"EditFileSize", nullptr, nullptr, &V::EditFileSize},
    {"CBFilter", nullptr, nullptr, &V::CBFilter},
    {"TBContrast", nullptr, nullptr, &V::TBContrast, {0, 100}},
    {"CBVivid", nullptr, nullptr, &V::CBVivid},
    {"CBBrightness", nullptr, nullptr, &V::CBBrightness},
    {"RBBrightnessUP", nullptr, nullptr, &V::RBBrightnessUP},
    {"RBBrightnessDown", nullptr, nullptr, &V::RBBrightnessDown},
    {"CBMonochrome", nullptr, nullptr, &V::CBMonochrome},
    {"RBDecidesName", "PIC_SAVE", "USE_DECIDES_NAME", &V::RBDecidesName},
    {"CBSelectNamePos", "PIC_SAVE", "DECIDES_INDEX", &V::CBSelectNamePos, ListIndexes(2)},
    {"EditFileName", "PIC_SAVE", "DECIDES_STRING", &V::EditFileName},
    {"RBMakeDir", "PIC_SAVE", "USE_MAKE_DIR", &V::RBMakeDir},
    {"EditDirName", "PIC_SAVE", "DIR_NAME", &V::EditDirName},
    {"CBProgressive", "PIC_SAVE", "USE_PROGRESSIVE", &V::CBProgressive},
    {"RBGustaraLv1", "GUSTARA_LV", "LV_1", &V::RBGustaraLv1},
    {"RBGustaraLv2", "GUSTARA_LV", "LV_2", &V::RBGustaraLv2},
    {"RBGustaraLv3", "GUSTARA_LV", "LV_3", &V::RBGustaraLv3},
    {"KeepGoingItem", kExt, "KEEP_GOING", &V::KeepGoingItem},
    {"MoreFormatsItem", kExt, "MORE_FORMATS", &V::MoreFormatsItem},
    {nullptr, kExt, "COMPARE_WIDTH", &V::CompareWidth, kSideRange, true},
    {nullptr, kExt, "COMPARE_HEIGHT", &V::CompareHeight, kSideRange, true},
    {"QualityItem", kExt, "SHOW_QUALITY", &V::QualityItem},
    {nullptr, kExt, "USE_QUALITY", &V::KeptUseQuality},
    {nullptr, kExt, "BY_QUALITY", &V::KeptByQuality},
    {nullptr, kExt, "QUALITY_INDEX", &V::KeptQualityIndex},
    {nullptr, kExt, "FILE_SIZE", &V::KeptFileSize},
    {"FoldersItem", kExt, "FOLDERS", &V::FoldersItem},
    {"KeepDateItem", kExt, "KEEP_DATE", &V::KeepDateItem},
    {nullptr, kExt, "LANGUAGE", &V::WindowLanguage, {}, true},
}};

const std::array<bool ControlValues::*, kHighestFlavourLevel - kLowestFlavourLevel + 1> kStrengthFields = {
    &V::RBGustaraLv1, &V::RBGustaraLv2, &V::RBGustaraLv3};

ControlValues ReadControlValues(const IniFile& ini)
{
    const ControlValues defaults;
    ControlValues values;
    for (const SettingRow& row : kSettingRows) {
        if (!row.section)
            continue;
        std::visit(Overloaded{
                       [&](bool V::*field) {
                           values.*field = ReadSettingsFlag(ini, row.section, row.key, defaults.*field);
                       },
                       [&](int32_t V::*field) {
                           values.*field = ReadSettingsInteger(ini, row.section, row.key, defaults.*field);
                       },
                       [&](std::string V::*field) {
                           values.*field = ReadSettingsText(ini, row.section, row.key, defaults.*field);
                       },
                   },
                   row.field);
    }
    return values;
}

void WriteControlValues(IniFile& ini, const ControlValues& values)
{
    for (const SettingRow& row : kSettingRows) {
        if (!row.section)
            continue;
        if (IsUnset(row, values))
            continue;
        const std::string value = std::visit(Overloaded{
                                                 [&](bool V::*field) { return std::string(values.*field ? "1" : "0"); },
                                                 [&](int32_t V::*field) { return std::to_string(values.*field); },
                                                 [&](std::string V::*field) { return values.*field; },
                                             },
                                             row.field);
        ini.Write(row.section, row.key, value);
    }
}

std::optional<Language> ChosenLanguage(const ControlValues& values)
{
    for (const auto& [setting, language] : kLanguageSettings) {
        if (values.WindowLanguage == setting)
            return language;
    }
    return std::nullopt;
}

std::string LanguageSetting(std::optional<Language> choice)
{
    for (const auto& [setting, language] : kLanguageSettings) {
        if (choice == language)
            return setting;
    }
    return "auto";
}

std::optional<std::pair<int32_t, int32_t>> KeptCompareSize(const ControlValues& values)
{
    if (!kSideRange.Holds(values.CompareWidth) || !kSideRange.Holds(values.CompareHeight))
        return std::nullopt;
    return std::pair(values.CompareWidth, values.CompareHeight);
}

void GetPicSize(const ControlValues& values, int32_t& width, int32_t& height)
{
    if (!values.RBRegularSize) {
        // An unused box is not read, so a leftover text in a disabled field ends no batch.
        const bool used = values.CBPicSize;
        width = used ? WholeNumberOf<int32_t>(values.EditPicWidth, ParseWholeNumber32) : 0;
        height = used ? WholeNumberOf<int32_t>(values.EditPicHeight, ParseWholeNumber32) : 0;
        return;
    }
    const int32_t index = values.CBSizeList;
    if (index >= 0 && index < static_cast<int32_t>(kPresetBoxSides.size()))
        width = kPresetBoxSides[static_cast<std::size_t>(index)];
    height = width;
}

int GetQualityValue(const ControlValues& values)
{
    const int32_t index = values.CBQualityLevel;
    return index >= 0 && index < static_cast<int32_t>(kQualityByLevel.size())
               ? kQualityByLevel[static_cast<std::size_t>(index)]
               : 0;
}

int GetFlavourLevel(const ControlValues& values)
{
    for (int level = kLowestFlavourLevel; level < kHighestFlavourLevel; ++level) {
        if (values.*kStrengthFields[static_cast<std::size_t>(level - kLowestFlavourLevel)])
            return level;
    }
    return kHighestFlavourLevel;
}

int64_t GetTargetFileSize(const ControlValues& values)
{
    return WholeNumberOf<int64_t>(values.EditFileSize, ParseWholeNumber64);
}

void FillConversionSettings(const ControlValues& values, TthPicConvert& engine)
{
    engine.UseDecidesName = values.RBDecidesName;
    engine.DirName = values.EditDirName;
    engine.UseFilter = values.CBFilter;
    engine.UseContrast = values.CBContrast;
    engine.UseVivid = values.CBVivid;
    engine.UseBrightness = values.CBBrightness;
    engine.UseMonochrome = values.CBMonochrome;
    engine.ContrastLevel = values.TBContrast;
    engine.BrightnessDown = values.RBBrightnessDown;
    engine.UsePicSize = values.CBPicSize;
    engine.PicWidth = 0;
    engine.PicHeight = 0;
    GetPicSize(values, engine.PicWidth, engine.PicHeight);
    engine.UseProgressive = values.CBProgressive;
    engine.UseQuality = values.CBQuality;
    engine.ByQuality = values.RBQuality;
    engine.QualityValue = GetQualityValue(values);
    engine.TargetFileSize = GetTargetFileSize(values);
    engine.FlavourLevel = GetFlavourLevel(values);
    engine.NameBefore = values.CBSelectNamePos == 0;
    engine.FileNameAffix = values.EditFileName;
    engine.KeepDate = values.KeepDateItem;
}

} // namespace gustara
