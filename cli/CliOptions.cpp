#include "CliOptions.h"

#include "batch/BatchLimits.h"
#include "rules/Defaults.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"
#include "rules/SettingsRules.h"
#include "rules/WholeNumber.h"
#include "settings/SettingsTable.h"

#include <algorithm>
#include <cstdint>
#include <getopt.h>
#include <optional>
#include <string_view>

namespace gustara::cli {

namespace {

enum OptionId {
    kPrefix = 1000,
    kSuffix,
    kDir,
    kProgressive,
    kQuality,
    kTargetSize,
    kKeepGoing,
    kMoreFormats,
    kMemory,
    kVersion,
    kCompare,
    kOutputDir,
    kIfExists,
    kProgress,
    kKeepDate,
    kJson,
};

// Throws UsageError with the window's message when a check of the settings failed.
void RefuseAsTheWindowDoes(std::optional<std::string_view> problem)
{
    if (problem)
        throw UsageError(std::string(*problem));
}

// --size: a preset side, or a typed box checked with the window's messages.
void ApplySize(const std::string& value, TthPicConvert& settings)
{
    settings.UsePicSize = true;
    const auto times = value.find_first_of("xX");
    if (times == std::string::npos || times == 0) {
        const auto side = ParseWholeNumber32(value);
        if (!side || std::find(kPresetBoxSides.begin(), kPresetBoxSides.end(), *side) == kPresetBoxSides.end())
            throw UsageError(Message::UsageSize);
        settings.PicWidth = settings.PicHeight = *side;
        return;
    }
    const std::string width = value.substr(0, times);
    const std::string height = value.substr(times + 1);
    RefuseAsTheWindowDoes(TypedBoxProblem(width, height));
    settings.PicWidth = *ParseWholeNumber32(width);
    settings.PicHeight = *ParseWholeNumber32(height);
}

// A whole number from `low` to `high`; otherwise throws UsageError with `message`.
int32_t ParseWholeNumberIn(const std::string& value, int32_t low, int32_t high, Message message)
{
    const auto number = ParseWholeNumber32(value);
    if (!number || *number < low || *number > high)
        throw UsageError(message);
    return *number;
}

int64_t ParseTargetSize(const std::string& value)
{
    RefuseAsTheWindowDoes(TargetSizeProblem(value));
    return *ParseWholeNumber64(value);
}

// The request before any option: the window's settings when it has no settings file, with the
// fixed values of its hidden controls, and one job per core.
CliRequest DefaultRequest()
{
    CliRequest request;
    request.jobs = static_cast<int32_t>(std::min<std::size_t>(DefaultBatchJobs(), INT32_MAX));
    request.memoryBudget = DefaultBatchMemoryBudget();
    FillConversionSettings(ControlValues(), request.settings);
    return request;
}

// How many options of each group that admits only one were given.
struct ExclusiveOptionCounts {
    int naming = 0;   // --prefix, --suffix, --dir
    int quality = 0;  // --quality, --target-size
};

// Reads the options of argv into `request` in order, each checked on its own, and leaves
// optind at the first picture; stops at --help or --version. Throws UsageError for an unknown
// option or a value that its option refuses.
ExclusiveOptionCounts ApplyOptions(int argc, char** argv, CliRequest& request)
{
    static const option kOptions[] = {
        {"level", required_argument, nullptr, 'l'},
        {"size", required_argument, nullptr, 's'},
        {"prefix", required_argument, nullptr, kPrefix},
        {"suffix", required_argument, nullptr, kSuffix},
        {"dir", required_argument, nullptr, kDir},
        {"progressive", no_argument, nullptr, kProgressive},
        {"quality", required_argument, nullptr, kQuality},
        {"target-size", required_argument, nullptr, kTargetSize},
        {"keep-going", no_argument, nullptr, kKeepGoing},
        {"more-formats", no_argument, nullptr, kMoreFormats},
        {"jobs", required_argument, nullptr, 'j'},
        {"memory", required_argument, nullptr, kMemory},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},
        {"compare", required_argument, nullptr, kCompare},
        {"output-dir", required_argument, nullptr, kOutputDir},
        {"if-exists", required_argument, nullptr, kIfExists},
        {"quiet", no_argument, nullptr, 'q'},
        {"progress", no_argument, nullptr, kProgress},
        {"null", no_argument, nullptr, '0'},
        {"recursive", no_argument, nullptr, 'r'},
        {"keep-date", no_argument, nullptr, kKeepDate},
        {"dry-run", no_argument, nullptr, 'n'},
        {"json", no_argument, nullptr, kJson},
        {nullptr, 0, nullptr, 0},
    };

