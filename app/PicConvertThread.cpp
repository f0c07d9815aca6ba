#include "PicConvertThread.h"

#include "rules/PathParts.h"
#include "RunOnUiThread.h"
#include "UnitMain.h"
#include "UnitStatus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

namespace gustara {

TPicConvertThread::TPicConvertThread(TFormMain& formMain, TFormStatus& formStatus)
    : FormMain(formMain)
    , FormStatus(formStatus)
{
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
    if (Prepare() && ConvertAll())
        FormStatus.SetSaveDir(PicConvert->GetOutputFolder());
    Bitmap.reset();
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
    for (std::size_t i = 0; i < PicList.size(); ++i) {
        const std::string& entry = PicList[i];
        const std::string name(NamePart(entry));
        Progress = static_cast<int32_t>(i) * kUnitsPerPicture;
        RunOnUiThread([this] { ShowProgress(); });
        StatusText = "[" + name + "]を処理しています";
        RunOnUiThread([this] { ShowStatus(); });
        SaveFileName = SavePathFor(entry);
        Bitmap.emplace();
        SourceFileName = entry;
        try {
            ConvertPicture();
        } catch (...) {
            // The engine's own text is never shown: the label names the picture.
            RunOnUiThread([this] { MarkFailed(); });
            StatusText = "[" + name + "]の処理に失敗しました";
            RunOnUiThread([this] { ShowStatus(); });
            return false;
        }
        Bitmap.reset();
    }
    return true;
}

void TPicConvertThread::ConvertPicture()
{
    PicConvert->LoadPicture(SourceFileName, *Bitmap);
    AdvanceProgress();
    PicConvert->FitPicSize(*Bitmap);
    AdvanceProgress();
    PicConvert->ApplyFlavour(*Bitmap);
    AdvanceProgress();
    PicConvert->SaveAsJpeg(SaveFileName, *Bitmap);
    AdvanceProgress();
}

void TPicConvertThread::AdvanceProgress()
{
    ++Progress;
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
    TthPicConvert& settings = *PicConvert;
    settings.UseDecidesName = FormMain.RBDecidesName->isChecked();
    settings.DirName = FormMain.EditDirName->text().toStdString();
    // The hidden effect group is copied although no step reads it, and ApplyFlavour overwrites
    // ContrastLevel (FlavourFilter.EngineStepIgnoresTheHiddenEffectOptions).
    settings.UseFilter = FormMain.CBFilter->isChecked();
    settings.UseContrast = FormMain.CBContrast->isChecked();
    settings.UseVivid = FormMain.CBVivid->isChecked();
    settings.UseBrightness = FormMain.CBBrightness->isChecked();
    settings.UseMonochrome = FormMain.CBMonochrome->isChecked();
    settings.ContrastLevel = FormMain.TBContrast->value();
    settings.BrightnessDown = FormMain.RBBrightnessDown->isChecked();
    settings.UsePicSize = FormMain.CBPicSize->isChecked();
    int32_t width = 0;
    int32_t height = 0;
    FormMain.GetPicSize(width, height);
    settings.PicWidth = width;
    settings.PicHeight = height;
    settings.UseProgressive = FormMain.CBProgressive->isChecked();
    settings.UseQuality = FormMain.CBQuality->isChecked();
    settings.ByQuality = FormMain.RBQuality->isChecked();
    settings.QualityValue = FormMain.GetQualityValue();
    settings.TargetFileSize = FormMain.GetTargetFileSize();
    settings.FlavourLevel = FormMain.GetFlavourLevel();
    settings.NameBefore = FormMain.CBSelectNamePos->currentIndex() == 0;
    settings.FileNameAffix = FormMain.EditFileName->text().toStdString();
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
