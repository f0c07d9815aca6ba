#include "DropTestSupport.h"
#include "WindowTestSupport.h"
#include "compare/CompareCell.h"
#include "compare/CompareGrid.h"
#include "compare/UnitCompare.h"
#include "main/UnitMain.h"
#include "read/JpegReader.h"
#include "rules/DisplayText.h"
#include "rules/DropRules.h"

#include <QDir>
#include <QLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using gustara::TFormCompare;
using gustara::TFormMain;
using gustara::test::Child;

namespace {

constexpr int kPrepareTimeoutMs = 10000;

// Shows the picture and waits until the window shows it or its reason.
bool ShowAndWait(TFormCompare& compare, const QString& path)
{
    QSignalSpy shown(&compare, &TFormCompare::PictureShown);
    compare.ShowPicture(path.toStdString());
    return shown.wait(kPrepareTimeoutMs);
}

} // namespace

class CompareWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { home_ = std::make_unique<gustara::test::ConfigHome>(); }
    void cleanup() { home_.reset(); }

    void menuItemAndCaptions();
    void choosingAStrengthSetsItsChoiceAndCloses_data();
    void choosingAStrengthSetsItsChoiceAndCloses();
    void badInputShowsTheReasonInTheWindow();
    void aDroppedPictureReplacesOneBeingPrepared();
    void aNewPictureClearsTheOldOneAndSeveralDroppedSaySo();
    void gridUsesTheRoomBetter_data();
    void gridUsesTheRoomBetter();
    void sizeIsKeptInTheExtraSection();
    void smallestSizeShowsEveryCaptionAndButton_data();
    void smallestSizeShowsEveryCaptionAndButton();

private:
    // A small JPEG named `name` in the pictures folder.
    QString jpeg(const QString& name, uint32_t seed = 1)
    {
        const QString path = pictures_.filePath(name);
        gustara::test::WriteJpegSource(path, seed);
        return path;
    }

    std::unique_ptr<gustara::test::ConfigHome> home_;
    QTemporaryDir pictures_;
};

void CompareWindowTest::menuItemAndCaptions()
{
    TFormMain form;
    QCOMPARE(Child<QAction>(form, "ActCompare")->text(), QStringLiteral("強さを比べる..."));
    QCOMPARE(Child<QAction>(form, "ActCompare")->shortcut(), QKeySequence(QStringLiteral("Ctrl+K")));
    TFormCompare& compare = form.CompareWindow();
    QCOMPARE(compare.windowTitle(), QStringLiteral("強さの比較"));
    const QStringList captions = {QStringLiteral("元の画像"), QStringLiteral("通常レベルの加工"), QStringLiteral("強く加工"),
                                  QStringLiteral("かなり強く加工")};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(compare.Cells[i]->caption()->text(), captions[i]);
        QCOMPARE(compare.Cells[i]->button()->text(), QStringLiteral("この強さにする"));
    }
    QVERIFY(!compare.isModal());
    compare.show();
    // As the main window's choices stand: the strongest first, after the original.
    compare.layout()->activate();
    QVERIFY(compare.Cells[0]->x() < compare.Cells[3]->x() && compare.Cells[3]->x() < compare.Cells[2]->x()
            && compare.Cells[2]->x() < compare.Cells[1]->x());
    QTest::keyClick(&compare, Qt::Key_Escape);
    QVERIFY(!compare.isVisible());
}

void CompareWindowTest::choosingAStrengthSetsItsChoiceAndCloses_data()
{
    QTest::addColumn<int>("cell");
    QTest::addColumn<bool>("byButton");
    QTest::newRow("normal, picture") << 1 << false;
    QTest::newRow("strong, button") << 2 << true;
    QTest::newRow("strongest, picture") << 3 << false;
}

