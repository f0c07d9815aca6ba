#include "read/PictureFile.h"

#include "EngineError.h"

#include <cerrno>
#include <cstring>

namespace gustara {

void ThrowReadFailure(ReadFailure cause, std::string_view format, std::string_view detail)
{
    throw EngineError(ReadFailureText(cause, format, detail));
}

void ThrowShortRead(std::FILE* file, std::string_view format)
{
    if (std::ferror(file))
        ThrowReadFailure(ReadFailure::CannotRead, format, std::strerror(errno));
    ThrowReadFailure(ReadFailure::EndsEarly, format);
}

} // namespace gustara
