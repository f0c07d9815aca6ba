#include "BatchRunner.h"

#include "batch/StopSignals.h"

#include "EngineError.h"
#include "FileKind.h"
#include "JsonReport.h"
#include "batch/FolderTree.h"
#include "batch/PictureBatch.h"
#include "platform/SystemPath.h"
#include "read/PictureReader.h"
#include "rules/DisplayText.h"
#include "rules/DropRules.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
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

// How the picture the batch waits for is shown on standard error.
enum class ProgressShown {
    Not,
    OnOneLine,   // a terminal: one line, which each report first clears
    AsLines,     // a file or a pipe: a line of its own per picture
};

// Each written path on `out`, ended by request.pathEnd and kept byte for byte, or with --json
// each picture's JsonLine; each failure, with its reason, each picture written with a part
// missing and each skipped picture on `errors`; the progress on `errors` as `progress` says,
// on one line fitted into `columns` of a terminal. Quiet: no paths, no skipped pictures, no
// progress; the JSON lines stay, as a script asked for them.
class CliReports final : public BatchObserver {
public:
    CliReports(const CliRequest& request, std::ostream& out, std::ostream& errors, ProgressShown progress,
               std::size_t columns)
        : settings_(request.settings), pictures_(request.pictures), out_(out), errors_(errors),
          progress_(progress), columns_(columns), quiet_(request.quiet), json_(request.json), pathEnd_(request.pathEnd)
    {
    }
    ~CliReports() { ClearProgress(); }

    void PictureStarted(std::size_t index) override
    {
        if (progress_ == ProgressShown::AsLines)
            errors_ << ProgressLine(index) << '\n' << std::flush;
        else if (progress_ == ProgressShown::OnOneLine)
            errors_ << kClearLine << FittedProgressLine(index) << std::flush;
    }
    void StepFinished(std::size_t, int) override {}
    void PictureQuality(std::size_t, int quality) override { quality_ = quality; }
    void PictureWritten(std::size_t index, const std::string& outputPath, bool partMissing) override
    {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(SystemPath(outputPath), error);
        if (json_ || !quiet_) {
            // Standard output and standard error may share the terminal: the path starts a line.
            ClearProgress();
            if (json_)
                out_ << JsonLine({pictures_[index], "written", outputPath, std::nullopt,
                                  error ? std::nullopt : std::optional<uint64_t>(bytes), quality_, partMissing})
                     << '\n' << std::flush;
            else
                out_ << outputPath << pathEnd_ << std::flush;
        }
        // Saved all the same, so the exit status stays; said even when quiet, as a failure is.
        if (partMissing) {
            ClearProgress();
            errors_ << Format(Message::PartMissingPicture, {ForDisplay(pictures_[index])}) << '\n';
        }
        if (!error && settings_.StaysAboveTargetSize(bytes))
            ++aboveTarget_;
    }
    void PictureFailed(std::size_t index, const std::string& reason) override
    {
        ClearProgress();
        errors_ << PictureFailedMessage(pictures_[index], reason, PictureNaming::ByPath) << '\n';
        if (json_)
            out_ << JsonLine({pictures_[index], "failed", std::nullopt, reason}) << '\n' << std::flush;
    }
    void PictureSkipped(std::size_t index, const std::string& takenPath) override
    {
        ClearProgress();
        if (!quiet_)
            errors_ << Format(Message::SkippedTakenName, {ForDisplay(pictures_[index]), ForDisplay(takenPath)}) << '\n';
        if (json_)
            out_ << JsonLine({pictures_[index], "skipped", takenPath, std::string(Text(Message::ReasonNameTaken))})
                 << '\n' << std::flush;
    }

    // Pictures written at the last quality of the target-size search, still not below the target.
    std::size_t AboveTarget() const { return aboveTarget_; }

private:
    void ClearProgress()
    {
        if (progress_ == ProgressShown::OnOneLine)
            errors_ << kClearLine << std::flush;
    }

