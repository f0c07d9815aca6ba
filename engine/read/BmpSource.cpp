#include "read/BmpSource.h"

#include "EngineError.h"

#include <algorithm>
#include <cstring>

namespace gustara {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

} // namespace

BmpSource::BmpSource(const std::string& path) : file_(path, std::ios::binary), buffer_(kBufferSize)
{
    if (!file_)
        throw EngineError("BMP: cannot open " + path);
    file_.seekg(0, std::ios::end);
    const std::streamoff end = file_.tellg();
    file_.seekg(0, std::ios::beg);
    if (end < 0 || !file_)
        throw EngineError("BMP: cannot read " + path);
    size_ = static_cast<uint64_t>(end);
}

void BmpSource::seek(uint64_t offset)
{
    if (offset > size_)
        throw EngineError("BMP: file ends early");
    const uint64_t bufferStart = position_ - next_;
    if (offset >= bufferStart && offset <= bufferStart + filled_) {
        next_ = static_cast<std::size_t>(offset - bufferStart);
    } else {
        file_.clear();
        file_.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
        next_ = filled_ = 0;
    }
    position_ = offset;
}

void BmpSource::read(uint8_t* out, std::size_t count)
{
    while (count > 0) {
        if (next_ == filled_)
            refill();
        const std::size_t part = std::min(count, filled_ - next_);
        std::memcpy(out, buffer_.data() + next_, part);
        next_ += part;
        position_ += part;
        out += part;
        count -= part;
    }
}

void BmpSource::refill()
{
    const std::size_t wanted = static_cast<std::size_t>(std::min<uint64_t>(kBufferSize, remaining()));
    if (wanted == 0)
        throw EngineError("BMP: file ends early");
    file_.read(reinterpret_cast<char*>(buffer_.data()), static_cast<std::streamsize>(wanted));
    // A short read means the file shrank or a read failed: either way the data is not there.
    if (file_.gcount() != static_cast<std::streamsize>(wanted))
        throw EngineError("BMP: file ends early");
    next_ = 0;
    filled_ = wanted;
}

} // namespace gustara
