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
#include <csignal>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace gustara::cli;
    std::setlocale(LC_ALL, "");
    gustara::SetLanguage(gustara::UserLanguage());
    // Messages in the user's character set; the written paths on standard output keep their bytes.
    const UserCharsetStream errorsInUserCharset(std::cerr);
    gustara::ReturnLargeBuffersToSystem();
    // Over a file-size limit a write then fails with EFBIG, so the picture fails with a message
    // and the batch goes on, instead of the whole process being killed.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        CliRequest request = ParseCommandLine(argc, argv);
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
