#include "WindowTestSupport.h"
#include "progress/UnitStatus.h"
#include "shared/DesktopOpener.h"

#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

using gustara::TFormStatus;
using gustara::test::CloseFromTheWindowManager;

namespace {

// Leftmost and rightmost columns that hold any pixel darker than the label's background.
std::pair<int, int> InkColumns(QLabel& label)
{
    const QImage image = label.grab().toImage();
    const QRgb background = image.pixel(0, 0);
    int first = image.width();
    int last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) + 40 < qGray(background)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

// The window as the worker leaves it after a batch: shown, the owner disabled.
void ShowAsAfterABatch(QWidget& owner, TFormStatus& status, bool closeEnabled)
{
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    status.SetCloseEnabled(closeEnabled);
    status.show();
    owner.setEnabled(false);
    QVERIFY(QTest::qWaitForWindowExposed(&status));
}

} // namespace

class StatusWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gustara::SetDesktopOpenerForTesting({}); }

    void windowIsAFixedDialogWithoutTitleBarButtons();
    void controlsSitWhereTheLayoutPutsThem_data();
    void controlsSitWhereTheLayoutPutsThem();
    void startsEmptyWithTheBarAtZeroOfAHundred();
    void takesTheOwnersFontAndSitsCentredOnIt();
    void setProgressRangePutsTheBarAtItsMinimum_data();
    void setProgressRangePutsTheBarAtItsMinimum();
    void positionsOutsideTheRangeShowTheNearestEnd_data();
    void positionsOutsideTheRangeShowTheNearestEnd();
    void statusTextIsCentredAndALongOneStaysOnOneLine();
    void notesTakeALineEachAndNameEveryPictureApart_data();
    void notesTakeALineEachAndNameEveryPictureApart();
    void staysUsableWhileTheOwnerIsDisabledAndClosingGivesItBack();
    void escapeAndCloseWaitForTheCloseButtonButTheProgramNeedNot();
    void openDirOpensTheSaveDirAsStored();
    void openDirThatFailsSaysSoOnTheStatusLine();
    void saveDirComesFromTheWorkerThread();
};

void StatusWindowTest::windowIsAFixedDialogWithoutTitleBarButtons()
{
    TFormStatus status;
    QCOMPARE(status.windowTitle(), QStringLiteral("進行状況"));
    QCOMPARE(status.minimumSize(), QSize(395, 86));
    QCOMPARE(status.maximumSize(), QSize(395, 86));
    const Qt::WindowFlags flags = status.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    for (Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                  Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint})
        QVERIFY(!flags.testFlag(button));
    QVERIFY(status.isHidden());
}

void StatusWindowTest::controlsSitWhereTheLayoutPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QString>("caption");
    QTest::newRow("LabelStatus") << "LabelStatus" << QRect(8, 36, 377, 12) << QString();
    QTest::newRow("ProgressBarStatus") << "ProgressBarStatus" << QRect(8, 12, 377, 17) << QString();
    QTest::newRow("BtnClose") << "BtnClose" << QRect(204, 55, 75, 25) << QStringLiteral("閉じる");
    QTest::newRow("BtnOpenDir") << "BtnOpenDir" << QRect(116, 55, 75, 25) << QStringLiteral("保存先を開く");
    QTest::newRow("BtnDetails") << "BtnDetails" << QRect(292, 55, 75, 25) << QStringLiteral("詳細");
}

void StatusWindowTest::controlsSitWhereTheLayoutPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QRect, box);
    QFETCH(QString, caption);
    TFormStatus status;
    auto* control = status.findChild<QWidget*>(name);
    QVERIFY(control);
    // A button whose caption would touch its edges is widened to the left.
    const int wider = control->width() - box.width();
    QCOMPARE(control->geometry().adjusted(wider, 0, 0, 0), box);
    if (auto* button = qobject_cast<QPushButton*>(control))
        QVERIFY(button->text() == caption && wider >= 0 && button->fontMetrics().horizontalAdvance(caption) + 12 <= button->width());
    QCOMPARE(status.BtnClose->nextInFocusChain(), static_cast<QWidget*>(status.BtnOpenDir));
}

