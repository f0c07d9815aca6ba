#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace gustara {

// The error manager of one libjpeg (de)compression object. A fatal error keeps libjpeg's message
// code (in `manager.msg_code`) and wording and longjmps to `jump`, which each step of the
// wrapper arms with setjmp before its first libjpeg call; the wrapper's check then throws
// EngineError with the reason from the message table. Never throws: no C++ exception may
// unwind through libjpeg's C frames. Warnings and trace messages are dropped, except that the
// file or a scan's data ran out.
struct JpegErrorManager {
    jpeg_error_mgr manager;  // first member: libjpeg hands its address back to the handlers
    std::jmp_buf jump;
    char libraryText[JMSG_LENGTH_MAX];  // libjpeg's own wording of the fatal error
    const char* ownReason;               // set by FailJpeg instead, else null
    bool sourceEnded;                    // the file ended before the datastream did
    bool dataRanOut;                     // a scan's data ended before the scan did
};

// Fills `errors` and returns the manager to store in the object's `err` field, before
// jpeg_create_*. Owns nothing.
jpeg_error_mgr* InitJpegErrors(JpegErrorManager& errors);

// Ends the libjpeg call in progress from one of the caller's own callbacks (such as a progress
// monitor) with `reason`, a text of the message table that outlives the object, through the
// same jump as a fatal libjpeg error.
[[noreturn]] void FailJpeg(j_common_ptr object, const char* reason);

} // namespace gustara
