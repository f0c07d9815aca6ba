#include "OptionRows.h"

#include "CompareRunner.h"
#include "rules/Defaults.h"
#include "rules/PathParts.h"
#include "rules/SettingsRules.h"
#include "rules/WholeNumber.h"

#include <algorithm>
#include <cstdint>

namespace gustara::cli {

namespace {

// Throws UsageError with the window's message when a check of the settings failed.
void RefuseAsTheWindowDoes(std::optional<std::string_view> problem)
{
    if (problem)
        throw UsageError(std::string(*problem));
}

// --size: a preset side, or a typed box checked with the window's messages.
void ApplySize(const OptionArgument& argument, CliRequest& request)
{
    TthPicConvert& settings = request.settings;
    const std::string_view value = argument.text;
    settings.UsePicSize = true;
    const auto times = value.find_first_of("xX");
    if (times == std::string_view::npos || times == 0) {
        const auto side = ParseWholeNumber32(value);
        if (!side || std::find(kPresetBoxSides.begin(), kPresetBoxSides.end(), *side) == kPresetBoxSides.end())
            throw UsageError(Message::UsageSize);
        settings.PicWidth = settings.PicHeight = *side;
        return;
    }
    const std::string_view width = value.substr(0, times);
    const std::string_view height = value.substr(times + 1);
    RefuseAsTheWindowDoes(TypedBoxProblem(width, height));
    settings.PicWidth = *ParseWholeNumber32(width);
    settings.PicHeight = *ParseWholeNumber32(height);
}

// --prefix and --suffix: the affix and its side; the save-name check follows all options.
template <bool before>
void ApplyAffix(const OptionArgument& argument, CliRequest& request)
{
    request.settings.UseDecidesName = true;
    request.settings.NameBefore = before;
    request.settings.FileNameAffix = argument.text;
}

void ApplyCompare(const OptionArgument& argument, CliRequest& request)
{
    if (argument.text.empty())
        throw UsageError(Message::UsageCompareOutput);
    // The strip is a JPEG datastream: another extension would misname it.
    if (const std::string extension = UpperAscii(ExtensionOf(argument.text)); extension != ".JPG" && extension != ".JPEG")
        throw UsageError(Message::UsageCompareExtension);
    request.compareOutput = argument.text;
}

std::string FlavourLevels()
{
    std::string levels;
    for (int32_t level = kLowestFlavourLevel; level <= kHighestFlavourLevel; ++level)
        levels += (levels.empty() ? "" : " ") + std::to_string(level);
    return levels;
}

std::string PresetSides()
{
    std::string sides;
    for (const int32_t side : kPresetBoxSides)
        sides += (sides.empty() ? "" : " ") + std::to_string(side);
    return sides;
}

using V = OptionValue;
using M = Message;
using A = OptionArgument;
using R = CliRequest;

} // namespace

// In the order of --help. The defaults are the window's (its settings without a settings file).
const std::array<OptionRow, 24> kOptionRows = {{
    {.name = "level", .shortName = 'l', .value = V::WholeNumber, .valueName = "1|2|3", .low = kLowestFlavourLevel,
     .high = kHighestFlavourLevel, .refusal = M::UsageLevel, .help = M::CliHelpLevel,
     .shownDefault = [] { return std::to_string(kDefaultFlavourLevel); }, .choices = FlavourLevels,
     .apply = [](const A& a, R& r) { r.settings.FlavourLevel = static_cast<int32_t>(a.number); }},
    // The typed box's sides are checked as the window checks them; `low` is shown in --help.
    {.name = "size", .shortName = 's', .value = V::Text, .valueName = "SIDE|WxH", .low = kSmallestBoxSide,
     .help = M::CliHelpSize, .choices = PresetSides, .apply = ApplySize},
    {.name = "prefix", .value = V::Text, .valueName = "TEXT", .help = M::CliHelpPrefix,
     .shownDefault = [] { return std::string(kDefaultFileNameAffix); }, .group = OptionGroup::Naming,
     .apply = ApplyAffix<true>},
    {.name = "suffix", .value = V::Text, .valueName = "TEXT", .help = M::CliHelpSuffix, .group = OptionGroup::Naming,
     .apply = ApplyAffix<false>},
    {.name = "dir", .value = V::Folder, .valueName = "NAME", .help = M::CliHelpDir, .group = OptionGroup::Naming,
     .apply =
         [](const A& a, R& r) {
             r.settings.UseDecidesName = false;
             r.settings.DirName = a.text;
         }},
    {.name = "output-dir", .value = V::Folder, .valueName = "DIR", .help = M::CliHelpOutputDir,
     .apply =
         [](const A& a, R& r) {
             if (a.text.empty())
                 throw UsageError(Message::UsageOutputDir);
             r.outputFolder = a.text;
         }},
    {.name = "if-exists", .value = V::Choice, .valueName = "number|skip", .refusal = M::UsageIfExists,
     .help = M::CliHelpIfExists, .choices = [] { return std::string("number skip"); },
     .apply = [](const A& a, R& r) { r.ifTaken = a.text == "skip" ? IfNameTaken::Skip : IfNameTaken::Number; }},
    {.name = "progressive", .help = M::CliHelpProgressive,
     .apply = [](const A&, R& r) { r.settings.UseProgressive = true; }},
    {.name = "quality", .value = V::WholeNumber, .valueName = "N", .low = kLowestQuality, .high = kHighestQuality,
     .refusal = M::UsageQuality, .help = M::CliHelpQuality,
     .shownDefault = [] { return std::to_string(kQualityByLevel[kFixedQualityLevel]); }, .group = OptionGroup::Quality,
     .apply =
         [](const A& a, R& r) {
             r.settings.ByQuality = true;
             r.settings.QualityValue = static_cast<int32_t>(a.number);
         }},
    {.name = "target-size", .value = V::Text, .valueName = "KB", .help = M::CliHelpTargetSize,
     .group = OptionGroup::Quality,
     .apply =
         [](const A& a, R& r) {
             RefuseAsTheWindowDoes(TargetSizeProblem(a.text));
             r.settings.ByQuality = false;
             r.settings.TargetFileSize = *ParseWholeNumber64(a.text);
         }},
    {.name = "keep-going", .help = M::CliHelpKeepGoing, .apply = [](const A&, R& r) { r.keepGoing = true; }},
    {.name = "more-formats", .help = M::CliHelpMoreFormats,
     .apply = [](const A&, R& r) { r.moreFormats = MoreFormats::On; }},
    {.name = "compare", .value = V::JpegName, .valueName = "OUT.jpg", .help = M::CliHelpCompare,
     .shownDefault = [] { return std::to_string(kDefaultCompareSide); }, .apply = ApplyCompare},
    {.name = "jobs", .shortName = 'j', .value = V::WholeNumber, .valueName = "N", .low = 1, .high = INT32_MAX,
     .refusal = M::UsageJobs, .help = M::CliHelpJobs,
     .apply = [](const A& a, R& r) { r.jobs = static_cast<int32_t>(a.number); }},
    {.name = "memory", .value = V::WholeNumber, .valueName = "MB", .low = 1, .high = INT32_MAX,
     .refusal = M::UsageMemory, .help = M::CliHelpMemory,
     .apply = [](const A& a, R& r) { r.memoryBudget = static_cast<uint64_t>(a.number) << 20; }},
    {.name = "quiet", .shortName = 'q', .help = M::CliHelpQuiet, .apply = [](const A&, R& r) { r.quiet = true; }},
    {.name = "progress", .help = M::CliHelpProgress, .apply = [](const A&, R& r) { r.progress = true; }},
    {.name = "null", .shortName = '0', .help = M::CliHelpNull, .apply = [](const A&, R& r) { r.pathEnd = '\0'; }},
    {.name = "recursive", .shortName = 'r', .help = M::CliHelpRecursive, .apply = [](const A&, R& r) { r.recursive = true; }},
    {.name = "keep-date", .help = M::CliHelpKeepDate, .apply = [](const A&, R& r) { r.settings.KeepDate = true; }},
    {.name = "dry-run", .shortName = 'n', .help = M::CliHelpDryRun, .apply = [](const A&, R& r) { r.dryRun = true; }},
    {.name = "json", .help = M::CliHelpJson, .apply = [](const A&, R& r) { r.json = true; }},
    {.name = "help", .shortName = 'h', .help = M::CliHelpHelp, .apply = [](const A&, R& r) { r.showHelp = true; }},
    {.name = "version", .help = M::CliHelpVersion, .apply = [](const A&, R& r) { r.showVersion = true; }},
}};

std::string OptionNames(const OptionRow& row)
{
    std::string names = row.shortName != '\0' ? std::string("-") + row.shortName + ", " : "    ";
    names += "--";
    names += row.name;
    if (!row.valueName.empty()) {
        names += '=';
        names += row.valueName;
    }
    return names;
}

} // namespace gustara::cli
