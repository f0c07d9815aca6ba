#include "BatchRunner.h"

#include "rules/DisplayText.h"
#include "rules/DropRules.h"
#include "EngineError.h"
#include "InOrderWorkers.h"
#include "rules/PathParts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace gustara::cli {

namespace {

// Case-insensitive, locale-aware order of the message entries (the collation of the
// process's locale on ASCII-lowered texts).
int CompareIgnoringCase(const std::string& a, const std::string& b)
{
    return std::strcoll(UpperAscii(a).c_str(), UpperAscii(b).c_str());
}

std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

// A picture loaded, fitted, filtered and encoded, or why it could not be.
struct EncodedPicture {
    std::vector<uint8_t> datastream;
    std::optional<std::string> failure;
};

// Runs on a worker thread: works on its own copy of the settings, since ApplyFlavour records
// the contrast level in the engine. The raster is released before the datastream is handed on.
EncodedPicture Encode(const TthPicConvert& settings, const std::string& sourcePath)
{
    try {
        TthPicConvert engine = settings;
        PictureRaster picture;
        engine.LoadPicture(sourcePath, picture);
        engine.FitPicSize(picture);
        engine.ApplyFlavour(picture);
        return {engine.ApplyJpegQuality(picture), std::nullopt};
    } catch (const std::exception& failure) {
        return {{}, failure.what()};
    }
}

// Returns the cursor to the start of the line and erases it, for the progress line.
constexpr const char* kClearLine = "\r\033[K";

void ShowProgress(std::ostream& errors, std::size_t index, std::size_t count, const std::string& path)
{
    errors << kClearLine << '[' << (index + 1) << '/' << count << "] [" << ForDisplay(NamePart(path)) << "]を処理しています" << std::flush;
}

} // namespace

bool RejectAny(const std::vector<std::string>& pictures, std::ostream& errors)
{
    std::vector<std::string> errorList;
    for (const std::string& path : pictures)
        if (const auto reason = RejectionReason(path))
            errorList.push_back(ErrorListEntry(*reason, path));
    if (errorList.empty())
        return false;
    errors << ForDisplay(WithoutCarriageReturns(BuildErrorMessage(errorList, CompareIgnoringCase)));
    return true;
}

ExitStatus RunBatch(CliRequest& request, std::ostream& out, std::ostream& errors, bool showProgress)
{
    if (RejectAny(request.pictures, errors))
        return kBadRequest;

    ExitStatus status = kAllConverted;
    const std::vector<std::string>& pictures = request.pictures;
    // The workers copy the settings from this snapshot; only this thread writes, in the order
    // given, so the engine's output folder and the numbers of taken names follow that order.
    const TthPicConvert settings = request.settings;
    if (showProgress)
        ShowProgress(errors, 0, pictures.size(), pictures[0]);
    auto write = [&](std::size_t index, EncodedPicture& encoded) {
        const std::string& path = pictures[index];
        std::optional<std::string> failure = std::move(encoded.failure);
        if (!failure) {
            try {
                out << request.settings.WriteJpeg(SavePathFor(path), encoded.datastream) << '\n' << std::flush;
            } catch (const std::exception& writeFailure) {
                failure = writeFailure.what();
            }
        }
        if (failure) {
            if (showProgress)
                errors << kClearLine;
            errors << PictureFailedMessage(path, *failure) << '\n';
            status = kSomeFailed;
            if (!request.keepGoing)
                return false;
        }
        if (showProgress && index + 1 < pictures.size())
            ShowProgress(errors, index + 1, pictures.size(), pictures[index + 1]);
        return true;
    };
    ProduceInOrder<EncodedPicture>(
        pictures.size(), static_cast<std::size_t>(request.jobs),
        [&](std::size_t index) { return Encode(settings, pictures[index]); }, write);
    if (showProgress)
        errors << kClearLine << std::flush;
    return status;
}

} // namespace gustara::cli
