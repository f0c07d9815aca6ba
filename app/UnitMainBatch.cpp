// Batches of the main window: starting the worker and showing its result.

#include "UnitMain.h"

#include "PicConvertThread.h"
#include "UnitStatus.h"

#include <QCloseEvent>

namespace gustara {

namespace {

int32_t LastProgressUnit(std::size_t pictureCount)
{
    return static_cast<int32_t>(pictureCount) * TPicConvertThread::kUnitsPerPicture - 1;
}

} // namespace

void TFormMain::StartConvert()
{
    FormStatus->SetProgressRange(0, LastProgressUnit(FileList.size()));
    FormStatus->LabelStatus->setText(QStringLiteral("初期化中････"));
    FormStatus->SetCloseEnabled(false);
    FormStatus->SetOpenDirEnabled(false);
    FormStatus->show();
    // A window shown again does not come to the front by itself everywhere (without a
    // window manager, or with some), and would stay hidden behind this one.
    FormStatus->raise();
    FormStatus->activateWindow();
    setEnabled(false);

    ConvertThread = new TPicConvertThread(*this, *FormStatus);
    connect(ConvertThread, &QThread::finished, this, [this, worker = ConvertThread] { ConvertTerminate(worker); });
    // Connected after the handler, so the worker goes only once the handler has run.
    connect(ConvertThread, &QThread::finished, ConvertThread, &QObject::deleteLater);
    ConvertThread->start(QThread::NormalPriority);
}

void TFormMain::ConvertTerminate([[maybe_unused]] QObject* sender)
{
    ConvertThread = nullptr;
    FormStatus->SetCloseEnabled(true);
    if (!ConvertSucceeded)
        return;
    FormStatus->SetProgress(LastProgressUnit(FileList.size()));
    FormStatus->SetOpenDirEnabled(true);
    FormStatus->SetStatusText(QString::number(FileList.size()) + QStringLiteral("枚の画像処理が完了しました"));
}

void TFormMain::CopyFileList(std::vector<std::string>& target) const
{
    target = FileList;
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (IsConverting())
        event->ignore();
    else
        QMainWindow::closeEvent(event);
}

} // namespace gustara
