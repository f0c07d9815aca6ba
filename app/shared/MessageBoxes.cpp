#include "shared/MessageBoxes.h"

#include "shared/AppText.h"

#include <QMessageBox>

namespace gustara {

namespace {

void ShowBox(QWidget* parent, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, UiText(Message::ApplicationTitle), text, QMessageBox::Ok, parent);
    // File names in a message may look like markup; they are shown as they are.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text)
{
    ShowBox(parent, text, QMessageBox::NoIcon);
}

void ShowErrorMessage(QWidget* parent, const QString& text)
{
    ShowBox(parent, text, QMessageBox::Critical);
}

} // namespace gustara
