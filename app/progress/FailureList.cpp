#include "progress/FailureList.h"

#include "shared/AppText.h"
#include "shared/OwnedWindow.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace gustara {

namespace {

// Between the two windows' frames.
constexpr int kGap = 8;

} // namespace

TFormFailures::TFormFailures(QWidget& owner)
{
    AttachToOwner(*this, &owner, Qt::Dialog);
    setObjectName(QStringLiteral("FormFailures"));
    setWindowTitle(QString::fromUtf8(kFailureListCaption));
    resize(480, 200);

    Lines = new QPlainTextEdit(this);
    Lines->setObjectName(QStringLiteral("FailureLines"));
    // Read-only, but the reports can still be selected and copied.
    Lines->setReadOnly(true);
    Lines->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8(kCloseCaption), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Lines);
    layout->addWidget(buttons);
}

void TFormFailures::ShowBeside(const QStringList& lines, const QWidget& neighbour)
{
    Lines->setPlainText(lines.join(QLatin1Char('\n')));
    const QRect next = neighbour.frameGeometry();
    QPoint at(next.right() + 1 + kGap, next.top());
    if (const QScreen* screen = neighbour.screen(); screen && at.x() + width() > screen->availableGeometry().right())
        at.setX(next.left() - kGap - frameGeometry().width());
    move(at);
    show();
    raise();
    activateWindow();
}

} // namespace gustara
