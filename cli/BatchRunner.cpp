#include "BatchRunner.h"

#include "StopSignals.h"

#include "batch/PictureBatch.h"
#include "read/PictureReader.h"
#include "rules/DisplayText.h"
#include "rules/DropRules.h"
#include "rules/Messages.h"

#include <algorithm>
#include <string>
#include <vector>

namespace gustara::cli {

namespace {

std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

// Returns the cursor to the start of the line and erases it, for the progress line.
constexpr const char* kClearLine = "\r\033[K";

// Each written path on `out`; each failure, with its reason, on `errors`; on a terminal, the
// picture the batch waits for on one line of `errors` that each report replaces.
class CliReports final : public BatchObserver {
public:
    CliReports(const std::vector<std::string>& pictures, std::ostream& out, std::ostream& errors, bool showProgress)
        : pictures_(pictures), out_(out), errors_(errors), showProgress_(showProgress)
    {
    }
    ~CliReports()
    {
        if (showProgress_)
            errors_ << kClearLine << std::flush;
    }

    void PictureStarted(std::size_t index) override
    {
        if (showProgress_)
            errors_ << kClearLine << '[' << (index + 1) << '/' << pictures_.size() << "] "
                    << PictureProcessingMessage(pictures_[index]) << std::flush;
    }
    void StepFinished(std::size_t, int) override {}
    void PictureWritten(std::size_t, const std::string& outputPath) override { out_ << outputPath << '\n' << std::flush; }
    void PictureFailed(std::size_t index, const std::string& reason) override
    {
        if (showProgress_)
            errors_ << kClearLine;
        errors_ << PictureFailedMessage(pictures_[index], reason) << '\n';
    }

private:
    const std::vector<std::string>& pictures_;
    std::ostream& out_;
    std::ostream& errors_;
    const bool showProgress_;
};

} // namespace

bool RejectAny(const std::vector<std::string>& pictures, MoreFormats more, std::ostream& errors)
{
    std::vector<std::string> errorList;
    bool moreFormatsRefused = false;
    for (const std::string& path : pictures) {
        // Unlike the window, the command line says why a file it looks into cannot be read.
        std::string cause;
        if (const auto reason = RejectionReason(path, &cause, more)) {
            errorList.push_back(ErrorListEntry(WithDetail(*reason, cause), path));
            moreFormatsRefused = moreFormatsRefused || WantsMoreFormats(path, more);
        }
    }
    if (errorList.empty())
        return false;
    std::string message = BuildErrorMessage(errorList);
    if (moreFormatsRefused)
        message = WithClosingLine(std::move(message), Text(Message::HintMoreFormatsCli));
    errors << ForDisplay(WithoutCarriageReturns(message));
    return true;
}

ExitStatus RunBatch(CliRequest& request, std::ostream& out, std::ostream& errors, bool showProgress)
{
    if (RejectAny(request.pictures, request.moreFormats, errors))
        return kBadRequest;

    BatchOptions options;
    options.jobs = static_cast<std::size_t>(request.jobs);
    options.memoryBudget = request.memoryBudget;
    options.keepGoing = request.keepGoing;
    options.stopRequested = &StopSignalled();
    BatchTally tally;
    {
        CliReports reports(request.pictures, out, errors, showProgress);
        tally = ConvertInOrder(request.settings, request.pictures, options, reports);
    }
    // Said after the progress line is gone; the caller turns the signal into the exit status.
    if (StopSignalled())
        errors << StoppedText(request.pictures.size(), tally.written, tally.failed) << '\n';
    return tally.failed == 0 ? kAllConverted : kSomeFailed;
}

} // namespace gustara::cli
