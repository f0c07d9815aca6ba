#include "compare/ComparisonWindow.h"

#include "compare/CompareCell.h"
#include "compare/ComparePreparer.h"
#include "rules/DisplayText.h"
#include "rules/DropRules.h"
#include "rules/Messages.h"
#include "rules/PathParts.h"
#include "shared/AppText.h"
#include "shared/LocalPaths.h"
#include "shared/OwnedWindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QUrl>

#include <utility>

namespace gustara {

namespace {

constexpr int kCellSpacing = 8;
// A resize is taken as done when the size has not changed for this long.
constexpr int kResizeSettleMs = 250;

// The cells from left to right (or in reading order): the original, then the strengths as
// the main window's choices stand, the strongest first.
static_assert(kCompareLevels == std::array{1, 2, 3});
constexpr std::array<std::size_t, 1 + kCompareLevels.size()> kCellsInOrder = {0, 3, 2, 1};

std::string NameOf(const std::string& path)
{
    return ForDisplay(NamePart(path));
}

} // namespace

ComparisonWindow::ComparisonWindow(QWidget* owner, std::function<MoreFormats()> takenFormats)
    : Preparer(new ComparePreparer(this))
    , TakenFormats(std::move(takenFormats))
{
    AttachToOwner(*this, owner, Qt::Window);
    setObjectName(QStringLiteral("FormCompare"));
    setAcceptDrops(true);
    CreateControls();
    RetranslateUi();
    ResizeSettled = new QTimer(this);
    ResizeSettled->setSingleShot(true);
    ResizeSettled->setInterval(kResizeSettleMs);
    connect(ResizeSettled, &QTimer::timeout, this, &ComparisonWindow::Prepare);
    connect(Preparer, &ComparePreparer::Prepared, this, &ComparisonWindow::ShowPrepared);
}

ComparisonWindow::~ComparisonWindow() = default;

void ComparisonWindow::RetranslateUi()
{
    setWindowTitle(UiText(Message::CompareWindowCaption));
    static_assert(kCompareLevels == std::array{1, 2, 3});
    constexpr Message kCaptions[] = {Message::CompareOriginal, Message::StrengthLevel1, Message::StrengthLevel2,
                                     Message::StrengthLevel3};
    for (std::size_t i = 0; i < Cells.size(); ++i)
        Cells[i]->SetTexts(UiText(kCaptions[i]), UiText(Message::CompareChoose));
    // Whole captions and buttons in a row of four cells or in two rows of two, whichever the
    // picture takes; a remembered smaller size is grown to this.
    QSize cell;
    for (const CompareCell* each : Cells)
        cell = cell.expandedTo(each->LeastSize());
    const QMargins margins = layout()->contentsMargins();
    setMinimumSize(margins.left() + margins.right() + 4 * cell.width() + 3 * kCellSpacing,
                   margins.top() + margins.bottom() + LblPicture->fontMetrics().height() + layout()->spacing()
                       + 2 * cell.height() + kCellSpacing);
}

void ComparisonWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
}

void ComparisonWindow::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    LblPicture = new QLabel(this);
    LblPicture->setObjectName(QStringLiteral("LblPicture"));
    LblPicture->setWordWrap(true);
    LblPicture->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(LblPicture, 0, Qt::AlignTop);
    CellArea = new QWidget(this);
    layout->addWidget(CellArea, 1);
    Grid = new QGridLayout(CellArea);
    Grid->setContentsMargins(0, 0, 0, 0);
    Grid->setSpacing(kCellSpacing);

    // Made in screen order, which is also the order of the buttons for the Tab key.
    for (const std::size_t i : kCellsInOrder) {
        const bool original = i == 0;
        Cells[i] = new CompareCell(!original, CellArea);
        if (original)
            continue;
        const int level = kCompareLevels[i - 1];
        connect(Cells[i], &CompareCell::clicked, this, [this, level] { Choose(level); });
        connect(Cells[i]->button(), &QPushButton::clicked, this, [this, level] { Choose(level); });
    }
    Arrange(ChooseCompareGrid(QSize(), QSize(), 0, 0));
}

void ComparisonWindow::ShowPicture(const std::string& path)
{
    ShowPictureWithNote(path, QString());
}

