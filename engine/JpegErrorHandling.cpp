#include "JpegErrorHandling.h"

#include <jerror.h>

namespace gustara {

namespace {

JpegErrorManager& ErrorsOf(j_common_ptr object)
{
    return *reinterpret_cast<JpegErrorManager*>(object->err);
}

[[noreturn]] void ExitWithMessage(j_common_ptr object)
{
    JpegErrorManager& errors = ErrorsOf(object);
    errors.manager.format_message(object, errors.libraryText);
    std::longjmp(errors.jump, 1);
}

// A file cut short after its headers only warns; libjpeg fills the rest and the picture loads.
// Cut inside its headers, the fatal error that follows is noted as caused by the cut.
void NoteMessage(j_common_ptr object, int level)
{
    if (level < 0 && object->err->msg_code == JWRN_JPEG_EOF)
        ErrorsOf(object).sourceEnded = true;
    if (level < 0 && object->err->msg_code == JWRN_HIT_MARKER)
        ErrorsOf(object).dataRanOut = true;
}

} // namespace

jpeg_error_mgr* InitJpegErrors(JpegErrorManager& errors)
{
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = ExitWithMessage;
    errors.manager.emit_message = NoteMessage;
    errors.libraryText[0] = '\0';
    errors.ownReason = nullptr;
    errors.sourceEnded = false;
    errors.dataRanOut = false;
    return &errors.manager;
}

void FailJpeg(j_common_ptr object, const char* reason)
{
    ErrorsOf(object).ownReason = reason;
    std::longjmp(ErrorsOf(object).jump, 1);
}

} // namespace gustara
