#pragma once

#include "PictureRaster.h"
#include "UnitThPicConvert.h"

#include <QThread>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gustara {

class TFormMain;
class TFormStatus;

// The worker of one batch: converts the main window's accepted paths one by one on its own
// thread and reports each picture and step to the progress window. Settings and the list
// are taken from the main window once, at the start. The first picture that fails ends the
// batch; the status label names it and the main window's ConvertSucceeded becomes false.
// The worker touches the windows only through RunOnUiThread, except for handing the output
// folder to the progress window after the last picture. Both windows must outlive the run.
class TPicConvertThread : public QThread {
    Q_OBJECT
public:
    // Progress units of one picture: its start and one per engine step.
    static constexpr int32_t kUnitsPerPicture = 5;

    TPicConvertThread(TFormMain& formMain, TFormStatus& formStatus);

protected:
    // Runs Execute. A report that can no longer reach the user-interface thread (the
    // application is ending) ends the run quietly instead of ending the program.
    void run() override;

private:
    // The whole batch; a failed start or picture ends it as failed. Releases the list, the
    // engine and the raster on every way out.
    void Execute();
    // Success flag, list and settings; false (and failed) when one of them fails.
    bool Prepare();
    // Every picture in list order; false (and failed) at the first picture that fails.
    bool ConvertAll();
    // The four engine steps of the current picture, each followed by a progress report.
    // Throws what the engine throws.
    void ConvertPicture();
    void AdvanceProgress();

    // Run on the user-interface thread while the worker waits.
    void MarkSucceeded();
    void GetFileList();
    void ReadSettings();
    void ShowProgress();
    void ShowStatus();
    void MarkFailed();

    TFormMain& FormMain;
    TFormStatus& FormStatus;

    std::string StatusText;
    int32_t Progress = 0;
    std::unique_ptr<TthPicConvert> PicConvert;
    std::vector<std::string> PicList;
    std::optional<PictureRaster> Bitmap;
    std::string SourceFileName;
    std::string SaveFileName;
};

} // namespace gustara
