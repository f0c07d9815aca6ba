#pragma once

#include "BatchRunner.h"
#include "CliOptions.h"

#include <ostream>

namespace gustara::cli {

// The side of the square cell each picture of a strip is fitted into when --size is not given.
inline constexpr int32_t kDefaultCompareSide = 400;

// --compare: checks the one picture with the window's drop rules (a rejection: the window's
// message on `errors`, kBadRequest), then writes one JPEG with the original and the three
// strengths side by side, each fitted into the --size box, under request.compareOutput or,
// when that name is taken, its first free numbered variant; prints the path written on `out`.
// A picture that cannot be read or a file that cannot be written is named on `errors` with
// the reason (kSomeFailed); nothing is left behind then.
ExitStatus RunCompare(const CliRequest& request, std::ostream& out, std::ostream& errors);

} // namespace gustara::cli
