#include "about/UnitAbout.h"

#include "about/AboutLink.h"
#include "about/FoodPicture.h"
#include "rules/Version.h"
#include "shared/AppText.h"
#include "shared/DesktopOpener.h"
#include "shared/OwnedWindow.h"
#include "shared/Placement.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace gustara {

namespace {

constexpr int kClientWidth = 397;
constexpr int kClientHeight = 101;
// Between a label that outgrows the window and the window's right edge.
constexpr int kMargin = 8;

} // namespace

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(nullptr)
{
    AttachToOwner(*this, parent,
                  Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowCloseButtonHint);
    CreateControls();
}

void TFormAbout::CreateControls()
{
    setObjectName(QStringLiteral("FormAbout"));
    setFixedSize(kClientWidth, kClientHeight);

    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(MakeFoodPicture()));
    ImageIco = Place(picture, "ImageIco", 8, 8);

    lblSoftTitle = Place(new QLabel(this), "lblSoftTitle", 96, 16);
    // Only the size is set, so the family still comes from the window.
    QFont titleFont;
    titleFont.setPixelSize(16);
    lblSoftTitle->setFont(titleFont);

    lblSoftVer = Place(new QLabel(this), "lblSoftVer", 304, 40);
    lblURL = Place(new QLabel(this), "lblURL", 189, 64);
    QFont linkFont;
    linkFont.setUnderline(true);
    lblURL->setFont(linkFont);
    QPalette linkPalette = lblURL->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    lblURL->setPalette(linkPalette);
    lblURL->setCursor(Qt::PointingHandCursor);
    lblURL->installEventFilter(this);
    RetranslateUi();
}

void TFormAbout::RetranslateUi()
{
    setWindowTitle(UiText(Message::AboutWindowCaption));
    lblSoftTitle->setText(UiText(Message::AboutTitle));
    // "ver.1.00" for version 1.0.x: the minor version in two digits, the patch level not shown.
    lblSoftVer->setText(UiText(Message::AboutVersion).arg(kVersionMajor).arg(kVersionMinor, 2, 10, QLatin1Char('0')));
    const AboutLink link = BuiltAboutLink();
    linkTarget = link.target;
    lblURL->setText(link.text);
    lblURL->setToolTip(link.target.toDisplayString(QUrl::PreferLocalFile));
    // Each label takes the size of its text where it stands; the window grows to hold them.
    int right = 0;
    for (QLabel* label : {lblSoftTitle, lblSoftVer, lblURL}) {
        label->adjustSize();
        right = std::max(right, label->geometry().right() + 1);
    }
    setFixedSize(std::max(kClientWidth, right + kMargin), kClientHeight);
}

void TFormAbout::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
}

void TFormAbout::lblURLClick()
{
    OpenOnDesktop(linkTarget);
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblURL && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && lblURL->rect().contains(mouse->position().toPoint())) {
            lblURLClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace gustara