void CompareWindowTest::choosingAStrengthSetsItsChoiceAndCloses()
{
    QFETCH(int, cell);
    QFETCH(bool, byButton);
    TFormMain form;
    QRadioButton* const choices[] = {Child<QRadioButton>(form, "RBGustaraLv1"), Child<QRadioButton>(form, "RBGustaraLv2"), Child<QRadioButton>(form, "RBGustaraLv3")};
    choices[cell % 3]->setChecked(true);  // another strength than the one chosen
    TFormCompare& compare = form.CompareWindow();
    QVERIFY(ShowAndWait(compare, jpeg(QStringLiteral("dish.jpg"))));
    gustara::CompareCell& chosen = *compare.Cells[cell];
    QVERIFY(!chosen.image().isNull());
    QVERIFY(form.isEnabled());

    if (byButton)
        chosen.button()->click();
    else
        QTest::mouseClick(&chosen, Qt::LeftButton, {}, chosen.PictureRect().center());
    for (int level = 1; level <= 3; ++level)
        QCOMPARE(choices[level - 1]->isChecked(), level == cell);
    QVERIFY(!compare.isVisible());
    // The comparison writes nothing beside the picture.
    QCOMPARE(QDir(pictures_.path()).entryList(QDir::Files), QStringList{QStringLiteral("dish.jpg")});
}

void CompareWindowTest::badInputShowsTheReasonInTheWindow()
{
    const QString broken = pictures_.filePath(QStringLiteral("broken.jpg"));
    gustara::test::WriteUndecodableSource(broken);
    std::string reason;
    try {
        gustara::ReadJpeg(broken.toStdString());
    } catch (const std::exception& failure) {
        reason = failure.what();
    }
    const QString folder = pictures_.filePath(QStringLiteral("album"));
    QDir().mkpath(folder);
    const std::pair<QString, std::string> kCases[] = {
        {broken, gustara::PictureFailedMessage(broken.toStdString(), reason)},
        {folder, gustara::SingleRefusalMessage(folder.toStdString(), gustara::Text(gustara::Message::ReasonFolder))},
    };
    TFormMain form;
    TFormCompare& compare = form.CompareWindow();
    for (const auto& [path, expected] : kCases) {
        QVERIFY(ShowAndWait(compare, path));
        QCOMPARE(compare.LblPicture->text(), QString::fromStdString(expected).remove(QLatin1Char('\r')));
        QVERIFY(compare.Cells[0]->image().isNull());
        QVERIFY(!compare.Cells[1]->isVisible());
    }
    QVERIFY(form.isEnabled());
}

void CompareWindowTest::aDroppedPictureReplacesOneBeingPrepared()
{
    const QString second = jpeg(QStringLiteral("second.jpg"), 2);
    TFormMain form;
    TFormCompare& compare = form.CompareWindow();
    QSignalSpy shown(&compare, &TFormCompare::PictureShown);
    compare.ShowPicture(jpeg(QStringLiteral("first.jpg")).toStdString());
    QVERIFY(gustara::test::SendDrop(compare, gustara::test::LocalUrls({second})));
    QVERIFY(shown.wait(kPrepareTimeoutMs));
    QTest::qWait(300);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(compare.LblPicture->text(), QStringLiteral("second.jpg"));
}

void CompareWindowTest::aNewPictureClearsTheOldOneAndSeveralDroppedSaySo()
{
    TFormMain form;
    TFormCompare& compare = form.CompareWindow();
    QVERIFY(ShowAndWait(compare, jpeg(QStringLiteral("first.jpg"))));
    QSignalSpy shown(&compare, &TFormCompare::PictureShown);
    const QStringList dropped = {jpeg(QStringLiteral("second.jpg"), 2), jpeg(QStringLiteral("third.jpg"), 3)};
    QVERIFY(gustara::test::SendDrop(compare, gustara::test::LocalUrls(dropped)));
    for (gustara::CompareCell* cell : compare.Cells)
        QVERIFY(cell->image().isNull() && !cell->button()->isEnabled());
    QVERIFY(shown.wait(kPrepareTimeoutMs));
    QCOMPARE(compare.LblPicture->text(),
             QStringLiteral("second.jpg\n比べられる画像は一枚ずつです。ドロップされた2枚のうち最初の画像を表示しています"));
    QVERIFY(compare.Cells[1]->button()->isEnabled());
}