    std::string ProgressLine(std::size_t index, std::string_view path) const
    {
        return '[' + std::to_string(index + 1) + '/' + std::to_string(pictures_.size()) + "] " + ProcessingText(path);
    }
    std::string ProgressLine(std::size_t index) const { return ProgressLine(index, ForDisplay(pictures_[index])); }

    // The progress line within the terminal's width, so that it never wraps onto a second row
    // that the next clear would leave behind; the path loses its middle first.
    std::string FittedProgressLine(std::size_t index) const
    {
        // One column spare: a line that fills the last one makes some terminals wrap at once.
        const std::size_t room = columns_ - 1;
        const std::string path = ForDisplay(pictures_[index]);
        std::string line = ProgressLine(index, path);
        const std::size_t width = DisplayColumns(line);
        if (width <= room)
            return line;
        const std::size_t pathWidth = DisplayColumns(path);
        if (width - room < pathWidth)
            line = ProgressLine(index, ElideMiddle(path, pathWidth - (width - room)));
        return ElideMiddle(line, room);
    }

    const TthPicConvert& settings_;
    const std::vector<std::string>& pictures_;
    std::ostream& out_;
    std::ostream& errors_;
    const ProgressShown progress_;
    const std::size_t columns_;
    const bool quiet_;
    const bool json_;
    const char pathEnd_;
    int quality_ = 0;
    std::size_t aboveTarget_ = 0;
};

// With -r, replaces each folder among request.pictures by the pictures of its tree, and returns
// each picture's output folder: request.outputFolder with the picture's sub-folder below it
// (empty: beside the source). Without -r, request.outputFolder for every picture. Throws
// EngineError when a folder cannot be listed.
std::vector<std::string> TakeInFolders(CliRequest& request)
{
    if (!request.recursive)
        return std::vector<std::string>(request.pictures.size(), request.outputFolder);
    const auto below = [&](const std::string& subFolder) {
        if (request.outputFolder.empty())
            return std::string();
        return request.outputFolder + (EndsWithSeparator(request.outputFolder) ? "" : "/") + subFolder;
    };
    std::vector<std::string> pictures;
    std::vector<std::string> folders;
    for (const std::string& named : request.pictures) {
        if (KindAt(named, Links::Followed) != FileKind::Folder) {
            pictures.push_back(named);
            folders.push_back(request.outputFolder);
            continue;
        }
        for (TreePicture& found : PicturesInTree(named, request.settings, request.moreFormats)) {
            pictures.push_back(std::move(found.path));
            folders.push_back(below(found.subFolder));
        }
    }
    request.pictures = std::move(pictures);
    return folders;
}

// -n: the name each picture would be written under, as the paths (or JSON lines) a run writes;
// a picture that --if-exists=skip would pass over is reported as the run reports it.
ExitStatus ShowPlan(const CliRequest& request, const std::vector<std::string>& folders, std::ostream& out,
                    std::ostream& errors)
{
    std::vector<std::string> savePaths;
    for (std::size_t i = 0; i < request.pictures.size(); ++i)
        savePaths.push_back(SavePathFor(request.pictures[i], folders[i]));
    const auto planned = request.settings.PlanOutputs(savePaths, request.ifTaken);
    for (std::size_t i = 0; i < planned.size(); ++i) {
        const std::string& source = request.pictures[i];
        if (!planned[i]) {
            const std::string taken = request.settings.OutputNameFor(savePaths[i]).path();
            if (!request.quiet)
                errors << Format(Message::SkippedTakenName, {ForDisplay(source), ForDisplay(taken)}) << '\n';
            if (request.json)
                out << JsonLine({source, "skipped", taken, std::string(Text(Message::ReasonNameTaken))}) << '\n';
        } else if (request.json) {
            out << JsonLine({source, "planned", *planned[i]}) << '\n';
        } else if (!request.quiet) {
            out << *planned[i] << request.pathEnd;
        }
    }
    if (!out.flush()) {
        errors << Text(Message::CannotWriteList) << '\n';
        return kSomeFailed;
    }
    return kAllConverted;
}

} // namespace

