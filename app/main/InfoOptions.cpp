#include "main/InfoOptions.h"

#include "platform/UserLanguage.h"
#include "rules/Messages.h"
#include "rules/Version.h"

#include <string_view>

namespace gustara {

bool AnswerInfoOptions(int argc, char** argv, std::ostream& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument != "--help" && argument != "-h" && argument != "--version")
            continue;
        // The window itself stays Japanese; only this answer on the terminal follows the locale.
        const Language language = UserLanguage();
        if (argument == "--version")
            out << "gustara " << kVersionText << '\n';
        else
            out << InUserCharset(Text(Message::WindowHelp, language));
        out.flush();
        return true;
    }
    return false;
}

} // namespace gustara
