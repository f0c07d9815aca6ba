#pragma once

#include "compare/CompareGrid.h"
#include "preview/StrengthPreview.h"
#include "read/PictureFormat.h"

#include <QWidget>

#include <array>
#include <functional>

class QGridLayout;
class QLabel;
class QTimer;

namespace gustara {

class CompareCell;
class ComparePreparer;
struct PreparedComparison;

// The comparison window: one picture as it is and at every strength, side by side or two by
// two, whichever shows it larger. Clicking a strength, or its button, emits StrengthChosen and
// closes the window; nothing is written anywhere. Pictures are prepared off the user-interface
// thread; a picture dropped on the window or asked for while one is being prepared replaces
// it. A picture that cannot be shown leaves its reason in the window instead. Not modal: the
// owner stays usable. Everything here runs on the user-interface thread.
class ComparisonWindow : public QWidget {
    Q_OBJECT
public:
    // `takenFormats` tells, at each picture, whether HEIC, HEIF, AVIF and WebP are taken in, as
    // the owner's drop does. The strengths are captioned as the main window's choices. The
    // window is a window of `owner` and hidden until a picture is asked for.
    ComparisonWindow(QWidget* owner, std::function<MoreFormats()> takenFormats);
    ~ComparisonWindow() override;

    // Shows the window and starts preparing the picture at `path` (bytes, as the file system
    // names it; names that are not UTF-8 are shown with their bad bytes replaced). The
    // previous picture's cells are emptied and cannot be chosen until the new one is ready.
    void ShowPicture(const std::string& path);

    QLabel* LblPicture;  // the picture's name, what is being done, or why nothing is shown
    // Original, then kCompareLevels; on screen the strengths stand as the main window's
    // choices do, the strongest first.
    std::array<CompareCell*, 1 + kCompareLevels.size()> Cells;

signals:
    // A strength (1, 2 or 3) was chosen; the window closes right after.
    void StrengthChosen(int level);
    // A prepared picture or its reason is now on show.
    void PictureShown();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Escape closes the window, as in a dialog.
    void keyPressEvent(QKeyEvent* event) override;
    // Retranslates on QEvent::LanguageChange; the line above the pictures keeps its language
    // until the next picture.
    void changeEvent(QEvent* event) override;

private:
    void CreateControls();
    // The caption and the cells' texts in the current language, the least size with them.
    void RetranslateUi();
    // `note` stays under the picture's name until the next picture.
    void ShowPictureWithNote(const std::string& path, const QString& note);
    void SetLabel(const QString& text);
    void ShowPrepared(const PreparedComparison& result);
    void ShowProblem(const QString& problem);
    void Prepare();
    // The arrangement for the window's present size and picture.
    CompareGrid CurrentGrid() const;
    void Arrange(const CompareGrid& grid);
    // After a resize: the pictures prepared for smaller cells are prepared again.
    void PrepareAgainWhenGrown();
    void Choose(int level);

    ComparePreparer* Preparer;
    QWidget* CellArea;
    QGridLayout* Grid;
    QTimer* ResizeSettled;
    std::string PicturePath;
    QString Note;
    std::function<MoreFormats()> TakenFormats;
    QSize ShownSource;  // of the picture on show; empty while there is none
    int Columns = 0;
};

} // namespace gustara
