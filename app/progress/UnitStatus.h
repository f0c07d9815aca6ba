#pragma once

#include <QDialog>
// The controls are public: the batch worker sets the status label directly.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <cstdint>
#include <functional>
#include <string>

class QCloseEvent;
class QUrl;

namespace gustara {

class FailureListWindow;

// A line under the status line at the end of a batch: `text`, in which %1 stands for `names`
// when there are any.
struct StatusNote {
    QString text;
    QStringList names;
};

// The progress window of a batch; created hidden at start-up and reused by every batch. It
// decides nothing about a batch: the worker and the main window drive it through the
// setters, and its buttons close it or open the output folder. Everything but SetSaveDir
// runs on the user-interface thread.
class TFormStatus : public QDialog {
    Q_OBJECT
public:
    // Builds the hidden window with an empty status line. `parent` is the main window, its
    // owner: the window takes the owner's font and is centred on it, and closing the window
    // enables and activates it again.
    explicit TFormStatus(QWidget* parent = nullptr);

    // Sets the bar's minimum, then its maximum, then puts the bar at the minimum.
    void SetProgressRange(int32_t min, int32_t max);
    void SetProgress(int32_t position);
    // Shows `text` on the one status line, centred; a text too wide for it is elided in the
    // middle (a picture's report in the middle of its name) and then stands whole in the line's
    // tooltip. Ignored while ShowStopping holds.
    void SetStatusText(const QString& text);
    // Says "中止しています…" at once and keeps it, whatever the worker still reports about the
    // picture it finishes, until the next OfferStop.
    void ShowStopping();
    // The whole text of the status line, as last set.
    QString FullStatusText() const { return StatusText; }
    // One line per note under the status line, each centred and, where too wide, elided as
    // the status line is, but in each of its names on its own; the window grows by the lines
    // and its buttons move down with them. No notes: the window of the fixed layout.
    void SetStatusNotes(const QList<StatusNote>& notes);
    // The notes' whole texts, names filled in.
    QStringList StatusNoteTexts() const;
    // The caption "進行状況", followed by " picture/count" while a batch that shows its
    // position runs; count 0 gives the plain caption.
    void SetCaptionPosition(std::size_t picture, std::size_t count);
    void SetCloseEnabled(bool enabled);
    void SetOpenDirEnabled(bool enabled);
    // While a batch runs, BtnClose reads "中止" and, while enabled, stands for a stop: pressing
    // it, Esc and the window manager's close emit StopRequested once and disable it. Otherwise
    // it reads "閉じる" and closes the window.
    void OfferStop(bool offered);
    // The reports of the pictures that failed, one line each. BtnDetails shows while the list
    // is not empty and opens it as selectable text.
    void SetFailureList(const QStringList& lines);
    // Stores the UTF-8 folder that BtnOpenDir opens. The worker calls this from its own
    // thread after its last picture; it touches no widget.
    void SetSaveDir(const std::string& folder);
    std::string GetSaveDir() const;

    // Hides the window, enables the owner and brings it to the front, active.
    void BtnCloseClick();
    // Asks the desktop to open SaveDir in its file manager. When the desktop cannot start
    // its open action, the status line says so instead.
    void BtnOpenDirClick();
    // Shows the failure list in its one window beside this one; that window closes with this.
    void BtnDetailsClick();

    QLabel* LabelStatus;
    QProgressBar* ProgressBarStatus;
    QPushButton* BtnClose;
    QPushButton* BtnOpenDir;
    QPushButton* BtnDetails;  // hidden while there is no failure to list

signals:
    void StopRequested();

public slots:
    // Escape: ignored while BtnClose is disabled, otherwise the same as BtnClose: a stop while
    // the batch runs, a close after it.
    void reject() override;

protected:
    // The window manager's close: ignored while BtnClose is disabled, otherwise BtnClose, as
    // Escape.
    // A close by the program itself, as when the application quits, is let through.
    void closeEvent(QCloseEvent* event) override;
    // Keeps the window usable while its owner is disabled during a batch; retranslates on
    // QEvent::LanguageChange.
    void changeEvent(QEvent* event) override;
    // Centres the window on its owner every time it is shown.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CreateControls();
    void FormCreate();
    // The caption and the buttons in the current language; the status and note lines keep the
    // language they were written in until the next ones.
    void RetranslateUi();

    // Written once by the worker after its last picture and read by BtnOpenDirClick only,
    // which the completion handler enables after the worker has ended, so the thread end
    // orders the two and no lock is needed.
    std::string SaveDir;
    QString StatusText;
    std::size_t CaptionPicture = 0; // SetCaptionPosition's, for RetranslateUi
    std::size_t CaptionCount = 0;
    bool StopOffered = false;
    bool Stopping = false;
    QStringList FailureLines;
    QList<StatusNote> Notes;
    QList<QLabel*> NoteLabels;  // made as more lines are needed, hidden while not
    FailureListWindow* FormFailures = nullptr;  // made at the first look at the list
};

} // namespace gustara
