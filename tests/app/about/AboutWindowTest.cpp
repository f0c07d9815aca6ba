#include "WindowTestSupport.h"
#include "about/AboutLink.h"
#include "about/FoodPicture.h"
#include "about/UnitAbout.h"
#include "main/UnitMain.h"
#include "progress/UnitStatus.h"
#include "shared/DesktopOpener.h"

#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QUrl>

using gustara::TFormAbout;

class AboutWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gustara::SetDesktopOpenerForTesting({}); }

    void windowIsAFixedDialogWithACloseBoxOnly();
    void showsThePictureTitleVersionAndAddress();
    void labelsTakeTheSizeOfTheirText();
    void clickingTheAddressOpensIt();
    void linkIsTheHomepageElseTheInstalledReadme_data();
    void linkIsTheHomepageElseTheInstalledReadme();
    void linkOfThisBuildLeadsToSomethingReal();
    void theMenuShowsTheSameWindowEachTime();
};

void AboutWindowTest::windowIsAFixedDialogWithACloseBoxOnly()
{
    TFormAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("このソフトについて"));
    QCOMPARE(about.minimumSize(), QSize(397, 101));
    QCOMPARE(about.maximumSize(), QSize(397, 101));
    const Qt::WindowFlags flags = about.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    for (Qt::WindowType button :
         {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint})
        QVERIFY(!flags.testFlag(button));
    QVERIFY(about.isHidden());
}

void AboutWindowTest::showsThePictureTitleVersionAndAddress()
{
    TFormAbout about;
    QCOMPARE(about.ImageIco->geometry(), QRect(8, 8, 76, 76));
    const QImage expected = gustara::MakeFoodPicture();
    QCOMPARE(about.ImageIco->pixmap().toImage().convertToFormat(expected.format()), expected);

    QCOMPARE(about.lblSoftTitle->text(), QStringLiteral("料理画像を美味しそうに加工するソフト"));
    QCOMPARE(about.lblSoftTitle->pos(), QPoint(96, 16));
    QCOMPARE(about.lblSoftTitle->font().pixelSize(), 16);
    QCOMPARE(about.lblSoftVer->text(), QStringLiteral("ver.1.00"));
    QCOMPARE(about.lblSoftVer->pos(), QPoint(304, 40));

    QCOMPARE(about.lblURL->text(), gustara::BuiltAboutLink().text);
    QCOMPARE(about.lblURL->pos(), QPoint(189, 64));
    QVERIFY(about.lblURL->font().underline());
    QCOMPARE(about.lblURL->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(about.lblURL->cursor().shape(), Qt::PointingHandCursor);
}

void AboutWindowTest::labelsTakeTheSizeOfTheirText()
{
    QWidget owner;
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    owner.setFont(font);
    TFormAbout about(&owner);
    QCOMPARE(about.lblSoftVer->font().family(), font.family());
    QCOMPARE(about.lblSoftTitle->font().family(), font.family());
    for (QLabel* label : {about.lblSoftTitle, about.lblSoftVer, about.lblURL}) {
        QCOMPARE(label->size(), label->sizeHint());
        QVERIFY2(label->geometry().right() < about.width(), qPrintable(label->objectName()));
    }
}

void AboutWindowTest::clickingTheAddressOpensIt()
{
    std::vector<QUrl> opened;
    gustara::SetDesktopOpenerForTesting([&opened](const QUrl& address) {
        opened.push_back(address);
        return true;
    });
    TFormAbout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));

    QTest::mouseClick(about.lblURL, Qt::RightButton);
    QTest::mouseClick(about.lblSoftTitle, Qt::LeftButton);
    QVERIFY(opened.empty());
    QTest::mouseClick(about.lblURL, Qt::LeftButton);
    QCOMPARE(opened, std::vector<QUrl>{gustara::BuiltAboutLink().target});
}

void AboutWindowTest::linkIsTheHomepageElseTheInstalledReadme_data()
{
    QTest::addColumn<QString>("homepage");
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QUrl>("target");
    const QString site = QStringLiteral("https://gustara.example.org/");
    const QString readme = QStringLiteral("説明書 (README)");
    QTest::newRow("homepage") << site << QStringLiteral("/usr/bin") << site << QUrl(site);
    QTest::newRow("package") << QString() << QStringLiteral("/usr/bin") << readme
                             << QUrl(QStringLiteral("file:///usr/share/doc/gustara/README.md"));
    QTest::newRow("other prefix") << QString() << QStringLiteral("/opt/g/bin/") << readme
                                  << QUrl(QStringLiteral("file:///opt/g/share/doc/gustara/README.md"));
    QTest::newRow("spaces") << QString() << QStringLiteral("/home/a b/.local/bin") << readme
                            << QUrl::fromLocalFile(QStringLiteral("/home/a b/.local/share/doc/gustara/README.md"));
}

void AboutWindowTest::linkIsTheHomepageElseTheInstalledReadme()
{
    QFETCH(QString, homepage);
    QFETCH(QString, programFolder);
    const gustara::AboutLink link = gustara::ChooseAboutLink(homepage, programFolder);
    QTEST(link.text, "text");
    QTEST(link.target, "target");
}

void AboutWindowTest::linkOfThisBuildLeadsToSomethingReal()
{
    // The build tree holds a copy of the README where an installation has it.
    const QUrl target = gustara::BuiltAboutLink().target;
    if (target.isLocalFile())
        QVERIFY2(QFileInfo(target.toLocalFile()).isFile(), qPrintable(target.toString()));
    else
        QCOMPARE(target.scheme(), QStringLiteral("https"));
}

void AboutWindowTest::theMenuShowsTheSameWindowEachTime()
{
    gustara::test::ConfigHome home;
    gustara::TFormMain form;
    gustara::TFormStatus status(&form);
    TFormAbout about(&form);
    form.AttachWindows(status, about);
    form.show();

    for (int showing = 0; showing < 2; ++showing) {
        QWidget* shown = nullptr;
        QString title;
        // The window's close box is how the user leaves it.
        QTimer::singleShot(0, [&] {
            shown = QApplication::activeModalWidget();
            title = about.lblSoftTitle->text();
            about.close();
        });
        form.A1Click();
        QCOMPARE(shown, static_cast<QWidget*>(&about));
        QCOMPARE(title, QStringLiteral("料理画像を美味しそうに加工するソフト"));
        QVERIFY(about.isHidden());
    }
}

QTEST_MAIN(AboutWindowTest)
#include "AboutWindowTest.moc"
