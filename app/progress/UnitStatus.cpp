#include "progress/UnitStatus.h"

#include "progress/FailureListWindow.h"
#include "rules/Messages.h"
#include "shared/AppText.h"
#include "shared/DesktopOpener.h"
#include "shared/LocalPaths.h"
#include "shared/OwnedWindow.h"
#include "shared/Placement.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <optional>
#include <utility>

namespace gustara {

namespace {

constexpr int kClientWidth = 395;
constexpr int kClientHeight = 86;
constexpr int kButtonTop = 55;
// A note line of the 12-pixel font and the gap above it.
constexpr int kNoteLineStep = 16;
// Between a button's caption and each of its sides.
constexpr int kCaptionPadding = 6;
const QString kEllipsis(QChar(0x2026));

// Where the name stands in a picture's report ("[name]を処理しています", "[name]の処理に失敗しました:
// reason"): the first and one-past-last index, or nothing for another text.
std::optional<std::pair<qsizetype, qsizetype>> NameSpan(const QString& text)
{
    for (const Message report : {Message::Processing, Message::FailedPicture}) {
        const QString pattern = QString::fromUtf8(Text(report));
        const qsizetype at = pattern.indexOf(QLatin1String("%1"));
        const QString before = pattern.left(at);
        const qsizetype end = text.lastIndexOf(pattern.mid(at + 2));
        if (text.startsWith(before) && end >= before.size())
            return std::pair(before.size(), end);
    }
    return std::nullopt;
}

// The text as it fits into `width` pixels on one line. A text that names pictures gives up the
// middle of the names first, so the join of name and reason and the reason itself stay
// readable; any other text, or one whose rest alone is too wide, loses its own middle.
QString FitOnOneLine(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    if (const auto span = NameSpan(text)) {
        const auto [first, last] = *span;
        const QString rest = text.left(first) + text.mid(last);
        const int room = width - metrics.horizontalAdvance(rest);
        if (room >= metrics.horizontalAdvance(kEllipsis))
            return text.left(first) + metrics.elidedText(text.mid(first, last - first), Qt::ElideMiddle, room)
                + text.mid(last);
    }
    return metrics.elidedText(text, Qt::ElideMiddle, width);
}

// `names` joined by ", " within `room` pixels. Names narrower than an even share keep all of
// it; the others share the rest and are elided in their own middles, so no two read as one.
// Where even that leaves too little of each, the last names give way to one "…".
QString FitNames(const QStringList& names, const QFontMetrics& metrics, int room)
{
    const QString separator = QStringLiteral(", ");
    const int separatorWidth = metrics.horizontalAdvance(separator);
    // A name elided further than this would say nothing.
    const int least = metrics.horizontalAdvance(QStringLiteral("abcd")) * 2 + metrics.horizontalAdvance(kEllipsis);
    for (qsizetype shown = names.size(); shown > 0; --shown) {
        const bool more = shown < names.size();
        int left = room - separatorWidth * (shown - 1);
        if (more)
            left -= separatorWidth + metrics.horizontalAdvance(kEllipsis);
        QList<int> widths;
        for (qsizetype i = 0; i < shown; ++i)
            widths.push_back(metrics.horizontalAdvance(names[i]));
        QList<int> sorted = widths;
        std::sort(sorted.begin(), sorted.end());
        qsizetype sharing = shown;
        for (const int width : sorted) {
            if (width > left / sharing)
                break;
            left -= width;
            --sharing;
        }
        const int share = sharing > 0 ? left / sharing : 0;
        if (sharing > 0 && share < least && shown > 1)
            continue;
        QStringList fitted;
        for (qsizetype i = 0; i < shown; ++i)
            fitted.push_back(widths[i] <= share || sharing == 0 ? names[i]
                                                                : metrics.elidedText(names[i], Qt::ElideMiddle, share));
        if (more)
            fitted.push_back(kEllipsis);
        return fitted.join(separator);
    }
    return kEllipsis;
}

// The note as it fits into `width` pixels on one line: its names, or else its text, elided.
QString FitNote(const StatusNote& note, const QFontMetrics& metrics, int width)
{
    if (note.names.isEmpty())
        return FitOnOneLine(note.text, metrics, width);
    const qsizetype at = note.text.indexOf(QLatin1String("%1"));
    const QString before = note.text.left(at);
    const QString after = note.text.mid(at + 2);
    const int room = width - metrics.horizontalAdvance(before + after);
    return before + FitNames(note.names, metrics, room) + after;
}

QString WholeNote(const StatusNote& note)
{
    return note.names.isEmpty() ? note.text : note.text.arg(note.names.join(QStringLiteral(", ")));
}

} // namespace

TFormStatus::TFormStatus(QWidget* parent)
    : QDialog(nullptr)
{
    // No title-bar buttons: BtnClose, enabled when the batch has ended, is the way out.
    AttachToOwner(*this, parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    CreateControls();
    FormCreate();
}

void TFormStatus::CreateControls()
{
    setObjectName(QStringLiteral("FormStatus"));
    setFixedSize(kClientWidth, kClientHeight);

    LabelStatus = Place(new QLabel(this), "LabelStatus", 8, 36, 377, 12);
    LabelStatus->setAlignment(Qt::AlignCenter);
    LabelStatus->setWordWrap(false);
    SetKeepsItsWidth(*LabelStatus);
    ProgressBarStatus = Place(new QProgressBar(this), "ProgressBarStatus", 8, 12, 377, 17);
    ProgressBarStatus->setTextVisible(false);
    SetProgressRange(0, 100);
    BtnClose = Place(new QPushButton(this), "BtnClose", 204, kButtonTop, 75, 25);
    BtnOpenDir = Place(new QPushButton(this), "BtnOpenDir", 116, kButtonTop, 75, 25);
    // To the right of the two, in the space that their centred pair leaves.
    BtnDetails = Place(new QPushButton(this), "BtnDetails", 292, kButtonTop, 75, 25);
    BtnDetails->hide();
    RetranslateUi();
    setTabOrder(BtnClose, BtnOpenDir);
    setTabOrder(BtnOpenDir, BtnDetails);

    connect(BtnClose, &QPushButton::clicked, this, &TFormStatus::BtnCloseClick);
    connect(BtnOpenDir, &QPushButton::clicked, this, &TFormStatus::BtnOpenDirClick);
    connect(BtnDetails, &QPushButton::clicked, this, &TFormStatus::BtnDetailsClick);
}

void TFormStatus::RetranslateUi()
{
    SetCaptionPosition(CaptionPicture, CaptionCount);
    BtnClose->setText(UiText(StopOffered ? Message::StopButton : Message::CloseButton));
    BtnDetails->setText(UiText(Message::DetailsButton));
    BtnOpenDir->setText(UiText(Message::OpenSaveDirButton));
    // Widened to the left, where its caption would touch its edges, so that 閉じる keeps its place.
    const int openWidth =
        std::max(75, BtnOpenDir->fontMetrics().horizontalAdvance(BtnOpenDir->text()) + 2 * kCaptionPadding);
    BtnOpenDir->setGeometry(191 - openWidth, BtnOpenDir->y(), openWidth, 25);
}

void TFormStatus::FormCreate()
{
    LabelStatus->clear();
}

void TFormStatus::SetProgressRange(int32_t min, int32_t max)
{
    ProgressBarStatus->setMinimum(min);
    ProgressBarStatus->setMaximum(max);
    ProgressBarStatus->setValue(min);
}

void TFormStatus::SetProgress(int32_t position)
{
    // The bar would ignore a position outside its range; the nearest end is shown instead.
    ProgressBarStatus->setValue(std::clamp(position, ProgressBarStatus->minimum(), ProgressBarStatus->maximum()));
}

void TFormStatus::SetStatusText(const QString& text)
{
    if (Stopping)
        return;
    StatusText = text;
    const QString shown = FitOnOneLine(text, LabelStatus->fontMetrics(), LabelStatus->width());
    LabelStatus->setText(shown);
    LabelStatus->setToolTip(shown == text ? QString() : text);
}

void TFormStatus::SetStatusNotes(const QList<StatusNote>& notes)
{
    Notes = notes;
    while (NoteLabels.size() < notes.size()) {
        auto* label = new QLabel(this);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(false);
        SetKeepsItsWidth(*label);
        NoteLabels.push_back(label);
    }
    const QRect status = LabelStatus->geometry();
    for (qsizetype i = 0; i < NoteLabels.size(); ++i) {
        QLabel* label = NoteLabels[i];
        label->setVisible(i < notes.size());
        if (i >= notes.size())
            continue;
        label->setGeometry(status.translated(0, kNoteLineStep * static_cast<int>(i + 1)));
        const QString shown = FitNote(notes[i], label->fontMetrics(), label->width());
        const QString whole = WholeNote(notes[i]);
        label->setText(shown);
        label->setToolTip(shown == whole ? QString() : whole);
    }
    const int grown = kNoteLineStep * static_cast<int>(notes.size());
    setFixedSize(kClientWidth, kClientHeight + grown);
    for (QPushButton* button : {BtnClose, BtnOpenDir, BtnDetails})
        button->move(button->x(), kButtonTop + grown);
}

QStringList TFormStatus::StatusNoteTexts() const
{
    QStringList texts;
    for (const StatusNote& note : Notes)
        texts.push_back(WholeNote(note));
    return texts;
}

void TFormStatus::ShowStopping()
{
    SetStatusText(QString::fromUtf8(Text(Message::Stopping)));
    Stopping = true;
}

void TFormStatus::SetCaptionPosition(std::size_t picture, std::size_t count)
{
    CaptionPicture = picture;
    CaptionCount = count;
    setWindowTitle(count == 0 ? UiText(Message::StatusWindowCaption)
                              : QString::fromStdString(
                                  Format(Message::ProgressCaption, {std::to_string(picture), std::to_string(count)})));
}

void TFormStatus::SetCloseEnabled(bool enabled)
{
    BtnClose->setEnabled(enabled);
}

void TFormStatus::SetOpenDirEnabled(bool enabled)
{
    BtnOpenDir->setEnabled(enabled);
}

void TFormStatus::OfferStop(bool offered)
{
    StopOffered = offered;
    Stopping = false;
    BtnClose->setText(UiText(offered ? Message::StopButton : Message::CloseButton));
    BtnClose->setEnabled(offered);
}

void TFormStatus::SetFailureList(const QStringList& lines)
{
    FailureLines = lines;
    BtnDetails->setVisible(!lines.isEmpty());
    if (FormFailures && lines.isEmpty())
        FormFailures->hide();
    else if (FormFailures)
        FormFailures->SetLines(lines);
}

void TFormStatus::SetSaveDir(const std::string& folder)
{
    SaveDir = folder;
}

std::string TFormStatus::GetSaveDir() const
{
    return SaveDir;
}

void TFormStatus::BtnCloseClick()
{
    if (StopOffered) {
        BtnClose->setEnabled(false);
        emit StopRequested();
        return;
    }
    hide();
    if (QWidget* owner = parentWidget()) {
        owner->setEnabled(true);
        owner->raise();
        owner->activateWindow();
    }
}

void TFormStatus::BtnOpenDirClick()
{
    // Without a file manager or xdg-open the button would seem to do nothing.
    if (!OpenOnDesktop(LocalFileUrl(SaveDir)))
        SetStatusText(QString::fromUtf8(Text(Message::CannotOpenSaveDir)));
}

void TFormStatus::BtnDetailsClick()
{
    if (!FormFailures)
        FormFailures = new FailureListWindow(*this);
    FormFailures->ShowBeside(FailureLines, *this);
}

void TFormStatus::reject()
{
    if (BtnClose->isEnabled())
        BtnCloseClick();
}

void TFormStatus::closeEvent(QCloseEvent* event)
{
    // Closes that the program asks for, such as when the application quits, always pass.
    if (!event->spontaneous()) {
        event->accept();
        return;
    }
    // BtnCloseClick hides the window itself; letting the event through would close it
    // without giving the owner back.
    event->ignore();
    if (BtnClose->isEnabled())
        BtnCloseClick();
}

void TFormStatus::showEvent(QShowEvent* event)
{
    // Qt centres a dialog on its owner only when first shown, and then by a frame that it can
    // only guess while the owner is still being mapped (a start with pictures named): the
    // window is placed by the owner's inner area each time instead, the frame left to the
    // window manager.
    if (const QWidget* owner = parentWidget())
        setGeometry(QRect(owner->geometry().center() - rect().center(), size()));
    QDialog::showEvent(event);
}

void TFormStatus::hideEvent(QHideEvent* event)
{
    // The list belongs to the batch that this window showed.
    if (FormFailures)
        FormFailures->hide();
    QDialog::hideEvent(event);
}

void TFormStatus::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
    // Disabling a widget disables its child windows too, but the owner stays disabled for
    // the whole batch and this window is how it ends; only an explicit disable counts.
    if (event->type() == QEvent::EnabledChange && !isEnabled() && !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(true);
}

} // namespace gustara
