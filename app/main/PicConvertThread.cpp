#include "main/PicConvertThread.h"

#include "batch/BatchLimits.h"
#include "main/UnitMain.h"
#include "progress/UnitStatus.h"
#include "rules/DisplayText.h"
#include "rules/Messages.h"
#include "shared/RunOnUiThread.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace gustara {

TPicConvertThread::TPicConvertThread(TFormMain& formMain, TFormStatus& formStatus, BatchRequest request)
    : FormMain(formMain)
    , FormStatus(formStatus)
    , ShowsPosition(request.showsPosition)
    , PicConvert(std::move(request.settings))
    , PicList(std::move(request.fileList))
    , BatchJobs(request.jobs)
{
    Result.keepGoing = request.keepGoing;
}

void TPicConvertThread::run()
{
    try {
        Execute();
    } catch (...) {
        // An exception leaving run() would end the program.
    }
}

void TPicConvertThread::Execute()
{
    // Without settings the label keeps its starting text: no picture has been named yet.
    if (PicConvert && ConvertAll() && Result.savedCount > 0)
        FormStatus.SetSaveDir(PicConvert->GetOutputFolder());
    PicConvert.reset();
    PicList = {};
}

bool TPicConvertThread::ConvertAll()
{
    Result.pictureCount = PicList.size();
    BatchOptions options;
    options.jobs = BatchJobs;
    options.memoryBudget = DefaultBatchMemoryBudget();
    options.keepGoing = Result.keepGoing;
    options.stopRequested = &StopRequested;
    const BatchTally tally = ConvertInOrder(*PicConvert, PicList, options, *this);
    Result.savedCount = tally.written;
    Result.stopped = tally.stopped;
    return Result.keepGoing || tally.failed == 0;
}

void TPicConvertThread::PictureStarted(std::size_t index)
{
    ShowProgressAt(index, 0);
    PostToUiThread(FormStatus, [this, text = PictureProcessingMessage(PicList[index]), position = index + 1] {
        if (!StopRequested) {
            ShowStatus(text);
            ShowPosition(position);
        }
    });
}

void TPicConvertThread::StepFinished(std::size_t index, int step)
{
    ShowProgressAt(index, step);
}

void TPicConvertThread::PictureWritten(std::size_t index, const std::string& outputPath, bool partMissing)
{
    if (partMissing)
        Result.partMissing.push_back(PicList[index]);
    std::error_code error;
    const uint64_t bytes = std::filesystem::file_size(outputPath, error);
    if (!error) {
        Result.bytesWritten += bytes;
        Result.aboveTarget += PicConvert->StaysAboveTargetSize(bytes) ? 1 : 0;
    }
    ShowProgressAt(index, kUnitsPerPicture - 1);
}

void TPicConvertThread::PictureFailed(std::size_t index, const std::string& reason)
{
    Result.failures.push_back({PicList[index], reason});
    PostToUiThread(FormMain, [this] { MarkFailed(); });
    if (Result.keepGoing)
        return;
    PostToUiThread(FormStatus, [this, text = PictureFailedMessage(PicList[index], reason)] { ShowStatus(text); });
}

void TPicConvertThread::ShowProgressAt(std::size_t index, int step)
{
    const int32_t progress = static_cast<int32_t>(index) * kUnitsPerPicture + step;
    // Nothing more is shown once a stop is asked for, as when every report waited.
    auto show = [this, progress] {
        if (!StopRequested)
            ShowProgress(progress);
    };
    // The last report before a picture is written waits for the screen, so that a stop asked
    // for on what the screen shows is seen before the file is written.
    if (step == kUnitsPerPicture - 2)
        RunOnUiThread(show);
    else
        PostToUiThread(FormStatus, std::move(show));
}

void TPicConvertThread::ShowProgress(int32_t progress)
{
    FormStatus.SetProgress(progress);
}

void TPicConvertThread::ShowStatus(const std::string& statusText)
{
    FormStatus.SetStatusText(QString::fromStdString(statusText));
}

void TPicConvertThread::ShowPosition(std::size_t position)
{
    if (ShowsPosition)
        FormStatus.SetCaptionPosition(position, PicList.size());
}

void TPicConvertThread::MarkFailed()
{
    FormMain.ConvertSucceeded = false;
}

} // namespace gustara
