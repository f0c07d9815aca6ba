#pragma once

#include <chrono>
#include <functional>

namespace gustara {

// Calls `notice` once, at the first call made 3 seconds or more after it was made: a launch
// that waits for a window tells the user so when the window keeps it waiting. Never throws
// but what `notice` throws.
class LateNotice {
public:
    explicit LateNotice(const std::function<void()>& notice) : notice_(notice) {}
    // A copy would tell the user a second time.
    LateNotice(const LateNotice&) = delete;
    LateNotice& operator=(const LateNotice&) = delete;

    void operator()()
    {
        if (!told_ && std::chrono::steady_clock::now() >= at_) {
            told_ = true;
            notice_();
        }
    }

private:
    const std::function<void()>& notice_;
    const std::chrono::steady_clock::time_point at_ = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    bool told_ = false;
};

} // namespace gustara
