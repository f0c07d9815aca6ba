#include "main/PicConvertThread.h"

#include "batch/BatchLimits.h"
#include "main/UnitMain.h"
#include "progress/UnitStatus.h"
#include "rules/DisplayText.h"
#include "rules/Messages.h"
#include "settings/SettingsTable.h"
#include "shared/RunOnUiThread.h"

namespace gustara {

TPicConvertThread::TPicConvertThread(TFormMain& formMain, TFormStatus& formStatus, bool keepGoing)
    : FormMain(formMain)
    , FormStatus(formStatus)
{
    Result.keepGoing = keepGoing;
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
    if (Prepare() && ConvertAll() && Result.savedCount > 0)
        FormStatus.SetSaveDir(PicConvert->GetOutputFolder());
    PicConvert.reset();
    PicList = {};
}

bool TPicConvertThread::Prepare()
{
    try {
        RunOnUiThread([this] { MarkSucceeded(); });
        PicList = {};
        RunOnUiThread([this] { GetFileList(); });
        PicConvert = std::make_unique<TthPicConvert>();
        RunOnUiThread([this] { ReadSettings(); });
        return true;
    } catch (...) {
        // The label keeps its starting text: no picture has been named yet.
        RunOnUiThread([this] { MarkFailed(); });
        return false;
    }
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
    StatusText = PictureProcessingMessage(PicList[index]);
    RunOnUiThread([this] { ShowStatus(); });
}

void TPicConvertThread::StepFinished(std::size_t index, int step)
{
    ShowProgressAt(index, step);
}

void TPicConvertThread::PictureWritten(std::size_t index, const std::string&)
{
    ShowProgressAt(index, kUnitsPerPicture - 1);
}

void TPicConvertThread::PictureFailed(std::size_t index, const std::string& reason)
{
    Result.failures.push_back({PicList[index], reason});
    RunOnUiThread([this] { MarkFailed(); });
    if (Result.keepGoing)
        return;
    StatusText = PictureFailedMessage(PicList[index], reason);
    RunOnUiThread([this] { ShowStatus(); });
}

void TPicConvertThread::ShowProgressAt(std::size_t index, int step)
{
    Progress = static_cast<int32_t>(index) * kUnitsPerPicture + step;
    RunOnUiThread([this] { ShowProgress(); });
}

void TPicConvertThread::MarkSucceeded()
{
    FormMain.ConvertSucceeded = true;
}

void TPicConvertThread::GetFileList()
{
    FormMain.CopyFileList(PicList);
}

void TPicConvertThread::ReadSettings()
{
    FillConversionSettings(FormMain.CurrentSettings(), *PicConvert);
    BatchJobs = FormMain.BatchJobs;
}

void TPicConvertThread::ShowProgress()
{
    FormStatus.SetProgress(Progress);
}

void TPicConvertThread::ShowStatus()
{
    FormStatus.SetStatusText(QString::fromStdString(StatusText));
}

void TPicConvertThread::MarkFailed()
{
    FormMain.ConvertSucceeded = false;
}

} // namespace gustara
