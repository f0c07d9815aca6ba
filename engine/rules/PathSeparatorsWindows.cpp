#include "rules/PathParts.h"

namespace gustara {

// Windows takes both; its own dialogs and Explorer give "\".
std::string_view PathSeparators()
{
    return "/\\";
}

} // namespace gustara
