#pragma once

#include "rules/Defaults.h"
#include "rules/Messages.h"
#include "settings/IniFile.h"

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace gustara {

class TthPicConvert;

// The values of the main window's settings, one field per control and named after it: a
// check box, choice or menu item as checked, a list as its selected index (-1: none), an edit
// field as its text, the slider as its position; and the values the window keeps without a
// control. As constructed it holds what the window shows without a settings file: the defaults
// of every key and the fixed values of the hidden controls. The command line starts from the
// same values.
struct ControlValues {
    // Size group.
    bool CBPicSize = kDefaultUsePicSize;
    bool RBRegularSize = true;
    int32_t CBSizeList = 0;
    bool RBInputPicSize = false;
    std::string EditPicWidth = std::to_string(kDefaultTypedBoxSide);
    std::string EditPicHeight = std::to_string(kDefaultTypedBoxSide);
    // Save group.
    bool RBDecidesName = kDefaultDecidesName;
    int32_t CBSelectNamePos = kDefaultNameBefore ? 0 : 1;
    std::string EditFileName = kDefaultFileNameAffix;
    bool RBMakeDir = !kDefaultDecidesName;
    std::string EditDirName = kDefaultDirName;
    bool CBProgressive = kDefaultProgressive;
    // Strength group.
    bool RBGustaraLv1 = kDefaultFlavourLevel == 1;
    bool RBGustaraLv2 = kDefaultFlavourLevel == 2;
    bool RBGustaraLv3 = kDefaultFlavourLevel == 3;
    // Hidden quality group.
    bool CBQuality = true;
    bool RBQuality = true;
    int32_t CBQualityLevel = kFixedQualityLevel;
    bool RBFileSize = false;
    std::string EditFileSize = std::to_string(kFixedTargetFileSize);
    // Hidden effect group: copied into the engine, read by no step.
    bool CBFilter = false;
    bool CBContrast = false;
    int32_t TBContrast = kFixedContrastPosition;
    bool CBVivid = false;
    bool CBBrightness = false;
    bool RBBrightnessUP = true;
    bool RBBrightnessDown = false;
    bool CBMonochrome = false;
    // Settings menu.
    bool KeepGoingItem = false;    // a batch goes on past a failed picture
    bool MoreFormatsItem = false;  // HEIC, HEIF, AVIF and WebP pictures are taken in too
    bool QualityItem = false;      // the quality group is shown and in use
    bool FoldersItem = false;      // a dropped folder's tree is taken in (PicturesInTree)
    bool KeepDateItem = false;     // outputs keep the capture date (TthPicConvert::KeepDate)
    // Kept by the window. The comparison window's last size, unset (0) until it is used.
    int32_t CompareWidth = 0;
    int32_t CompareHeight = 0;
    // The window's language as chosen in its menu: "ja", "en" or "auto"; empty (and not written)
    // until a choice is made. Automatic follows the user's locale.
    std::string WindowLanguage;
    // The quality group's choices while it is hidden, as constructed its fixed values; while it
    // is shown they are its controls' values.
    bool KeptUseQuality = true;
    bool KeptByQuality = true;
    int32_t KeptQualityIndex = kFixedQualityLevel;
    std::string KeptFileSize = std::to_string(kFixedTargetFileSize);
};

// The values an integer setting may take.
struct IntegerRange {
    int32_t lowest = INT32_MIN;
    int32_t highest = INT32_MAX;
    bool Holds(int32_t value) const { return value >= lowest && value <= highest; }
};

// One setting: its control (the object name in the window; none for a value the window keeps
// itself), where the settings file keeps it, its field in ControlValues, whose initial value is
// its default, and for an integer its range. A row without a section is a hidden control that
// takes its fixed value at every load and is never written. A list's range is its indexes: a
// value outside it selects nothing. An optional setting is unset while its value is outside its
// range (an integer) or empty (a text), and is not written then.
struct SettingRow {
    const char* control;
    const char* section;
    const char* key;
    std::variant<bool ControlValues::*, int32_t ControlValues::*, std::string ControlValues::*> field;
    IntegerRange range = {};
    bool optional = false;
};

// Visits a row's field with one handler per kind of value.
template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// Spelled out for clang before 17, which does not deduce an aggregate's arguments.
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

// The section of the settings beyond the fifteen keys of the ported program; a file written
// from scratch holds it after the other three, so those keep their order.
inline constexpr char kExtensionSection[] = "GUSTARA_EXT";

// Every setting in the order of the load; the rows with a key, in this order, are the keys of
// a file written from scratch. Adding a setting is adding a row and its field.
extern const std::array<SettingRow, 39> kSettingRows;

// The strength choices by level: the field of level L is kStrengthFields[L - kLowestFlavourLevel].
extern const std::array<bool ControlValues::*, kHighestFlavourLevel - kLowestFlavourLevel + 1> kStrengthFields;

// The values of the settings file: each key that is missing or does not parse takes its
// default, each hidden control its fixed value. Does not fail.
ControlValues ReadControlValues(const IniFile& ini);
// Writes every key, in order, each replacing its value or added; an unset optional one is left
// as the file has it. Does not fail.
void WriteControlValues(IniFile& ini, const ControlValues& values);

// The window's language chosen in its menu; none for automatic (never chosen, "auto", or a value
// that names no language of the table).
std::optional<Language> ChosenLanguage(const ControlValues& values);
// The value of WindowLanguage that keeps `choice`, none for automatic.
std::string LanguageSetting(std::optional<Language> choice);

// The comparison window's size kept from its last use (width, height); none while unset.
std::optional<std::pair<int32_t, int32_t>> KeptCompareSize(const ControlValues& values);

// The questions the batch asks of the window's settings.
// The bounding box: the typed sides when resizing is on and no preset is chosen (0 x 0 when
// resizing is off), a preset's side twice, and with no preset selected `width` as given for
// both. Throws EngineError "'<text>' は整数ではありません" for a typed side that is not a
// whole number.
void GetPicSize(const ControlValues& values, int32_t& width, int32_t& height);
// JPEG quality by quality level: 100, 80, 60, 30, 10; 0 with no level selected.
int GetQualityValue(const ControlValues& values);
// Flavour strength: the lowest level whose choice is selected; the highest when none is.
int GetFlavourLevel(const ControlValues& values);
// The target file size in KB. Throws EngineError as GetPicSize does.
int64_t GetTargetFileSize(const ControlValues& values);

// Fills the conversion settings of `engine` from the values; the engine's other state is
// untouched. Throws EngineError as GetPicSize does, leaving `engine` partly filled.
void FillConversionSettings(const ControlValues& values, TthPicConvert& engine);

} // namespace gustara
