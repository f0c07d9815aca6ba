// The main window's way into the comparison window: the menu item, the open dialog, and the
// strength that the comparison chooses.

#include "main/UnitMain.h"

#include "compare/ComparisonWindow.h"
#include "shared/AppText.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QRadioButton>

namespace gustara {

namespace {

constexpr QSize kDefaultCompareWindowSize(1000, 440);

} // namespace

void TFormMain::CreateCompareItem()
{
    ActCompare = new QAction(this);
    ActCompare->setObjectName(QStringLiteral("ActCompare"));
    ActCompare->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    FileMenu->addAction(ActCompare);
    connect(ActCompare, &QAction::triggered, this, &TFormMain::CompareClick);
}

void TFormMain::CompareClick()
{
    const QString path =
        QFileDialog::getOpenFileName(this, UiText(Message::DialogCompare), QString(), PictureDialogFilter());
    if (!path.isEmpty())
        CompareWindow().ShowPicture(path.toStdString());
}

ComparisonWindow& TFormMain::CompareWindow()
{
    if (!FormCompare) {
        FormCompare = new ComparisonWindow(this, [this] { return TakenFormats(); });
        const auto kept = KeptCompareSize(Kept);
        FormCompare->resize(kept ? QSize(kept->first, kept->second) : kDefaultCompareWindowSize);
        connect(FormCompare, &ComparisonWindow::StrengthChosen, this, &TFormMain::SetFlavourLevel);
    }
    return *FormCompare;
}

void TFormMain::SetFlavourLevel(int level)
{
    StrengthChoice(level)->setChecked(true);
}

} // namespace gustara