void ComparisonWindow::ShowPictureWithNote(const std::string& path, const QString& note)
{
    PicturePath = path;
    Note = note;
    SetLabel(QString::fromStdString(PictureProcessingMessage(path)));
    // The previous picture's strengths must not be chosen for this one.
    ShownSource = QSize();
    for (CompareCell* cell : Cells)
        cell->SetImage(QImage());
    show();
    raise();
    activateWindow();
    Prepare();
}

void ComparisonWindow::Prepare()
{
    if (PicturePath.empty())
        return;
    // The window's room is measured once it is laid out; the worker gets only values.
    layout()->activate();
    const QSize area = CellArea->size();
    const int captionHeight = Cells[0]->RowsHeight();
    Preparer->Prepare(PicturePath, TakenFormats(), [area, captionHeight](PictureSize shownSource) {
        const CompareGrid grid = ChooseCompareGrid(area, QSize(shownSource.width, shownSource.height), captionHeight,
                                                   kCellSpacing);
        return PictureSize{grid.cell.width(), grid.cell.height()};
    });
}

void ComparisonWindow::ShowPrepared(const PreparedComparison& result)
{
    // A refused drop in the meantime has replaced the picture asked for.
    if (result.path != PicturePath)
        return;
    if (!result.problem.isEmpty()) {
        ShowProblem(result.problem);
    } else {
        ShownSource = result.shownSource;
        SetLabel(QString::fromStdString(NameOf(result.path)));
        CellArea->show();
        for (std::size_t i = 0; i < Cells.size(); ++i)
            Cells[i]->SetImage(result.images[i]);
        Arrange(CurrentGrid());
    }
    emit PictureShown();
}

void ComparisonWindow::ShowProblem(const QString& problem)
{
    ShownSource = QSize();
    QString text = problem;
    SetLabel(text.remove(QLatin1Char('\r')));
    for (CompareCell* cell : Cells)
        cell->SetImage(QImage());
    // Captions without pictures would read as if something were on show.
    CellArea->hide();
}

void ComparisonWindow::SetLabel(const QString& text)
{
    LblPicture->setText(Note.isEmpty() ? text : text + QLatin1Char('\n') + Note);
}

CompareGrid ComparisonWindow::CurrentGrid() const
{
    return ChooseCompareGrid(CellArea->size(), ShownSource, Cells[0]->RowsHeight(), kCellSpacing);
}

void ComparisonWindow::Arrange(const CompareGrid& grid)
{
    if (grid.columns == Columns)
        return;
    Columns = grid.columns;
    for (std::size_t slot = 0; slot < Cells.size(); ++slot) {
        CompareCell* cell = Cells[kCellsInOrder[slot]];
        Grid->removeWidget(cell);
        Grid->addWidget(cell, static_cast<int>(slot) / grid.columns, static_cast<int>(slot) % grid.columns);
    }
    for (int column = 0; column < 4; ++column)
        Grid->setColumnStretch(column, column < grid.columns ? 1 : 0);
    for (int row = 0; row < 2; ++row)
        Grid->setRowStretch(row, row < grid.rows ? 1 : 0);
}

void ComparisonWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (ShownSource.isEmpty())
        return;
    layout()->activate();
    Arrange(CurrentGrid());
    PrepareAgainWhenGrown();
}

void ComparisonWindow::PrepareAgainWhenGrown()
{
    const QSize prepared = Cells[0]->image().size();
    QSize wanted = ShownSource.scaled(CurrentGrid().cell, Qt::KeepAspectRatio).boundedTo(ShownSource);
    if (wanted.width() > prepared.width() || wanted.height() > prepared.height())
        ResizeSettled->start();
}

void ComparisonWindow::Choose(int level)
{
    emit StrengthChosen(level);
    close();
}

void ComparisonWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void ComparisonWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->urls().isEmpty())
        event->acceptProposedAction();
}

void ComparisonWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    // One picture is compared at a time: the first one dropped, saying so when there were more.
    const QUrl& url = urls.front();
    Note = urls.size() > 1 ? QString::fromStdString(Format(Message::CompareFirstOfSeveral, {std::to_string(urls.size())}))
                           : QString();
    if (url.isLocalFile()) {
        ShowPictureWithNote(LocalPathBytes(url), Note);
        return;
    }
    PicturePath.clear();
    ShowProblem(QString::fromStdString(SingleRefusalMessage(url.path().toStdString(), Text(Message::ReasonFormat))));
    emit PictureShown();
}

} // namespace gustara
