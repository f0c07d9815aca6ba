// gustara-cli: the command-line front end on the conversion engine.

#include "BatchRunner.h"
#include "CliHelp.h"
#include "CliOptions.h"
#include "CompareRunner.h"
#include "Terminal.h"
#include "UserCharsetStream.h"
#include "batch/StopSignals.h"
#include "batch/BatchLimits.h"
#include "platform/UserLanguage.h"
#include "rules/Messages.h"
#include "rules/Version.h"

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace gustara::cli;
    std::setlocale(LC_ALL, "");
    gustara::SetLanguage(gustara::UserLanguage());
    // Messages in the user's character set; the written paths on standard output keep their bytes.
    const UserCharsetStream errorsInUserCharset(std::cerr);
    gustara::ReturnLargeBuffersToSystem();
    std::vector<std::string> arguments = StartCommandLine(argc, argv);
    std::vector<char*> argumentPointers;
    for (std::string& argument : arguments)
        argumentPointers.push_back(argument.data());
    argumentPointers.push_back(nullptr);
    try {
        CliRequest request = ParseCommandLine(static_cast<int>(arguments.size()), argumentPointers.data());
        if (request.showHelp) {
            std::cout << gustara::InUserCharset(HelpText());
            return kAllConverted;
        }
        if (request.showVersion) {
            std::cout << "gustara-cli " << gustara::kVersionText << '\n';
            return kAllConverted;
        }
        // Ctrl+C and a plain kill stop the batch as the window's stop button does, and the exit
        // status says which signal ended it.
        gustara::CatchStopSignals();
        const int status = request.compareOutput.empty()
                               ? RunBatch(request, std::cout, std::cerr, StandardErrorColumns())
                               : RunCompare(request, std::cout, std::cerr);
        return gustara::StopExitStatus() != 0 ? gustara::StopExitStatus() : status;
    } catch (const UsageError& error) {
        std::cerr << "gustara-cli: " << error.what() << '\n' << gustara::Text(gustara::Message::UsageHelpHint) << '\n';
        return kBadRequest;
    }
}
