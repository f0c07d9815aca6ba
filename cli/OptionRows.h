#pragma once

#include "CliOptions.h"
#include "rules/Messages.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace gustara::cli {

// What follows an option, as the parser checks it and the shell completes it.
enum class OptionValue {
    None,         // a switch
    WholeNumber,  // a whole number within the row's range
    Choice,       // one of the row's choices
    Text,         // any text, checked by the row's own logic
    Folder,       // the name of a folder
    JpegName,     // the name of a JPEG file to write
};

// The options of which only one may be given.
enum class OptionGroup { None, Naming, Quality };

// The value of one option on the command line: its text, and its number when the row takes a
// whole number (already within the row's range).
struct OptionArgument {
    std::string_view text;
    int64_t number = 0;
};

// One command-line option with everything about it: the parser, --help, the manual pages' check
// and the shell completion all read these rows.
struct OptionRow {
    std::string_view name = {};       // the long name, without "--"
    char shortName = '\0';            // the one-letter name, '\0' when none
    OptionValue value = OptionValue::None;
    std::string_view valueName = {};  // what --help shows after "="; empty for a switch
    // The range of the number it takes; a WholeNumber outside it is refused before `apply`.
    int64_t low = 0, high = 0;
    // The message for a WholeNumber outside the range or a Choice not among the choices;
    // Format gets the range as %1 and %2.
    Message refusal = Message::UsageUnknownOption;
    // The --help line; Format gets the shown default as %1 and the range as %2 and %3.
    Message help = {};
    std::string (*shownDefault)() = nullptr;
    // The values a Choice accepts, or those completion offers for another row, space-separated.
    std::string (*choices)() = nullptr;
    OptionGroup group = OptionGroup::None;
    // Applies the checked value to the request; throws UsageError for a value it refuses.
    void (*apply)(const OptionArgument& argument, CliRequest& request) = nullptr;
};

extern const std::array<OptionRow, 24> kOptionRows;

// "-l, --level=1|2|3", "    --prefix=TEXT": the row's names as --help shows them.
std::string OptionNames(const OptionRow& row);

} // namespace gustara::cli
