#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace gustara::cli {

// While it lives, what `stream` is given goes on to its buffer converted by InUserCharset
// (platform/UserLanguage.h), at each flush and each line's end; a character cut by a flush
// waits for its end. Nothing changes when the user's locale takes UTF-8. Throws only bad_alloc.
class UserCharsetStream final : private std::streambuf {
public:
    explicit UserCharsetStream(std::ostream& stream);
    ~UserCharsetStream() override;
    UserCharsetStream(const UserCharsetStream&) = delete;
    UserCharsetStream& operator=(const UserCharsetStream&) = delete;

private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize size) override;
    int sync() override;

    std::ostream& stream_;
    std::streambuf* target_ = nullptr;  // the stream's own buffer while this one stands in
    std::string pending_;
};

} // namespace gustara::cli
