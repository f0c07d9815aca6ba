#include "BatchRunner.h"

#include "batch/StopSignals.h"

#include "batch/PictureBatch.h"
#include "read/PictureReader.h"
#include "rules/DisplayText.h"
#include "rules/DropRules.h"
#include "rules/Messages.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
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

// Each written path on `out`, ended by request.pathEnd and kept byte for byte; each failure,
// with its reason, each picture written with a part missing and each skipped picture on
// `errors`; with showProgress, the picture the batch waits for on one line of `errors` that
// each report replaces. Quiet: no paths, no skipped pictures, no progress.
class CliReports final : public BatchObserver {
public:
    CliReports(const CliRequest& request, std::ostream& out, std::ostream& errors, bool showProgress)
        : settings_(request.settings), pictures_(request.pictures), out_(out), errors_(errors),
          showProgress_(showProgress), quiet_(request.quiet), pathEnd_(request.pathEnd)
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
                    << PictureProcessingMessage(pictures_[index], PictureNaming::ByPath) << std::flush;
    }
    void StepFinished(std::size_t, int) override {}
    void PictureWritten(std::size_t index, const std::string& outputPath, bool partMissing) override
    {
        if (!quiet_)
            out_ << outputPath << pathEnd_ << std::flush;
        // Saved all the same, so the exit status stays; said even when quiet, as a failure is.
        if (partMissing) {
            ClearProgress();
            errors_ << Format(Message::PartMissingPicture, {ForDisplay(pictures_[index])}) << '\n';
        }
        std::error_code error;
        const auto bytes = std::filesystem::file_size(outputPath, error);
        if (!error && settings_.StaysAboveTargetSize(bytes))
            ++aboveTarget_;
    }
    void PictureFailed(std::size_t index, const std::string& reason) override
    {
        ClearProgress();
        errors_ << PictureFailedMessage(pictures_[index], reason, PictureNaming::ByPath) << '\n';
    }
    void PictureSkipped(std::size_t index, const std::string& takenPath) override
    {
        ClearProgress();
        if (!quiet_)
            errors_ << Format(Message::SkippedTakenName, {ForDisplay(pictures_[index]), ForDisplay(takenPath)}) << '\n';
    }

    // Pictures written at the last quality of the target-size search, still not below the target.
    std::size_t AboveTarget() const { return aboveTarget_; }

private:
    void ClearProgress()
    {
        if (showProgress_)
            errors_ << kClearLine;
    }

    const TthPicConvert& settings_;
    const std::vector<std::string>& pictures_;
    std::ostream& out_;
    std::ostream& errors_;
    const bool showProgress_;
    const bool quiet_;
    const char pathEnd_;
    std::size_t aboveTarget_ = 0;
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
            errorList.push_back(ForDisplay(ErrorListEntry(WithDetail(*reason, cause), path)));
            moreFormatsRefused = moreFormatsRefused || WantsMoreFormats(path, more);
        }
    }
    if (errorList.empty())
        return false;
    // Unlike the window's box, a terminal scrolls: every refused picture is listed.
    std::string message = BuildErrorMessage(errorList, errorList.size());
    if (moreFormatsRefused)
        message = WithClosingLine(std::move(message), Text(Message::HintMoreFormatsCli));
    errors << WithoutCarriageReturns(message);
    return true;
}

ExitStatus RunBatch(CliRequest& request, std::ostream& out, std::ostream& errors, bool stderrIsTerminal)
{
    if (RejectAny(request.pictures, request.moreFormats, errors))
        return kBadRequest;
    if (!request.outputFolder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(request.outputFolder, error);
        if (error) {
            errors << Format(Message::CannotCreateOutputDir, {ForDisplay(request.outputFolder), error.message()}) << '\n';
            return kSomeFailed;
        }
    }

    BatchOptions options;
    options.jobs = static_cast<std::size_t>(request.jobs);
    options.memoryBudget = request.memoryBudget;
    options.keepGoing = request.keepGoing;
    options.stopRequested = &StopSignalled();
    options.outputFolder = request.outputFolder;
    options.ifTaken = request.ifTaken;
    BatchTally tally;
    std::size_t aboveTarget = 0;
    {
        CliReports reports(request, out, errors, !request.quiet && (request.progress || stderrIsTerminal));
        tally = ConvertInOrder(request.settings, request.pictures, options, reports);
        aboveTarget = reports.AboveTarget();
    }
    // Said after the progress line is gone; the caller turns the signal into the exit status.
    if (StopSignalled())
        errors << StoppedText(request.pictures.size(), tally.written, tally.failed) << '\n';
    // A miss is saved all the same, so the exit status stays.
    if (aboveTarget > 0)
        errors << Format(Message::AboveTargetSize, {std::to_string(aboveTarget)}) << '\n';
    const std::size_t notConverted = request.pictures.size() - tally.written - tally.failed - tally.skipped;
    if (tally.failed > 0 && notConverted > 0)
        errors << Format(Message::NotConvertedCount, {std::to_string(notConverted)}) << '\n';
    if (!out.flush()) {
        errors << Text(Message::CannotWriteList) << '\n';
        return kSomeFailed;
    }
    return tally.failed == 0 ? kAllConverted : kSomeFailed;
}

} // namespace gustara::cli
