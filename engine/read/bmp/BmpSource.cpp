#include "read/bmp/BmpSource.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace gustara {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

} // namespace

BmpSource::BmpSource(const std::string& path)
    : file_(OpenForReading(path)), size_(file_.size), buffer_(kBufferSize)
{
    // The source buffers by itself; stdio's buffer would only copy every byte once more.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
}

void BmpSource::seek(uint64_t offset)
{
    if (offset > size_)
        ThrowReadFailure(ReadFailure::EndsEarly, kBmpFormat);
    const uint64_t bufferStart = position_ - next_;
    if (offset >= bufferStart && offset <= bufferStart + filled_) {
        next_ = static_cast<std::size_t>(offset - bufferStart);
    } else {
        if (::fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
            ThrowReadFailure(ReadFailure::CannotRead, kBmpFormat, std::strerror(errno));
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
        ThrowReadFailure(ReadFailure::EndsEarly, kBmpFormat);
    // A short read means the file shrank or a read failed: either way the data is not there.
    if (std::fread(buffer_.data(), 1, wanted, file_.get()) != wanted)
        ThrowShortRead(file_.get(), kBmpFormat);
    next_ = 0;
    filled_ = wanted;
}

} // namespace gustara