void StatusWindowTest::startsEmptyWithTheBarAtZeroOfAHundred()
{
    TFormStatus status;
    QVERIFY(status.LabelStatus->text().isEmpty());
    QCOMPARE(status.ProgressBarStatus->minimum(), 0);
    QCOMPARE(status.ProgressBarStatus->maximum(), 100);
    QCOMPARE(status.ProgressBarStatus->value(), 0);
    QVERIFY(!status.ProgressBarStatus->isTextVisible());
    QVERIFY(status.GetSaveDir().empty());
}

void StatusWindowTest::takesTheOwnersFontAndSitsCentredOnIt()
{
    QWidget owner;
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    owner.setFont(font);
    owner.setGeometry(100, 80, 457, 290);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    TFormStatus status(&owner);
    QCOMPARE(status.LabelStatus->font().family(), font.family());
    QCOMPARE(status.BtnClose->font().pixelSize(), 12);
    // Every batch shows it again, centred on where the owner is by then.
    for (const QPoint ownerAt : {QPoint(100, 80), QPoint(300, 200)}) {
        owner.move(ownerAt);
        status.show();
        QVERIFY(QTest::qWaitForWindowExposed(&status));
        const QPoint offset = status.geometry().center() - owner.geometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("off by %1, %2").arg(offset.x()).arg(offset.y())));
        status.hide();
    }
}

void StatusWindowTest::setProgressRangePutsTheBarAtItsMinimum_data()
{
    QTest::addColumn<int>("oldMax");
    QTest::addColumn<int>("oldPosition");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::newRow("after a batch left the bar at its top") << 4 << 4 << 0 << 24;
    QTest::newRow("a smaller batch after a larger one") << 49 << 49 << 0 << 4;
    QTest::newRow("a range above the old one") << 9 << 9 << 20 << 30;
    QTest::newRow("a negative minimum") << 9 << 5 << -10 << 10;
    QTest::newRow("a one-step range") << 100 << 100 << 0 << 0;
}

void StatusWindowTest::setProgressRangePutsTheBarAtItsMinimum()
{
    QFETCH(int, oldMax);
    QFETCH(int, oldPosition);
    QFETCH(int, min);
    QFETCH(int, max);
    TFormStatus status;
    status.SetProgressRange(0, oldMax);
    status.SetProgress(oldPosition);
    QCOMPARE(status.ProgressBarStatus->value(), oldPosition);

    status.SetProgressRange(min, max);
    QCOMPARE(status.ProgressBarStatus->minimum(), min);
    QCOMPARE(status.ProgressBarStatus->maximum(), max);
    QCOMPARE(status.ProgressBarStatus->value(), min);
}

void StatusWindowTest::positionsOutsideTheRangeShowTheNearestEnd_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("shown");
    QTest::newRow("inside") << 7 << 7;
    QTest::newRow("the top") << 9 << 9;
    QTest::newRow("past the top") << 10 << 9;
    QTest::newRow("below the bottom") << -1 << 0;
}

void StatusWindowTest::positionsOutsideTheRangeShowTheNearestEnd()
{
    QFETCH(int, position);
    QFETCH(int, shown);
    TFormStatus status;
    status.SetProgressRange(0, 9);
    status.SetProgress(position);
    QCOMPARE(status.ProgressBarStatus->value(), shown);
}

