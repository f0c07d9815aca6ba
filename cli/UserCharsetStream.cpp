#include "UserCharsetStream.h"

#include "platform/UserLanguage.h"

#include <new>

namespace gustara::cli {

namespace {

// The length of `text` without a UTF-8 character that its end cuts short.
std::size_t WholeCharacters(const std::string& text)
{
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

} // namespace

UserCharsetStream::UserCharsetStream(std::ostream& stream) : stream_(stream)
{
    if (!UserCharsetIsUtf8())
        target_ = stream_.rdbuf(this);
}

UserCharsetStream::~UserCharsetStream()
{
    if (!target_)
        return;
    // A last line that cannot be converted for want of memory is lost, not the process.
    try {
        sync();
    } catch (const std::bad_alloc&) {
    }
    stream_.rdbuf(target_);
}

UserCharsetStream::int_type UserCharsetStream::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
    pending_ += traits_type::to_char_type(c);
    if (c == '\n' && sync() != 0)
        return traits_type::eof();
    return c;
}

std::streamsize UserCharsetStream::xsputn(const char* text, std::streamsize size)
{
    pending_.append(text, static_cast<std::size_t>(size));
    if (pending_.find('\n') != std::string::npos && sync() != 0)
        return 0;
    return size;
}

int UserCharsetStream::sync()
{
    const std::size_t whole = WholeCharacters(pending_);
    const std::string converted = InUserCharset(std::string_view(pending_).substr(0, whole));
    pending_.erase(0, whole);
    const auto size = static_cast<std::streamsize>(converted.size());
    if (target_->sputn(converted.data(), size) != size)
        return -1;
    return target_->pubsync();
}

} // namespace gustara::cli
