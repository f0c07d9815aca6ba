#pragma once

#include "CliOptions.h"

#include <ostream>
#include <string>
#include <vector>

namespace gustara::cli {

enum ExitStatus { kAllConverted = 0, kSomeFailed = 1, kBadRequest = 2 };

// Checks the pictures with the window's drop rules, HEIC, HEIF, AVIF and WebP taken only with
// `more` On; on any rejection prints the window's message on `errors`, each path as given
// (closed by where to turn those on, when it refuses such a file for want of them) and returns
// true. A path that names nothing is refused as missing, a folder as one named here.
bool RejectAny(const std::vector<std::string>& pictures, MoreFormats more, std::ostream& errors);

// Checks the pictures with the window's drop rules (any rejection: the window's message on
// `errors`, nothing converted), creates request.outputFolder when it is missing, then converts
// the pictures, up to request.jobs at a time, writing and reporting them in the order given.
// Each written path goes to `out`; a failed picture is named on `errors` by its path as given.
// Stops at the first failure unless keepGoing: nothing is written for a picture after it, even
// one whose encoding finished first, and the pictures not converted are counted. A caught stop
// signal (StopSignals.h) ends it the same way after the picture in work, and the stop text with
// the counts goes to `errors`. Unless quiet, the picture in work shows on `errors`: on one line
// fitted into `terminalColumns` when it is a terminal of that width (0: no terminal), cleared
// before each path goes to `out`; as a line per picture when request.progress asks for it
// elsewhere. Returns kSomeFailed also when the output folder cannot be made or `out` cannot be
// written.
ExitStatus RunBatch(CliRequest& request, std::ostream& out, std::ostream& errors, std::size_t terminalColumns);

} // namespace gustara::cli