void StatusWindowTest::statusTextIsCentredAndALongOneStaysOnOneLine()
{
    TFormStatus status;
    status.show();
    QVERIFY(QTest::qWaitForWindowExposed(&status));
    QLabel& label = *status.LabelStatus;

    status.SetStatusText(QStringLiteral("3枚の画像処理が完了しました"));
    const auto [shortFirst, shortLast] = InkColumns(label);
    QVERIFY(shortFirst > 0 && shortLast < label.width() - 1);
    QVERIFY2(std::abs(shortFirst - (label.width() - 1 - shortLast)) <= 3, "a short text is centred");

    const QString longText = QStringLiteral("[%1.jpg]の処理に失敗しました: 理由").arg(QString(60, QChar(u'料')));
    status.SetStatusText(longText);
    QVERIFY(label.fontMetrics().horizontalAdvance(longText) > label.width());
    QCOMPARE(label.geometry(), QRect(8, 36, 377, 12));
    // Elided in the middle of the name: its ends and the reason stay readable, the whole
    // text is in the tooltip.
    QVERIFY(label.text().startsWith(QStringLiteral("[料")));
    QVERIFY(label.text().endsWith(QStringLiteral(".jpg]の処理に失敗しました: 理由")));
    QVERIFY(label.text().contains(QChar(0x2026)));
    QVERIFY(label.fontMetrics().horizontalAdvance(label.text()) <= label.width());
    QCOMPARE(label.toolTip(), longText);
    QCOMPARE(status.FullStatusText(), longText);

    status.SetStatusText(QStringLiteral("3枚の画像処理が完了しました"));
    QVERIFY2(label.toolTip().isEmpty(), "a text that fits has no tooltip");
}

void StatusWindowTest::notesTakeALineEachAndNameEveryPictureApart_data()
{
    QTest::addColumn<QStringList>("names");  // none: the sizes' note alone
    QTest::newRow("sizes") << QStringList();
    QTest::newRow("twelve long names") << QStringList(12, QStringLiteral("storm-%1-2.jpg").arg(QString(20, 'x')));
}

void StatusWindowTest::notesTakeALineEachAndNameEveryPictureApart()
{
    QFETCH(QStringList, names);
    TFormStatus status;
    QList<gustara::StatusNote> notes = {{QStringLiteral("合計 1.2 MB"), {}}};
    if (!names.isEmpty())
        notes.push_back({QStringLiteral("一部: %1"), names});
    status.SetStatusNotes(notes);
    const int grown = 16 * static_cast<int>(notes.size());
    QCOMPARE(status.size(), QSize(395, 86 + grown));
    QCOMPARE(status.BtnClose->geometry(), QRect(204, 55 + grown, 75, 25));
    const auto* last = status.childAt(200, 42 + grown);
    QVERIFY(last && last->geometry() == QRect(8, 36 + grown, 377, 12) && last->fontMetrics().horizontalAdvance(static_cast<const QLabel*>(last)->text()) <= 377);
    const QString shown = static_cast<const QLabel*>(last)->text();
    QCOMPARE(status.StatusNoteTexts().last(), names.isEmpty() ? shown : "一部: " + names.join(", "));
    // Each piece keeps the two ends of one name (its middle may be elided), or is the last "…".
    for (const QString& piece : shown.mid(4).split(", "))
        QVERIFY2(names.isEmpty() || piece == QChar(0x2026) || (piece.startsWith("st") && piece.endsWith("pg") && piece.count("st") == 1), qPrintable(shown));
    status.SetStatusNotes({});
    QCOMPARE(status.BtnClose->geometry(), QRect(204, 55, 75, 25));
}

void StatusWindowTest::staysUsableWhileTheOwnerIsDisabledAndClosingGivesItBack()
{
    QWidget owner;
    TFormStatus status(&owner);
    ShowAsAfterABatch(owner, status, true);
    QVERIFY(!owner.isEnabled());
    QVERIFY(status.isEnabled());
    QVERIFY(status.BtnClose->isEnabled());
    status.setEnabled(false);
    QVERIFY2(!status.isEnabled(), "an explicit disable still holds");
    status.setEnabled(true);
    status.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&status));

    QTest::mouseClick(status.BtnClose, Qt::LeftButton);
    QVERIFY(status.isHidden());
    QVERIFY(owner.isEnabled());
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&owner));
}

