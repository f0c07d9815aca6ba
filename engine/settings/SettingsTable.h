#pragma once

#include "rules/Defaults.h"
#include "settings/IniFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace gustara {

class TthPicConvert;

// The values of the main window's settings controls, one field per control and named after
// it: a check box or choice as checked, a list as its selected index (-1: none), an edit
// field as its text, the slider as its position. As constructed it holds what the window shows
// without a settings file: the defaults of the fifteen keys and the fixed values of the hidden
// controls. The command line starts from the same values.
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
};

// One setting: the control (its object name in the window), where the settings file keeps it
// and its field in ControlValues, whose initial value is its default. A row without a section
// is a hidden control that takes its fixed value at every load and is never written.
struct SettingRow {
    const char* control;
    const char* section;
    const char* key;
    std::variant<bool ControlValues::*, int32_t ControlValues::*, std::string ControlValues::*> field;
};

// Visits a row's field with one handler per kind of value.
template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// Spelled out for clang before 17, which does not deduce an aggregate's arguments.
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

// Every setting in the order of the load; the rows with a key, in this order, are the fifteen
// keys of a file written from scratch.
extern const std::array<SettingRow, 27> kSettingRows;

// The strength choices by level: the field of level L is kStrengthFields[L - kLowestFlavourLevel].
extern const std::array<bool ControlValues::*, kHighestFlavourLevel - kLowestFlavourLevel + 1> kStrengthFields;

// The values of the settings file: each key that is missing or does not parse takes its
// default, each hidden control its fixed value. Does not fail.
ControlValues ReadControlValues(const IniFile& ini);
// Writes the fifteen keys, in order, each replacing its value or added. Does not fail.
void WriteControlValues(IniFile& ini, const ControlValues& values);

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
