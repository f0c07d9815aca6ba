#pragma once

#include <stdexcept>
#include <string>

namespace gustara {

// The one failure type of the engine: carries the message text. Thrown by every step
// that cannot produce its result; caught by the batch worker and the command line.
class EngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace gustara
