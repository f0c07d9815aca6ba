#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace gustara {

// How a fatal libjpeg error is put into words.
enum class JpegErrorWording {
    LibraryText,  // libjpeg's own message, e.g. "Empty input file"
    MessageCode,  // "JPEG エラー #<libjpeg message code>"
};

// The error manager of one libjpeg (de)compression object. A fatal error writes its text into
// `message` and longjmps to `jump`, which the caller arms with setjmp before its first libjpeg
// call; the caller then destroys the object and throws EngineError(message). Warnings and trace
// messages are dropped.
struct JpegErrorManager {
    jpeg_error_mgr manager;  // first member: libjpeg hands its address back to the handlers
    JpegErrorWording wording;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Fills `errors` and returns the manager to store in the object's `err` field. Owns nothing.
jpeg_error_mgr* InitJpegErrors(JpegErrorManager& errors, JpegErrorWording wording);

// Ends the libjpeg call in progress from one of the caller's own callbacks (such as a progress
// monitor) with `text` as the message, through the same jump as a fatal libjpeg error.
[[noreturn]] void FailJpeg(j_common_ptr object, const char* text);

} // namespace gustara
