#include "about/UnitAbout.h"

#include "about/AboutLink.h"
#include "about/FoodPicture.h"
#include "rules/Version.h"
#include "shared/AppText.h"
#include "shared/OwnedWindow.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

#include <utility>

namespace gustara {

namespace {

constexpr int kClientWidth = 397;
constexpr int kClientHeight = 101;

void OpenUrlOnDesktop(const QUrl& address)
{
    QDesktopServices::openUrl(address);
}

std::function<void(const QUrl&)>& UrlOpener()
{
    static std::function<void(const QUrl&)> opener = OpenUrlOnDesktop;
    return opener;
}

// A label that takes the size of its text at the given top-left corner.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    return label;
}

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

    ImageIco = new QLabel(this);
    ImageIco->setObjectName(QStringLiteral("ImageIco"));
    const QPixmap picture = QPixmap::fromImage(MakeFoodPicture());
    ImageIco->setPixmap(picture);
    ImageIco->setGeometry(8, 8, picture.width(), picture.height());

    lblSoftTitle = MakeLabel(this, "lblSoftTitle", QStringLiteral("料理画像を美味しそうに加工するソフト"), 96, 16);
    // Only the size is set, so the family still comes from the window.
    QFont titleFont;
    titleFont.setPixelSize(16);
    lblSoftTitle->setFont(titleFont);

    // "ver.1.00" for version 1.0.x: the minor version in two digits, the patch level not shown.
    const QString version =
        QStringLiteral("ver.%1.%2").arg(kVersionMajor).arg(kVersionMinor, 2, 10, QLatin1Char('0'));
    lblSoftVer = MakeLabel(this, "lblSoftVer", version, 304, 40);

    const AboutLink link = BuiltAboutLink();
    linkTarget = link.target;
    lblURL = MakeLabel(this, "lblURL", link.text, 189, 64);
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
    UrlOpener()(linkTarget);
}

void TFormAbout::SetUrlOpenerForTesting(std::function<void(const QUrl& address)> opener)
{
    UrlOpener() = opener ? std::move(opener) : OpenUrlOnDesktop;
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