void StatusWindowTest::escapeAndCloseWaitForTheCloseButtonButTheProgramNeedNot()
{
    QWidget owner;
    TFormStatus status(&owner);
    ShowAsAfterABatch(owner, status, false);

    QTest::keyClick(&status, Qt::Key_Escape);
    QVERIFY(status.isVisible());
    QVERIFY(!CloseFromTheWindowManager(status));
    QVERIFY(status.isVisible());
    QVERIFY(!owner.isEnabled());
    QVERIFY(status.close());
    QVERIFY(status.isHidden());

    ShowAsAfterABatch(owner, status, true);
    QTest::keyClick(&status, Qt::Key_Escape);
    QVERIFY(status.isHidden());
    QVERIFY(owner.isEnabled());

    ShowAsAfterABatch(owner, status, true);
    CloseFromTheWindowManager(status);
    QVERIFY(status.isHidden());
    QVERIFY(owner.isEnabled());
}

void StatusWindowTest::openDirOpensTheSaveDirAsStored()
{
    std::vector<QUrl> opened;
    gustara::SetDesktopOpenerForTesting([&opened](const QUrl& folder) {
        opened.push_back(folder);
        return true;
    });
    TFormStatus status;
    const std::string folder = "/tmp/料理 写真/美味しく/";
    status.SetSaveDir(folder);
    status.SetOpenDirEnabled(true);
    QTest::mouseClick(status.BtnOpenDir, Qt::LeftButton);
    QCOMPARE(opened, std::vector<QUrl>{QUrl::fromLocalFile(QString::fromStdString(folder))});

    // A failed batch leaves the button disabled and the folder of the earlier batch stored.
    status.SetOpenDirEnabled(false);
    QTest::mouseClick(status.BtnOpenDir, Qt::LeftButton);
    QCOMPARE(opened.size(), size_t{1});
    QCOMPARE(status.GetSaveDir(), folder);

    // A folder whose name is not UTF-8 keeps its bytes in the URL.
    status.SetSaveDir("/tmp/\x97\xbf/");
    status.SetOpenDirEnabled(true);
    QTest::mouseClick(status.BtnOpenDir, Qt::LeftButton);
    QCOMPARE(opened.back().toEncoded(), QByteArray("file:///tmp/%97%BF/"));
}

void StatusWindowTest::openDirThatFailsSaysSoOnTheStatusLine()
{
    const QString done = QStringLiteral("1枚の画像処理が完了しました");
    const QString failed = QStringLiteral("保存先のフォルダを開けませんでした");
    TFormStatus status;
    status.SetSaveDir("/tmp/");
    status.SetOpenDirEnabled(true);
    for (const bool opens : {true, false}) {
        gustara::SetDesktopOpenerForTesting([opens](const QUrl&) { return opens; });
        status.SetStatusText(done);
        QTest::mouseClick(status.BtnOpenDir, Qt::LeftButton);
        QCOMPARE(status.LabelStatus->text(), opens ? done : failed);
    }

    // The desktop's own open action, which cannot start here: the offscreen platform has
    // none, and on X no xdg-open is on the path.
    gustara::SetDesktopOpenerForTesting({});
    const QByteArray path = qgetenv("PATH");
    const QTemporaryDir emptyDir;
    qputenv("PATH", emptyDir.path().toUtf8());
    status.SetStatusText(done);
    QTest::mouseClick(status.BtnOpenDir, Qt::LeftButton);
    qputenv("PATH", path);
    QCOMPARE(status.LabelStatus->text(), failed);
}

void StatusWindowTest::saveDirComesFromTheWorkerThread()
{
    TFormStatus status;
    std::thread worker([&status] { status.SetSaveDir("/home/user/写真/"); });
    worker.join();
    QCOMPARE(status.GetSaveDir(), std::string("/home/user/写真/"));
}

QTEST_MAIN(StatusWindowTest)
#include "StatusWindowTest.moc"