bool RejectAny(const std::vector<std::string>& pictures, MoreFormats more, std::ostream& errors)
{
    std::vector<std::string> errorList;
    bool moreFormatsRefused = false;
    for (const std::string& path : pictures) {
        // Unlike the window, the command line says why a file it looks into cannot be read.
        std::string cause;
        const auto reason = RejectionReason(path, &cause, more);
        if (!reason)
            continue;
        // A name can be mistyped, and a folder is named, not dropped: both get their own words.
        std::string why;
        switch (KindAt(path, Links::Followed)) {
        case FileKind::Nothing:
            why = Text(Message::ReadMissing);
            break;
        case FileKind::Folder:
            why = Text(Message::ReasonFolderNamed);
            break;
        default:
            why = WithDetail(*reason, cause);
            moreFormatsRefused = moreFormatsRefused || WantsMoreFormats(path, more);
        }
        errorList.push_back(ForDisplay(ErrorListEntry(why, path, PictureNaming::ByPath)));
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

ExitStatus RunBatch(CliRequest& request, std::ostream& out, std::ostream& errors, std::size_t terminalColumns)
{
    std::vector<std::string> folders;
    try {
        folders = TakeInFolders(request);
    } catch (const EngineError& error) {
        errors << ForDisplay(error.what()) << '\n';
        return kBadRequest;
    }
    if (RejectAny(request.pictures, request.moreFormats, errors))
        return kBadRequest;
    if (request.dryRun)
        return ShowPlan(request, folders, out, errors);
    for (const std::string& folder : std::set<std::string>(folders.begin(), folders.end())) {
        if (folder.empty())
            continue;
        std::error_code error;
        std::filesystem::create_directories(SystemPath(folder), error);
        if (error) {
            errors << Format(Message::CannotCreateOutputDir, {ForDisplay(folder), WriteFailureText(error.value())}) << '\n';
            return kSomeFailed;
        }
    }

    BatchOptions options;
    options.jobs = static_cast<std::size_t>(request.jobs);
    options.memoryBudget = request.memoryBudget;
    options.keepGoing = request.keepGoing;
    options.stopRequested = &StopSignalled();
    options.outputFolders = std::move(folders);
    options.ifTaken = request.ifTaken;
    BatchTally tally;
    std::size_t aboveTarget = 0;
    {
        const ProgressShown progress = request.quiet ? ProgressShown::Not
                                       : terminalColumns > 0 ? ProgressShown::OnOneLine
                                       : request.progress ? ProgressShown::AsLines
                                                          : ProgressShown::Not;
        CliReports reports(request, out, errors, progress, terminalColumns);
        tally = ConvertInOrder(request.settings, request.pictures, options, reports);
        aboveTarget = reports.AboveTarget();
    }
    // Said after the progress line is gone; the caller turns the signal into the exit status.
    if (StopSignalled())
        errors << StoppedText(request.pictures.size(), tally.written, tally.failed) << '\n';
    // A miss is saved all the same, so the exit status stays.
    if (aboveTarget > 0)
        errors << CountText(aboveTarget, Message::AboveTargetSizeOne, Message::AboveTargetSize) << '\n';
    const std::size_t notConverted = request.pictures.size() - tally.written - tally.failed - tally.skipped;
    if (tally.failed > 0 && notConverted > 0)
        errors << CountText(notConverted, Message::NotConvertedCountOne, Message::NotConvertedCount) << '\n';
    if (!out.flush()) {
        errors << Text(Message::CannotWriteList) << '\n';
        return kSomeFailed;
    }
    return tally.failed == 0 ? kAllConverted : kSomeFailed;
}

} // namespace gustara::cli
