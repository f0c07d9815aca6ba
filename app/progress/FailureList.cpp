#include "progress/FailureList.h"

#include "shared/AppText.h"
#include "shared/OwnedWindow.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace gustara {

void ShowFailureList(QWidget& owner, const QStringList& lines)
{
    auto* window = new QDialog;
    AttachToOwner(*window, &owner, Qt::Dialog);
    window->setObjectName(QStringLiteral("FormFailures"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromUtf8(kFailureListCaption));
    window->resize(480, 200);

    auto* list = new QPlainTextEdit(lines.join(QLatin1Char('\n')), window);
    list->setObjectName(QStringLiteral("FailureLines"));
    // Read-only, but the reports can still be selected and copied.
    list->setReadOnly(true);
    list->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* buttons = new QDialogButtonBox(window);
    buttons->addButton(QString::fromUtf8(kCloseCaption), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::reject);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(list);
    layout->addWidget(buttons);
    window->show();
}

} // namespace gustara
