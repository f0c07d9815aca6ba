#include "rules/PathParts.h"

namespace gustara {

// "\" is an ordinary character of a Linux file name.
std::string_view PathSeparators()
{
    return "/";
}

} // namespace gustara
