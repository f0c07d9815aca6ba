#pragma once

#include <array>
#include <cstdint>

// The settings a batch starts from, shared by the window (its controls' defaults and the fixed
// values of its hidden controls), the worker and the command line: each value is written here
// only.
namespace gustara {

// The square box presets, by the index of the window's list "1280 x 1280" ... "160 x 160".
inline constexpr std::array<int32_t, 7> kPresetBoxSides = {1280, 1024, 800, 640, 400, 320, 160};
// Each side of the typed box before the user types one.
inline constexpr int32_t kDefaultTypedBoxSide = 800;

// Resizing is off until asked for.
inline constexpr bool kDefaultUsePicSize = false;
// The output is named after its source with an affix ("s-photo.jpg"), not put in a sub-folder.
inline constexpr bool kDefaultDecidesName = true;
inline constexpr bool kDefaultNameBefore = true;
inline constexpr char kDefaultFileNameAffix[] = "s-";
inline constexpr char kDefaultDirName[] = "Gustara";
inline constexpr bool kDefaultProgressive = false;
// Flavour strengths run from the lowest to the highest level; the default is the highest.
inline constexpr int32_t kLowestFlavourLevel = 1;
inline constexpr int32_t kHighestFlavourLevel = 3;
inline constexpr int32_t kDefaultFlavourLevel = kHighestFlavourLevel;

// JPEG quality by the index of the window's quality list, "最高画質" ... "最低画質".
inline constexpr std::array<int32_t, 5> kQualityByLevel = {100, 80, 60, 30, 10};
// The quality list is hidden and fixed at its first level, so every file is written at 100.
inline constexpr int32_t kFixedQualityLevel = 0;
// The hidden target file size in KB; unused, since quality is chosen by level.
inline constexpr int64_t kFixedTargetFileSize = 800;
// The hidden contrast slider's position; copied into the engine, read by no step.
inline constexpr int32_t kFixedContrastPosition = 50;

// Every output is a JPEG file with this extension.
inline constexpr char kOutputExtension[] = ".jpg";

} // namespace gustara
