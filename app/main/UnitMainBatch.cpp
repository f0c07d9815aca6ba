// Batches of the main window: starting the worker, stopping it and showing its result.

#include "main/UnitMain.h"

#include "EngineError.h"
#include "UnitThPicConvert.h"
#include "main/PicConvertThread.h"
#include "progress/UnitStatus.h"
#include "rules/DisplayText.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"
#include "shared/AppText.h"

#include <QAction>
#include <QCloseEvent>

#include <utility>

namespace gustara {

namespace {

int32_t LastProgressUnit(std::size_t pictureCount)
{
    return static_cast<int32_t>(pictureCount) * TPicConvertThread::kUnitsPerPicture - 1;
}

// By the whole path: two pictures of one name in two folders must read apart. The pictures
// saved with a part missing follow the failures.
QStringList FailureLines(const BatchOutcome& outcome)
{
    QStringList lines;
    for (const FailedPicture& failure : outcome.failures)
        lines.push_back(QString::fromStdString(ForDisplay(WithDetail(FailedPictureText(failure.path), failure.reason))));
    for (const std::string& path : outcome.partMissing)
        lines.push_back(QString::fromStdString(Format(Message::PartMissingPicture, {ForDisplay(path)})));
    return lines;
}

} // namespace

void TFormMain::StartConvert()
{
    LastOutcome.reset();
    FormStatus->SetProgressRange(0, LastProgressUnit(FileList.size()));
    // Through the setter, so that no tooltip of an earlier batch stays.
    FormStatus->SetStatusText(QString::fromUtf8(Text(Message::StatusStarting)));
    FormStatus->SetCloseEnabled(false);
    FormStatus->SetOpenDirEnabled(false);
    FormStatus->SetFailureList({});
    FormStatus->SetStatusNotes({});
    FormStatus->OfferStop(true);
    FormStatus->show();
    // A window shown again does not come to the front by itself everywhere (without a
    // window manager, or with some), and would stay hidden behind this one.
    FormStatus->raise();
    FormStatus->activateWindow();
    setEnabled(false);

    BatchRequest request;
    request.fileList = GetFileList();
    request.settings = ReadSettings();
    request.jobs = BatchJobs;
    request.keepGoing = KeepGoingItem->isChecked();
    request.showsPosition = QualityItem->isChecked();
    ConvertSucceeded = request.settings != nullptr;
    ConvertThread = new TPicConvertThread(*this, *FormStatus, std::move(request));
    connect(ConvertThread, &QThread::finished, this, [this, worker = ConvertThread] { ConvertTerminate(worker); });
    // Connected after the handler, so the worker goes only once the handler has run.
    connect(ConvertThread, &QThread::finished, ConvertThread, &QObject::deleteLater);
    ConvertThread->start(QThread::NormalPriority);
}

void TFormMain::ConvertTerminate(QObject* sender)
{
    auto& worker = static_cast<TPicConvertThread&>(*sender);
    // The run has returned; the thread itself ends right after, and no thread outlives the batch.
    worker.wait();
    ConvertThread = nullptr;
    FormStatus->OfferStop(false);
    FormStatus->SetCloseEnabled(true);
    LastOutcome = std::make_unique<BatchOutcome>(worker.Outcome());
    ShowOutcome(*LastOutcome);
    FormStatus->SetCaptionPosition(0, 0);
    if (CloseAfterBatch) {
        CloseAfterBatch = false;
        FormStatus->hide();
        close();
    }
    emit BatchEnded();
}

void TFormMain::ShowOutcome(const BatchOutcome& outcome)
{
    if (!ShowExtendedOutcome(outcome) && ConvertSucceeded) {
        FormStatus->SetProgress(LastProgressUnit(outcome.pictureCount));
        FormStatus->SetOpenDirEnabled(true);
        FormStatus->SetStatusText(QString::fromStdString(BatchDoneText(outcome.pictureCount)));
    }
    ShowNotes(outcome);
}

bool TFormMain::ShowExtendedOutcome(const BatchOutcome& outcome)
{
    const std::size_t failed = outcome.failures.size();
    if (outcome.stopped) {
        FormStatus->SetStatusText(QString::fromStdString(StoppedText(outcome.pictureCount, outcome.savedCount, failed)));
    } else if (outcome.keepGoing && failed > 0) {
        FormStatus->SetProgress(LastProgressUnit(outcome.pictureCount));
        FormStatus->SetStatusText(QString::fromStdString(Format(
            Message::KeptGoing,
            {std::to_string(outcome.pictureCount), std::to_string(outcome.savedCount), std::to_string(failed)})));
    } else {
        return false;
    }
    FormStatus->SetOpenDirEnabled(outcome.savedCount > 0);
    if (outcome.keepGoing)
        FormStatus->SetFailureList(FailureLines(outcome));
    return true;
}

void TFormMain::ShowNotes(const BatchOutcome& outcome)
{
    QList<StatusNote> notes;
    if (QualityItem->isChecked() && outcome.savedCount > 0) {
        std::string sizes = Format(Message::TotalWritten, {FileSizeText(outcome.bytesWritten)});
        if (outcome.aboveTarget > 0)
            sizes += Format(Message::Note, {Format(Message::AboveTargetSize, {std::to_string(outcome.aboveTarget)})});
        notes.push_back({QString::fromStdString(sizes), {}});
    }
    if (!outcome.partMissing.empty()) {
        StatusNote names{QString::fromUtf8(Text(Message::PartMissingNames)), {}};
        for (const std::string& path : outcome.partMissing)
            names.names.push_back(QString::fromStdString(ForDisplay(NamePart(path))));
        notes.push_back(names);
        FormStatus->SetFailureList(FailureLines(outcome));
    }
    FormStatus->SetStatusNotes(notes);
}

void TFormMain::StopConvert()
{
    if (!ConvertThread)
        return;
    ConvertThread->RequestStop();
    // The picture in work may take seconds to finish or be dropped; say at once that the stop was heard.
    FormStatus->ShowStopping();
}

std::vector<std::string> TFormMain::GetFileList() const
{
    return FileList;
}

std::unique_ptr<TthPicConvert> TFormMain::ReadSettings() const
{
    auto engine = std::make_unique<TthPicConvert>();
    try {
        FillConversionSettings(CurrentSettings(), *engine);
    } catch (const EngineError&) {
        return nullptr;
    }
    return engine;
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (!IsConverting()) {
        QMainWindow::closeEvent(event);
        return;
    }
    CloseAfterBatch = true;
    StopConvert();
    event->ignore();
}

} // namespace gustara