    TthPicConvert& settings = request.settings;
    ExclusiveOptionCounts counts;
    opterr = 0;
    optind = 1;
    int id;
    while ((id = getopt_long(argc, argv, "l:s:j:hq0rn", kOptions, nullptr)) != -1) {
        const std::string value = optarg ? optarg : "";
        switch (id) {
        case 'l':
            settings.FlavourLevel = ParseWholeNumberIn(value, kLowestFlavourLevel, kHighestFlavourLevel, Message::UsageLevel);
            break;
        case 's':
            ApplySize(value, settings);
            break;
        case kPrefix:
        case kSuffix:
            settings.UseDecidesName = true;
            settings.NameBefore = id == kPrefix;
            settings.FileNameAffix = value;
            ++counts.naming;
            break;
        case kDir:
            settings.UseDecidesName = false;
            settings.DirName = value;
            ++counts.naming;
            break;
        case kProgressive:
            settings.UseProgressive = true;
            break;
        case kQuality:
            settings.ByQuality = true;
            settings.QualityValue = ParseWholeNumberIn(value, 0, 100, Message::UsageQuality);
            ++counts.quality;
            break;
        case kTargetSize:
            settings.ByQuality = false;
            settings.TargetFileSize = ParseTargetSize(value);
            ++counts.quality;
            break;
        case kKeepGoing:
            request.keepGoing = true;
            break;
        case kMoreFormats:
            request.moreFormats = MoreFormats::On;
            break;
        case 'j':
            request.jobs = ParseWholeNumberIn(value, 1, INT32_MAX, Message::UsageJobs);
            break;
        case kCompare:
            if (value.empty())
                throw UsageError(Message::UsageCompareOutput);
            // The strip is a JPEG datastream: another extension would misname it.
            if (const std::string extension = UpperAscii(ExtensionOf(value)); extension != ".JPG" && extension != ".JPEG")
                throw UsageError(Message::UsageCompareExtension);
            request.compareOutput = value;
            break;
        case kOutputDir:
            if (value.empty())
                throw UsageError(Message::UsageOutputDir);
            request.outputFolder = value;
            break;
        case kIfExists:
            if (value != "number" && value != "skip")
                throw UsageError(Message::UsageIfExists);
            request.ifTaken = value == "skip" ? IfNameTaken::Skip : IfNameTaken::Number;
            break;
        case 'q':
            request.quiet = true;
            break;
        case kProgress:
            request.progress = true;
            break;
        case '0':
            request.pathEnd = '\0';
            break;
        case 'r':
            request.recursive = true;
            break;
        case kKeepDate:
            settings.KeepDate = true;
            break;
        case 'n':
            request.dryRun = true;
            break;
        case kJson:
            request.json = true;
            break;
        case kMemory:
            request.memoryBudget = static_cast<uint64_t>(ParseWholeNumberIn(value, 1, INT32_MAX, Message::UsageMemory)) << 20;
            break;
        case 'h':
            request.showHelp = true;
            return counts;
        case kVersion:
            request.showVersion = true;
            return counts;
        default:
            throw UsageError(Format(Message::UsageUnknownOption, {argv[optind - 1]}));
        }
    }
    return counts;
}

// Throws UsageError when options refuse each other or the save name fails the window's check.
void CheckOptionsTogether(const ExclusiveOptionCounts& counts, const TthPicConvert& settings)
{
    if (counts.naming > 1)
        throw UsageError(Message::UsageOneNaming);
    if (counts.quality > 1)
        throw UsageError(Message::UsageOneQuality);
    RefuseAsTheWindowDoes(SaveNameProblem(settings.UseDecidesName, settings.FileNameAffix, settings.DirName));
}

} // namespace

CliRequest ParseCommandLine(int argc, char** argv)
{
    CliRequest request = DefaultRequest();
    const ExclusiveOptionCounts counts = ApplyOptions(argc, argv, request);
    if (request.showHelp || request.showVersion)
        return request;
    CheckOptionsTogether(counts, request.settings);
    request.pictures.assign(argv + optind, argv + argc);
    if (request.pictures.empty())
        throw UsageError(Message::UsageNoPicture);
    if (std::find(request.pictures.begin(), request.pictures.end(), "-") != request.pictures.end())
        throw UsageError(Message::UsageStandardInput);
    if (!request.compareOutput.empty() && request.pictures.size() != 1)
        throw UsageError(Message::UsageCompareOnePicture);
    return request;
}

} // namespace gustara::cli
