#pragma once

#include "read/PictureFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gustara {

// How the bitmap reader names its format in reasons.
inline constexpr std::string_view kBmpFormat = "BMP";

// A bitmap file read front to back through a buffer of its own; owns the open file and the
// buffer. Only what is asked for is read, so a huge file costs no more than its headers and
// the bytes its picture needs. Every read that the file cannot satisfy throws EngineError with
// the reason for a file that ends early (or for a read error).
class BmpSource {
public:
    // Opens the file through OpenForReading and throws as it does.
    explicit BmpSource(const std::string& path);
    BmpSource(const BmpSource&) = delete;
    BmpSource& operator=(const BmpSource&) = delete;

    uint64_t size() const { return size_; }
    uint64_t position() const { return position_; }
    // Bytes from the position to the end of the file.
    uint64_t remaining() const { return size_ - position_; }

    // Moves to `offset` from the start; throws EngineError when it lies past the end of the file.
    void seek(uint64_t offset);
    // Reads exactly `count` bytes or throws.
    void read(uint8_t* out, std::size_t count);
    uint8_t byte()
    {
        if (next_ == filled_)
            refill();
        ++position_;
        return buffer_[next_++];
    }

private:
    void refill();

    PictureFile file_;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
    std::vector<uint8_t> buffer_;
    // buffer_[next_, filled_) are the file's bytes from position_ on.
    std::size_t next_ = 0;
    std::size_t filled_ = 0;
};

} // namespace gustara
