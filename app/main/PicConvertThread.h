#pragma once

#include "UnitThPicConvert.h"
#include "batch/PictureBatch.h"

#include <QThread>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gustara {

class TFormMain;
class TFormStatus;

// A picture that failed: its path (bytes) and the engine's reason.
struct FailedPicture {
    std::string path;
    std::string reason;
};

// How a batch ended, beyond the main window's ConvertSucceeded.
struct BatchOutcome {
    std::size_t pictureCount = 0;
    std::size_t savedCount = 0;
    bool stopped = false;    // a stop was asked for and ended the batch early
    bool keepGoing = false;  // the batch went on past failed pictures
    uint64_t bytesWritten = 0;    // the sizes of the files written
    std::size_t aboveTarget = 0;  // pictures the target-size search left above the target
    std::vector<FailedPicture> failures;
    std::vector<std::string> partMissing;  // paths of pictures saved from a file cut short
};

// What the main window hands the worker of a batch when it makes it, read on the
// user-interface thread: the worker takes no setting from the window afterwards.
struct BatchRequest {
    std::vector<std::string> fileList;  // the accepted paths (bytes), in drop order
    // The engine with the conversion settings filled in; none when they could not be read (a
    // typed number that is not one), which fails the batch before its first picture.
    std::unique_ptr<TthPicConvert> settings;
    std::size_t jobs = 1;        // pictures worked on at once
    bool keepGoing = false;      // a failed picture is recorded and the batch goes on
    bool showsPosition = false;  // the progress window's caption counts the pictures
};

// The worker of one batch: converts the handed paths, up to the handed number at a time, and
// reports each picture and step to the progress window in drop order, exactly as for one
// picture at a time: the label names the picture the batch waits for, the bar moves only
// forward, and files are written in drop order from this thread. The first picture that fails
// ends the batch (unless keepGoing), and nothing after it is written: the status label names it
// with its reason and the main window's ConvertSucceeded becomes false. A stop is looked at
// before each picture starts and before its file is written: an abandoned picture leaves no
// file, and nothing is written after it, even a picture already finished. The worker waits for
// the user-interface thread before each picture is written, until the screen shows its last
// step; its other reports are posted and shown in the order made while the pictures go on, and
// none is shown once a stop is asked for. Handing the output folder to the progress window
// after the last picture is a direct call. Both windows must outlive the run.
class TPicConvertThread : public QThread, private BatchObserver {
    Q_OBJECT
public:
    // Progress units of one picture: its start and one per engine step.
    static constexpr int32_t kUnitsPerPicture = 5;

    // Takes the request; made on the user-interface thread.
    TPicConvertThread(TFormMain& formMain, TFormStatus& formStatus, BatchRequest request);

    // Asks the batch to stop; any thread may call it, at any time.
    void RequestStop() { StopRequested.store(true); }
    // How the batch ended; to be read only once the run has returned.
    const BatchOutcome& Outcome() const { return Result; }

protected:
    // Runs Execute. A report that can no longer reach the user-interface thread (the
    // application is ending) ends the run quietly instead of ending the program.
    void run() override;

private:
    // The whole batch; settings that could not be read or a failed picture end it as failed.
    // Releases the list and the engine on every way out.
    void Execute();
    // Every picture in list order, until a stop; false (and failed) at the first picture
    // that fails, unless the batch keeps going.
    bool ConvertAll();

    // The batch's reports, on this thread, posted to the user-interface thread. A failed
    // picture is recorded; unless the batch keeps going it is shown and ends the batch.
    void PictureStarted(std::size_t index) override;
    void StepFinished(std::size_t index, int step) override;
    void PictureWritten(std::size_t index, const std::string& outputPath, bool partMissing) override;
    void PictureFailed(std::size_t index, const std::string& reason) override;
    void ShowProgressAt(std::size_t index, int step);

    // Posted to the user-interface thread; they take what they show as values.
    void ShowProgress(int32_t progress);
    void ShowStatus(const std::string& statusText);
    void ShowPosition(std::size_t position);
    void MarkFailed();

    TFormMain& FormMain;
    TFormStatus& FormStatus;
    std::atomic<bool> StopRequested{false};
    BatchOutcome Result;

    const bool ShowsPosition;
    std::unique_ptr<TthPicConvert> PicConvert;
    std::vector<std::string> PicList;
    const std::size_t BatchJobs;
};

} // namespace gustara
