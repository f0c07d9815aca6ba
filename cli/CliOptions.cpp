#include "CliOptions.h"

#include "OptionRows.h"

#include "batch/BatchLimits.h"
#include "rules/Messages.h"
#include "rules/SettingsRules.h"
#include "rules/WholeNumber.h"
#include "settings/SettingsTable.h"

#include <algorithm>
#include <cstdint>
#include <getopt.h>
#include <string>
#include <string_view>
#include <vector>

namespace gustara::cli {

namespace {

// getopt_long reports a long option by this plus its row's index, so that a long option that
// lacks its value (optopt at or past it) is told from a short one (optopt a letter).
constexpr int kLongOptionBase = 256;

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

// The options of the rows as getopt_long takes them: the short names and the long ones.
struct GetoptTables {
    std::string shortNames;
    std::vector<option> longOptions;
};

GetoptTables MakeGetoptTables()
{
    GetoptTables tables;
    for (std::size_t index = 0; index < kOptionRows.size(); ++index) {
        const OptionRow& row = kOptionRows[index];
        const int hasValue = row.value == OptionValue::None ? no_argument : required_argument;
        if (row.shortName != '\0')
            tables.shortNames += std::string(1, row.shortName) + (hasValue == no_argument ? "" : ":");
        tables.longOptions.push_back({row.name.data(), hasValue, nullptr, kLongOptionBase + static_cast<int>(index)});
    }
    tables.longOptions.push_back({nullptr, 0, nullptr, 0});
    return tables;
}

// The row that getopt_long answered with `id`, or nullptr for an unknown option.
const OptionRow* RowOf(int id)
{
    if (id >= kLongOptionBase && id < kLongOptionBase + static_cast<int>(kOptionRows.size()))
        return &kOptionRows[static_cast<std::size_t>(id - kLongOptionBase)];
    const auto row = std::find_if(kOptionRows.begin(), kOptionRows.end(),
                                  [id](const OptionRow& candidate) { return candidate.shortName != '\0' && candidate.shortName == id; });
    return row == kOptionRows.end() ? nullptr : &*row;
}

// The message for what getopt_long refused: the option as named on the command line, and for
// one that is no option at all, where a picture whose name starts with "-" goes.
std::string RefusedOptionText(char** argv)
{
    std::string name;
    if (optopt >= kLongOptionBase)
        name = "--" + std::string(RowOf(optopt)->name);
    else if (optopt != 0)
        name = std::string("-") + static_cast<char>(optopt);
    else
        name = argv[optind - 1];  // an unknown long option, which getopt_long has passed
    std::string text = Format(Message::UsageUnknownOption, {name});
    if (optopt == 0 || RowOf(optopt) == nullptr)
        text += "\n" + std::string(Text(Message::UsageDashNameHint));
    return text;
}

// The checked value of `row` from its text; throws UsageError with the row's refusal.
OptionArgument CheckedArgument(const OptionRow& row, std::string_view text)
{
    OptionArgument argument{text};
    const auto refuse = [&row] {
        throw UsageError(Format(row.refusal, {std::to_string(row.low), std::to_string(row.high)}));
    };
    if (row.value == OptionValue::WholeNumber) {
        const auto number = ParseWholeNumber64(text);
        if (!number || *number < row.low || *number > row.high)
            refuse();
        argument.number = *number;
    } else if (row.value == OptionValue::Choice) {
        const std::string choices = " " + row.choices() + " ";
        if (text.empty() || text.find(' ') != std::string_view::npos
            || choices.find(" " + std::string(text) + " ") == std::string::npos)
            refuse();
    }
    return argument;
}

// Reads the options of argv into `request` in order, each checked on its own, and leaves
// optind at the first picture; stops at --help or --version. Throws UsageError for an unknown
// option or a value that its option refuses.
ExclusiveOptionCounts ApplyOptions(int argc, char** argv, CliRequest& request)
{
    static const GetoptTables tables = MakeGetoptTables();
    ExclusiveOptionCounts counts;
    opterr = 0;
    optind = 1;
    int id;
    while ((id = getopt_long(argc, argv, tables.shortNames.c_str(), tables.longOptions.data(), nullptr)) != -1) {
        const OptionRow* row = RowOf(id);
        if (id == '?' || row == nullptr)
            throw UsageError(RefusedOptionText(argv));
        row->apply(CheckedArgument(*row, optarg ? optarg : ""), request);
        counts.naming += row->group == OptionGroup::Naming;
        counts.quality += row->group == OptionGroup::Quality;
        if (request.showHelp || request.showVersion)
            return counts;
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
    if (const auto problem = SaveNameProblem(settings.UseDecidesName, settings.FileNameAffix, settings.DirName))
        throw UsageError(std::string(*problem));
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
