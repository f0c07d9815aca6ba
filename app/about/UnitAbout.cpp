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

#include <utility>

namespace gustara {

namespace {

constexpr int kClientWidth = 397;
constexpr int kClientHeight = 101;

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
    setWindowTitle(QString::fromUtf8(kAboutWindowCaption));
    setFixedSize(kClientWidth, kClientHeight);

    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(MakeFoodPicture()));
    ImageIco = Place(picture, "ImageIco", 8, 8);

    lblSoftTitle = Place(new QLabel(QStringLiteral("料理画像を美味しそうに加工するソフト"), this), "lblSoftTitle", 96, 16);
    // Only the size is set, so the family still comes from the window.
    QFont titleFont;
    titleFont.setPixelSize(16);
    lblSoftTitle->setFont(titleFont);

    // "ver.1.00" for version 1.0.x: the minor version in two digits, the patch level not shown.
    const QString version =
        QStringLiteral("ver.%1.%2").arg(kVersionMajor).arg(kVersionMinor, 2, 10, QLatin1Char('0'));
    lblSoftVer = Place(new QLabel(version, this), "lblSoftVer", 304, 40);

    const AboutLink link = BuiltAboutLink();
    linkTarget = link.target;
    lblURL = Place(new QLabel(link.text, this), "lblURL", 189, 64);
    lblURL->setToolTip(link.target.toDisplayString(QUrl::PreferLocalFile));
    QFont linkFont;
    linkFont.setUnderline(true);
    lblURL->setFont(linkFont);
    QPalette linkPalette = lblURL->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    lblURL->setPalette(linkPalette);
    lblURL->setCursor(Qt::PointingHandCursor);
    lblURL->installEventFilter(this);

    for (QLabel* label : {lblSoftTitle, lblSoftVer, lblURL})
        label->adjustSize();
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
