#include "JpegErrorHandling.h"

namespace gustara {

namespace {

JpegErrorManager& ErrorsOf(j_common_ptr object)
{
    return *reinterpret_cast<JpegErrorManager*>(object->err);
}

// Never throws: a C++ exception must not unwind through libjpeg's C frames.
[[noreturn]] void ExitWithMessage(j_common_ptr object)
{
    JpegErrorManager& errors = ErrorsOf(object);
    if (errors.wording == JpegErrorWording::MessageCode)
        std::snprintf(errors.message, sizeof errors.message, "JPEG エラー #%d", errors.manager.msg_code);
    else
        errors.manager.format_message(object, errors.message);
    std::longjmp(errors.jump, 1);
}

// A file cut short after its headers only warns; libjpeg fills the rest and the picture loads.
void IgnoreMessage(j_common_ptr, int)
{
}

} // namespace

jpeg_error_mgr* InitJpegErrors(JpegErrorManager& errors, JpegErrorWording wording)
{
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = ExitWithMessage;
    errors.manager.emit_message = IgnoreMessage;
    errors.wording = wording;
    errors.message[0] = '\0';
    return &errors.manager;
}

void FailJpeg(j_common_ptr object, const char* text)
{
    JpegErrorManager& errors = ErrorsOf(object);
    std::snprintf(errors.message, sizeof errors.message, "%s", text);
    std::longjmp(errors.jump, 1);
}

} // namespace gustara
