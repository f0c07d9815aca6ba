#include "progress/UnitStatus.h"

#include "progress/FailureList.h"
#include "rules/Messages.h"
#include "shared/AppText.h"
#include "shared/DesktopOpener.h"
#include "shared/LocalPaths.h"
#include "shared/OwnedWindow.h"
#include "shared/Placement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace gustara {

namespace {

constexpr int kClientWidth = 395;
constexpr int kClientHeight = 86;

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
    setWindowTitle(QString::fromUtf8(kStatusWindowCaption));
    setFixedSize(kClientWidth, kClientHeight);

    LabelStatus = Place(new QLabel(this), "LabelStatus", 8, 36, 377, 12);
    LabelStatus->setAlignment(Qt::AlignCenter);
    LabelStatus->setWordWrap(false);
    ProgressBarStatus = Place(new QProgressBar(this), "ProgressBarStatus", 8, 12, 377, 17);
    ProgressBarStatus->setTextVisible(false);
    SetProgressRange(0, 100);
    BtnClose = Place(new QPushButton(QString::fromUtf8(kCloseCaption), this), "BtnClose", 204, 55, 75, 25);
    BtnOpenDir = Place(new QPushButton(QStringLiteral("保存先を開く"), this), "BtnOpenDir", 116, 55, 75, 25);
    // To the right of the two, in the space that their centred pair leaves.
    BtnDetails = Place(new QPushButton(QString::fromUtf8(kDetailsCaption), this), "BtnDetails", 292, 55, 75, 25);
    BtnDetails->hide();
    setTabOrder(BtnClose, BtnOpenDir);
    setTabOrder(BtnOpenDir, BtnDetails);

    connect(BtnClose, &QPushButton::clicked, this, &TFormStatus::BtnCloseClick);
    connect(BtnOpenDir, &QPushButton::clicked, this, &TFormStatus::BtnOpenDirClick);
    connect(BtnDetails, &QPushButton::clicked, this, &TFormStatus::BtnDetailsClick);
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
    StatusText = text;
    const QString shown = LabelStatus->fontMetrics().elidedText(text, Qt::ElideMiddle, LabelStatus->width());
    LabelStatus->setText(shown);
    LabelStatus->setToolTip(shown == text ? QString() : text);
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
    BtnClose->setText(QString::fromUtf8(offered ? kStopCaption : kCloseCaption));
    BtnClose->setEnabled(offered);
}

void TFormStatus::SetFailureList(const QStringList& lines)
{
    FailureLines = lines;
    BtnDetails->setVisible(!lines.isEmpty());
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
    ShowFailureList(*this, FailureLines);
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

void TFormStatus::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Disabling a widget disables its child windows too, but the owner stays disabled for
    // the whole batch and this window is how it ends; only an explicit disable counts.
    if (event->type() == QEvent::EnabledChange && !isEnabled() && !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(true);
}

} // namespace gustara
