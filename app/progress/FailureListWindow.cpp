#include "progress/FailureListWindow.h"

#include "rules/Messages.h"
#include "shared/AppText.h"
#include "shared/OwnedWindow.h"
#include "shared/Placement.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace gustara {

namespace {

// Between the two windows' frames.
constexpr int kGap = 8;
constexpr QSize kPreferredSize(480, 200);

} // namespace

FailureListWindow::FailureListWindow(QWidget& owner)
{
    AttachToOwner(*this, &owner, Qt::Dialog);
    setObjectName(QStringLiteral("FormFailures"));
    resize(kPreferredSize);

    Lines = new QPlainTextEdit(this);
    Lines->setObjectName(QStringLiteral("FailureLines"));
    // Read-only, but the reports can still be selected and copied.
    Lines->setReadOnly(true);
    Lines->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* buttons = new QDialogButtonBox(this);
    CloseButton = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    CloseButton->setObjectName(QStringLiteral("FailureListClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Lines);
    layout->addWidget(buttons);
    RetranslateUi();
}

void FailureListWindow::SetLines(const QStringList& lines)
{
    Lines->setPlainText(lines.join(QLatin1Char('\n')));
}

void FailureListWindow::RetranslateUi()
{
    setWindowTitle(UiText(Message::PicturesToCheck));
    CloseButton->setText(UiText(Message::CloseButton));
}

void FailureListWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
}

void FailureListWindow::ShowBeside(const QStringList& lines, const QWidget& neighbour)
{
    SetLines(lines);
    // Before its first showing this window's frame is not known yet: the neighbour's, a
    // window of the same kind, stands in for it.
    const QRect next = neighbour.frameGeometry();
    const QSize frame = next.size() - neighbour.size();
    if (const QScreen* screen = neighbour.screen()) {
        const QRect placed = BesideWithin(next, kPreferredSize + frame, minimumSizeHint() + frame,
                                          screen->availableGeometry(), kGap);
        resize(placed.size() - frame);
        move(placed.topLeft());
    }
    show();
    raise();
    activateWindow();
}

} // namespace gustara
