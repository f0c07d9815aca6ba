// gustara-cli-rows: writes what the build derives from the command line's option rows.
// Usage: gustara-cli-rows COMPLETION-TEMPLATE COMPLETION OPTION-LIST
// The bash completion is the template with @OPTIONS@ replaced by the options as completion
// offers them and @VALUES@ by one case per option that takes a value; the option list names
// each option (-l, --level, ...) on a line of its own, for the check of the manual pages.

#include "OptionRows.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

using gustara::cli::kOptionRows;
using gustara::cli::OptionRow;
using gustara::cli::OptionValue;

// The shell's words for what follows the option of `row` on the command line.
std::string ValueCompletion(const OptionRow& row)
{
    if (row.choices)
        return "_gustara_cli_words \"" + row.choices() + "\"; ";
    if (row.value == OptionValue::Folder)
        return "_gustara_cli_files; ";
    if (row.value == OptionValue::JpegName)
        return "_gustara_cli_files '!*.@(jpg|jpeg|JPG|JPEG)'; ";
    return "";
}

std::string Completion(std::string text)
{
    std::string options, values;
    for (const OptionRow& row : kOptionRows) {
        const bool takesValue = row.value != OptionValue::None;
        options += (options.empty() ? "--" : " --") + std::string(row.name) + (takesValue ? "=" : "");
        if (!takesValue)
            continue;
        values += "    ";
        if (row.shortName != '\0')
            values += std::string("-") + row.shortName + " | ";
        values += "--" + std::string(row.name) + ") " + ValueCompletion(row) + "return ;;\n";
    }
    values.pop_back();
    for (const auto& [mark, replacement] : {std::pair{"@OPTIONS@", options}, std::pair{"@VALUES@", values}}) {
        const std::size_t at = text.find(mark);
        if (at == std::string::npos)
            throw std::runtime_error(std::string("the template lacks ") + mark);
        text.replace(at, std::string_view(mark).size(), replacement);
    }
    return text;
}

std::string OptionList()
{
    std::string list;
    for (const OptionRow& row : kOptionRows) {
        if (row.shortName != '\0')
            list += std::string("-") + row.shortName + '\n';
        list += "--" + std::string(row.name) + '\n';
    }
    return list;
}

void WriteFile(const char* path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file)
        throw std::runtime_error(std::string("cannot write ") + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: gustara-cli-rows COMPLETION-TEMPLATE COMPLETION OPTION-LIST\n";
        return 2;
    }
    try {
        std::ifstream templateFile(argv[1], std::ios::binary);
        if (!templateFile)
            throw std::runtime_error(std::string("cannot read ") + argv[1]);
        WriteFile(argv[2], Completion(std::string(std::istreambuf_iterator<char>(templateFile), {})));
        WriteFile(argv[3], OptionList());
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "gustara-cli-rows: " << error.what() << '\n';
        return 1;
    }
}
