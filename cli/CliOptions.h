#pragma once

#include "UnitThPicConvert.h"
#include "read/PictureFormat.h"
#include "rules/Messages.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace gustara::cli {

// What the command line asks for: the engine's settings, the pictures and how to run them.
struct CliRequest {
    TthPicConvert settings;  // filled as the window's ReadSettings fills it
    std::vector<std::string> pictures;
    int32_t jobs = 1;          // pictures worked on at the same time; --jobs, else the cores
    uint64_t memoryBudget = UINT64_MAX;  // bytes for the pictures in flight; --memory, else a quarter of memory
    bool keepGoing = false;
    MoreFormats moreFormats = MoreFormats::Off;  // --more-formats: HEIC, AVIF and WebP read too
    std::string compareOutput;  // --compare: where the strip of the one picture goes
    std::string outputFolder;   // --output-dir; empty: beside each source
    IfNameTaken ifTaken = IfNameTaken::Number;
    bool quiet = false;          // -q: errors only
    bool progress = false;       // --progress: the progress line even when stderr is no terminal
    char pathEnd = '\n';         // what ends each written path on standard output; -0: NUL
    bool recursive = false;      // -r: folders named are walked (PicturesInTree)
    bool dryRun = false;         // -n: the output names only, nothing written
    bool json = false;           // --json: one JSON object per picture instead of the paths

    bool showHelp = false;
    bool showVersion = false;
};

// Parses argv. Throws UsageError with the message to print for a malformed command line or
// settings that the window would refuse (with the window's message).
CliRequest ParseCommandLine(int argc, char** argv);

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
    explicit UsageError(Message text) : std::runtime_error(std::string(Text(text))) {}
};

} // namespace gustara::cli
