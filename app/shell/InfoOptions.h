#pragma once

#include <ostream>

namespace gustara {

// `gustara --help` (or -h) and `gustara --version` are answered on `out`, in the language of the
// user's locale, before any window or display is opened, as a desktop program started from a
// terminal does; the program then ends. Returns true when one of them was among the
// arguments and was answered. Does not fail.
bool AnswerInfoOptions(int argc, char** argv, std::ostream& out);

} // namespace gustara