void CompareWindowTest::gridUsesTheRoomBetter_data()
{
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QSize>("cell");
    // Cells lose 8 pixels to each gap and 40 to their captions.
    QTest::newRow("wide room, landscape") << QSize(1624, 400) << QSize(600, 400) << 4 << QSize(400, 360);
    QTest::newRow("square room, landscape") << QSize(808, 808) << QSize(600, 400) << 2 << QSize(400, 360);
    QTest::newRow("square room, tall picture") << QSize(808, 808) << QSize(300, 900) << 4 << QSize(196, 768);
    QTest::newRow("wide room, tall picture") << QSize(1624, 808) << QSize(300, 900) << 4 << QSize(400, 768);
    QTest::newRow("no picture yet") << QSize(808, 808) << QSize() << 4 << QSize(196, 768);
    QTest::newRow("no room") << QSize(10, 10) << QSize(600, 400) << 4 << QSize(1, 1);
}

void CompareWindowTest::gridUsesTheRoomBetter()
{
    QFETCH(QSize, area);
    QFETCH(QSize, picture);
    QFETCH(int, columns);
    QFETCH(QSize, cell);
    const gustara::CompareGrid grid = gustara::ChooseCompareGrid(area, picture, 40, 8);
    QCOMPARE(grid.columns, columns);
    QCOMPARE(grid.rows, 4 / columns);
    QCOMPARE(grid.cell, cell);
}

void CompareWindowTest::sizeIsKeptInTheExtraSection()
{
    TFormMain().CompareWindow().resize(700, 520);
    const QByteArray ini = home_->readIni();
    QVERIFY(ini.contains("[GUSTARA_EXT]\nKEEP_GOING=0\nMORE_FORMATS=0\nCOMPARE_WIDTH=700\nCOMPARE_HEIGHT=520\n"));
    // The fifteen keys keep their three sections; the new keys sit only in their own.
    QCOMPARE(ini.count("COMPARE_"), 2);
    QVERIFY(ini.indexOf("[GUSTARA_EXT]") > ini.indexOf("LV_3="));
    TFormMain again;
    QCOMPARE(again.CompareWindow().size(), QSize(700, 520));
}

void CompareWindowTest::smallestSizeShowsEveryCaptionAndButton_data()
{
    QTest::addColumn<QSize>("picture");  // wide: one row of cells; tall: two rows
    QTest::newRow("wide") << QSize(240, 40);
    QTest::newRow("tall") << QSize(40, 240);
}

void CompareWindowTest::smallestSizeShowsEveryCaptionAndButton()
{
    QFETCH(QSize, picture);
    home_->writeIni("[GUSTARA_EXT]\nCOMPARE_WIDTH=320\nCOMPARE_HEIGHT=200\n");
    const QString path = pictures_.filePath(QStringLiteral("dish.jpg"));
    gustara::test::WriteFileBytes(path.toStdString(), gustara::EncodeJpeg(gustara::test::MakeTestPicture(picture.width(), picture.height()), 95, false));
    TFormMain form;
    TFormCompare& compare = form.CompareWindow();
    QVERIFY2(compare.width() > 320, "a remembered smaller size is grown");
    QVERIFY(ShowAndWait(compare, path));
    compare.resize(1, 1);
    compare.layout()->activate();
    for (const gustara::CompareCell* cell : compare.Cells)
        QVERIFY(cell->caption()->width() >= cell->caption()->sizeHint().width() && QRect(QPoint(), cell->size()).contains(cell->button()->geometry()));
}

QTEST_MAIN(CompareWindowTest)
#include "CompareWindowTest.moc"
