#include "EngineError.h"
#include "WindowTestSupport.h"
#include "about/UnitAbout.h"
#include "main/UnitMain.h"
#include "progress/UnitStatus.h"
#include "shared/WindowLanguage.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileIconProvider>
#include <QFontInfo>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QToolTip>

using gustara::TFormMain;
using gustara::test::AnswerMessageBoxes;
using gustara::test::Child;
using gustara::test::ConfigHome;

namespace {

bool IsGrey(const QWidget* widget, QPalette::ColorRole role)
{
    return widget->palette().color(role) == QApplication::palette(widget).color(QPalette::Disabled, role);
}

// Makes the typed box usable, so that key events reach the number fields.
void EnableTypedBox(TFormMain& form)
{
    Child<QCheckBox>(form, "CBPicSize")->setChecked(true);
    Child<QRadioButton>(form, "RBInputPicSize")->setChecked(true);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { home_ = std::make_unique<ConfigHome>(); }
    void cleanup() { home_.reset(); }

    void windowIsFixedWithItsCaptionFontAndMenu();
    void controlsSitWhereTheLayoutPutsThem_data();
    void controlsSitWhereTheLayoutPutsThem();
    void captionsAndItems();
    void widenedWindowStaysOnTheScreen_data();
    void widenedWindowStaysOnTheScreen();
    void tabOrderFollowsTheGroups();
    void hiddenControlsAndHintsAreNeverShown();
    void choiceGroupsCanEndEmpty();
    void clickingASelectedChoiceKeepsIt();
    void sizeRule_data();
    void sizeRule();
    void saveRule_data();
    void saveRule();
    void qualityRule_data();
    void qualityRule();
    void filterRule();
    void keyFilterPassesDigitsDotAndBackspace_data();
    void keyFilterPassesDigitsDotAndBackspace();
    void typingIsFilteredAndLimited();
    void placedTextIsNeitherFilteredNorCut();
    void editShortcutsPassAndPastedTextIsCheckedBeforeABatch();
    void languageMenuSwitchesEveryWindowAtOnce();
    void checkSettingsShowsTheFirstProblem_data();
    void checkSettingsShowsTheFirstProblem();
    void picSize_data();
    void picSize();
    void picSizeFailsOnATypedTextThatIsNoWholeNumber();
    void qualityValueByLevel();
    void flavourLevel();
    void aboutWindowOpensModally();

private:
    std::unique_ptr<ConfigHome> home_;
};

void MainWindowTest::windowIsFixedWithItsCaptionFontAndMenu()
{
    TFormMain form;
    QCOMPARE(form.windowTitle(), QStringLiteral("料理画像をおいしそうに加工するソフト"));
    QCOMPARE(form.centralWidget()->size(), QSize(457, 268));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    form.show();
    QCOMPARE(QFontInfo(Child<QLabel>(form, "LblPicWidth")->font()).pixelSize(), 12);
    if (QFontInfo(QFont(QStringLiteral("IPAPGothic"))).family() == QStringLiteral("IPAPGothic"))
        QCOMPARE(QFontInfo(Child<QLabel>(form, "LblSelectFileName")->font()).family(), QStringLiteral("IPAPGothic"));
    // The window's own item keeps its place; the new menus follow it on the same one line.
    QCOMPARE(Child<QMenuBar>(form, "MainMenu")->actions(),
             (QList<QAction*>{Child<QAction>(form, "A1"), Child<QMenu>(form, "FileMenu")->menuAction(), Child<QMenu>(form, "SettingsMenu")->menuAction()}));
    QCOMPARE(Child<QAction>(form, "A1")->text(), QStringLiteral("このソフトについて(&A)"));
    QCOMPARE(Child<QMenu>(form, "FileMenu")->title(), QStringLiteral("ファイル(&F)"));
    QCOMPARE(Child<QMenu>(form, "FileMenu")->actions(), (QList<QAction*>{Child<QAction>(form, "OpenFilesItem"), Child<QAction>(form, "ActCompare")}));
    QCOMPARE(Child<QAction>(form, "OpenFilesItem")->text(), QStringLiteral("ファイルを開く..."));
    QCOMPARE(Child<QAction>(form, "OpenFilesItem")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(Child<QMenu>(form, "SettingsMenu")->title(), QStringLiteral("設定(&S)"));
    auto* const quality = Child<QAction>(form, "QualityItem");
    QCOMPARE(Child<QMenu>(form, "SettingsMenu")->actions(),
             (QList<QAction*>{Child<QAction>(form, "KeepGoingItem"), Child<QAction>(form, "MoreFormatsItem"),
                              Child<QAction>(form, "FoldersItem"), Child<QAction>(form, "KeepDateItem"), quality,
                              Child<QMenu>(form, "LanguageMenu")->menuAction()}));
    QCOMPARE(Child<QMenu>(form, "LanguageMenu")->title(), QStringLiteral("表示言語"));
    QCOMPARE(Child<QAction>(form, "FoldersItem")->text(), QStringLiteral("フォルダの中の画像も加工する"));
    QCOMPARE(Child<QAction>(form, "KeepDateItem")->text(), QStringLiteral("撮影日時を残す"));
    QCOMPARE(Child<QAction>(form, "KeepGoingItem")->text(), QStringLiteral("失敗しても続ける"));
    QCOMPARE(Child<QAction>(form, "MoreFormatsItem")->text(), QStringLiteral("HEIC・AVIF・WebP も読み込む"));
    QCOMPARE(quality->text(), QStringLiteral("画質を設定する"));
    const int lastItemBottom = Child<QMenuBar>(form, "MainMenu")->actionGeometry(Child<QMenu>(form, "SettingsMenu")->menuAction()).bottom();
    QCOMPARE(lastItemBottom, Child<QMenuBar>(form, "MainMenu")->actionGeometry(Child<QAction>(form, "A1")).bottom());
    QCOMPARE(form.size(), QSize(457, 268 + Child<QMenuBar>(form, "MainMenu")->height()));
    QVERIFY(form.acceptDrops());

    // The quality group widens the window to the right; nothing else moves.
    const QRect strength = Child<QGroupBox>(form, "GroupBox1")->geometry();
    quality->setChecked(true);
    QCOMPARE(form.width(), 729);
    QCOMPARE(Child<QGroupBox>(form, "GBFileSize")->geometry(), QRect(504, 8, 217, 105));
    QVERIFY(Child<QGroupBox>(form, "GBFileSize")->isVisibleTo(&form));
    QCOMPARE(Child<QCheckBox>(form, "CBProgressive")->geometry(), QRect(512, 119, 177, 17));
    QVERIFY(Child<QCheckBox>(form, "CBProgressive")->isVisibleTo(&form));
    QCOMPARE(Child<QGroupBox>(form, "GroupBox1")->geometry(), strength);
    quality->setChecked(false);
    QCOMPARE(form.width(), 457);
    QVERIFY(!Child<QCheckBox>(form, "CBProgressive")->isVisibleTo(&form));
}

void MainWindowTest::controlsSitWhereTheLayoutPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("box");
    const struct {
        const char* name;
        const char* kind;
        const char* parent;
        QRect box;
    } rows[] = {
        {"GBPicSize", "QGroupBox", "ClientArea", {8, 2, 217, 129}},
        {"CBPicSize", "QCheckBox", "GBPicSize", {8, 0, 103, 17}},
        {"RBRegularSize", "QRadioButton", "GBPicSize", {8, 20, 153, 17}},
        {"CBSizeList", "QComboBox", "GBPicSize", {25, 37, 145, 20}},
        {"RBInputPicSize", "QRadioButton", "GBPicSize", {8, 60, 153, 17}},
        {"LblPicWidth", "QLabel", "GBPicSize", {24, 80, 12, 12}},
        {"EditPicWidth", "QLineEdit", "GBPicSize", {40, 77, 57, 20}},
        {"LblPicHeight", "QLabel", "GBPicSize", {104, 80, 21, 12}},
        {"EditPicHeight", "QLineEdit", "GBPicSize", {133, 77, 57, 20}},
        {"GBSave", "QGroupBox", "ClientArea", {232, 2, 217, 129}},
        {"RBDecidesName", "QRadioButton", "GBSave", {8, 20, 89, 17}},
        {"CBSelectNamePos", "QComboBox", "GBSave", {97, 18, 64, 20}},
        {"EditFileName", "QLineEdit", "GBSave", {25, 41, 66, 20}},
        {"LblSelectFileName", "QLabel", "GBSave", {97, 45, 90, 12}},
        {"RBMakeDir", "QRadioButton", "GBSave", {8, 79, 201, 17}},
        {"LblDirName", "QLabel", "GBSave", {25, 102, 55, 12}},
        {"EditDirName", "QLineEdit", "GBSave", {88, 99, 113, 20}},
        {"CBProgressive", "QCheckBox", "GBSave", {8, 140, 177, 17}},
        {"GroupBox1", "QGroupBox", "ClientArea", {8, 138, 441, 57}},
        {"RBGustaraLv3", "QRadioButton", "GroupBox1", {8, 24, 129, 17}},
        {"RBGustaraLv2", "QRadioButton", "GroupBox1", {156, 24, 145, 17}},
        {"RBGustaraLv1", "QRadioButton", "GroupBox1", {304, 24, 132, 17}},
        {"Memo1", "QPlainTextEdit", "ClientArea", {8, 202, 441, 57}},
        {"GBFileSize", "QGroupBox", "ClientArea", {504, 8, 217, 105}},
        {"CBQuality", "QCheckBox", "GBFileSize", {8, 0, 70, 17}},
        {"RBQuality", "QRadioButton", "GBFileSize", {8, 20, 137, 17}},
        {"CBQualityLevel", "QComboBox", "GBFileSize", {25, 37, 145, 20}},
        {"RBFileSize", "QRadioButton", "GBFileSize", {8, 60, 153, 17}},
        {"EditFileSize", "QLineEdit", "GBFileSize", {25, 77, 57, 20}},
        {"LblKB", "QLabel", "GBFileSize", {88, 80, 15, 12}},
        {"GBFilter", "QGroupBox", "ClientArea", {504, 120, 201, 169}},
        {"CBFilter", "QCheckBox", "GBFilter", {8, 0, 73, 17}},
        {"CBContrast", "QCheckBox", "GBFilter", {8, 20, 161, 17}},
        {"TBContrast", "QSlider", "GBFilter", {26, 39, 151, 17}},
        {"CBVivid", "QCheckBox", "GBFilter", {8, 65, 161, 17}},
        {"CBBrightness", "QCheckBox", "GBFilter", {8, 95, 145, 17}},
        {"RBBrightnessUP", "QRadioButton", "GBFilter", {24, 112, 65, 17}},
        {"RBBrightnessDown", "QRadioButton", "GBFilter", {96, 112, 65, 17}},
        {"CBMonochrome", "QCheckBox", "GBFilter", {8, 140, 121, 17}},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.kind)
                                << QString::fromLatin1(row.parent) << row.box;
}

void MainWindowTest::controlsSitWhereTheLayoutPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QRect, box);
    TFormMain form;
    form.show();
    const auto* control = form.findChild<QWidget*>(name);
    QVERIFY(control);
    QVERIFY(control->inherits(kind.toLatin1().constData()));
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), box);
}

void MainWindowTest::captionsAndItems()
{
    TFormMain form;
    QStringList sizes;
    for (int i = 0; i < Child<QComboBox>(form, "CBSizeList")->count(); ++i)
        sizes << Child<QComboBox>(form, "CBSizeList")->itemText(i);
    QCOMPARE(sizes, (QStringList{"1280 x 1280", "1024 x 1024", "800 x  800", "640 x 640", "400 x 400", "320 x 320",
                                 "160 x 160"}));
    QVERIFY(!Child<QComboBox>(form, "CBSizeList")->isEditable());
    QCOMPARE(Child<QComboBox>(form, "CBSelectNamePos")->itemText(1), QStringLiteral("後に"));
    QCOMPARE(Child<QComboBox>(form, "CBQualityLevel")->count(), 5);
    QCOMPARE(Child<QPlainTextEdit>(form, "Memo1")->toPlainText(), QStringLiteral("画面上に美味しく加工したい画像をドラッグ＆ドロップしてください。\n"
                                                       "対応形式：BMP / JPEG / PNG / GIF"));
    QVERIFY(Child<QPlainTextEdit>(form, "Memo1")->isReadOnly());
    Child<QAction>(form, "MoreFormatsItem")->setChecked(true);
    QVERIFY(Child<QPlainTextEdit>(form, "Memo1")->toPlainText().endsWith(QStringLiteral("：BMP / JPEG / PNG / GIF / HEIC / AVIF / WebP")));
    QCOMPARE(Child<QGroupBox>(form, "GBSave")->title(), QStringLiteral("保存設定"));
    QCOMPARE(Child<QGroupBox>(form, "GBPicSize")->title(), QString());
    QCOMPARE(Child<QRadioButton>(form, "RBMakeDir")->text(), QStringLiteral("フォルダを作成しその中に保存する"));
    QCOMPARE(Child<QSlider>(form, "TBContrast")->maximum(), 100);
    QCOMPARE(Child<QSlider>(form, "TBContrast")->pageStep(), 10);
    QCOMPARE(Child<QSlider>(form, "TBContrast")->tickInterval(), 5);
}

void MainWindowTest::widenedWindowStaysOnTheScreen_data()
{
    QTest::addColumn<int>("fromRight");  // pixels between the narrow window and the area's right edge
    QTest::addColumn<int>("movedLeft");
    QTest::newRow("room to widen") << 300 << 0;
    QTest::newRow("centred") << 172 << 100;
    QTest::newRow("at the right edge") << 0 << 272;
}

void MainWindowTest::widenedWindowStaysOnTheScreen()
{
    QFETCH(int, fromRight);
    QFETCH(int, movedLeft);
    TFormMain form;
    form.show();
    const QRect area = form.screen()->availableGeometry();
    form.move(area.right() + 1 - fromRight - form.frameGeometry().width(), area.top() + 20);
    const QPoint narrow = form.pos();
    Child<QAction>(form, "QualityItem")->setChecked(true);
    QCOMPARE(form.pos(), narrow - QPoint(movedLeft, 0));
    QVERIFY(area.contains(form.frameGeometry()));
}

void MainWindowTest::tabOrderFollowsTheGroups()
{
    TFormMain form;
    const QStringList expected = {"CBPicSize", "RBRegularSize", "CBSizeList", "RBInputPicSize", "EditPicWidth",
                                  "EditPicHeight", "RBDecidesName", "CBSelectNamePos", "RBMakeDir", "EditDirName",
                                  "EditFileName", "Memo1", "RBGustaraLv3", "RBGustaraLv2", "RBGustaraLv1"};
    QStringList chain;
    QWidget* widget = Child<QCheckBox>(form, "CBPicSize");
    do {
        if (expected.contains(widget->objectName()) && !chain.contains(widget->objectName()))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != Child<QCheckBox>(form, "CBPicSize"));
    QCOMPARE(chain, expected);
}

// Shown, the window keeps its unused controls and its hints hidden.
void MainWindowTest::hiddenControlsAndHintsAreNeverShown()
{
    TFormMain form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (QWidget* hidden : {static_cast<QWidget*>(Child<QGroupBox>(form, "GBFileSize")), static_cast<QWidget*>(Child<QGroupBox>(form, "GBFilter")),
                            static_cast<QWidget*>(Child<QCheckBox>(form, "CBProgressive"))})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    QVERIFY(Child<QGroupBox>(form, "GBPicSize")->isVisible());
    QVERIFY(Child<QPlainTextEdit>(form, "Memo1")->isVisible());
    QCOMPARE(Child<QRadioButton>(form, "RBRegularSize")->toolTip(), QStringLiteral("選択した範囲に収まるように加工します。"));
    QCOMPARE(Child<QGroupBox>(form, "GBPicSize")->toolTip(), Child<QCheckBox>(form, "CBPicSize")->toolTip());
    for (QWidget* hinted : {static_cast<QWidget*>(Child<QCheckBox>(form, "CBPicSize")), static_cast<QWidget*>(Child<QGroupBox>(form, "GroupBox1")),
                            static_cast<QWidget*>(Child<QPlainTextEdit>(form, "Memo1"))}) {
        QVERIFY(!hinted->toolTip().isEmpty());
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), hinted->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(hinted, &event);
        QVERIFY(!QToolTip::isVisible());
    }
}

void MainWindowTest::choiceGroupsCanEndEmpty()
{
    TFormMain form;
    Child<QRadioButton>(form, "RBGustaraLv2")->setChecked(true);
    QVERIFY(!Child<QRadioButton>(form, "RBGustaraLv1")->isChecked());
    QVERIFY(!Child<QRadioButton>(form, "RBGustaraLv3")->isChecked());
    Child<QRadioButton>(form, "RBGustaraLv2")->setChecked(false);
    QVERIFY(!Child<QRadioButton>(form, "RBGustaraLv1")->isChecked() && !Child<QRadioButton>(form, "RBGustaraLv2")->isChecked() && !Child<QRadioButton>(form, "RBGustaraLv3")->isChecked());
    // The groups are separate: choosing in one leaves the others alone.
    Child<QRadioButton>(form, "RBMakeDir")->setChecked(true);
    QVERIFY(!Child<QRadioButton>(form, "RBDecidesName")->isChecked());
    QVERIFY(Child<QRadioButton>(form, "RBRegularSize")->isChecked());
    Child<QRadioButton>(form, "RBBrightnessDown")->setChecked(true);
    QVERIFY(!Child<QRadioButton>(form, "RBBrightnessUP")->isChecked());
    Child<QRadioButton>(form, "RBFileSize")->setChecked(true);
    QVERIFY(!Child<QRadioButton>(form, "RBQuality")->isChecked());
}

void MainWindowTest::clickingASelectedChoiceKeepsIt()
{
    TFormMain form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(Child<QRadioButton>(form, "RBGustaraLv3"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(Child<QRadioButton>(form, "RBGustaraLv3")->isChecked());
    QTest::mouseClick(Child<QRadioButton>(form, "RBGustaraLv1"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(Child<QRadioButton>(form, "RBGustaraLv1")->isChecked());
    QVERIFY(!Child<QRadioButton>(form, "RBGustaraLv3")->isChecked());
    Child<QRadioButton>(form, "RBGustaraLv1")->click();
    QVERIFY(Child<QRadioButton>(form, "RBGustaraLv1")->isChecked());
}

void MainWindowTest::sizeRule_data()
{
    QTest::addColumn<bool>("resizing");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("choicesEnabled");
    QTest::addColumn<bool>("listEnabled");
    QTest::addColumn<bool>("typedEnabled");
    QTest::newRow("off, preset") << false << "preset" << false << false << false;
    QTest::newRow("off, typed") << false << "typed" << false << false << false;
    QTest::newRow("on, preset") << true << "preset" << true << true << false;
    QTest::newRow("on, typed") << true << "typed" << true << false << true;
    QTest::newRow("on, no choice") << true << "none" << true << false << true;
}

void MainWindowTest::sizeRule()
{
    QFETCH(bool, resizing);
    QFETCH(QString, choice);
    QFETCH(bool, choicesEnabled);
    QFETCH(bool, listEnabled);
    QFETCH(bool, typedEnabled);
    TFormMain form;
    Child<QCheckBox>(form, "CBPicSize")->setChecked(resizing);
    Child<QRadioButton>(form, "RBRegularSize")->setChecked(choice == "preset");
    Child<QRadioButton>(form, "RBInputPicSize")->setChecked(choice == "typed");
    QCOMPARE(Child<QRadioButton>(form, "RBRegularSize")->isEnabled(), choicesEnabled);
    QCOMPARE(Child<QRadioButton>(form, "RBInputPicSize")->isEnabled(), choicesEnabled);
    QCOMPARE(Child<QComboBox>(form, "CBSizeList")->isEnabled(), listEnabled);
    QCOMPARE(Child<QLineEdit>(form, "EditPicWidth")->isEnabled(), typedEnabled);
    QCOMPARE(Child<QLineEdit>(form, "EditPicHeight")->isEnabled(), typedEnabled);
    QCOMPARE(IsGrey(Child<QLabel>(form, "LblPicWidth"), QPalette::WindowText), !typedEnabled);
    QCOMPARE(IsGrey(Child<QLabel>(form, "LblPicHeight"), QPalette::WindowText), !typedEnabled);
    QVERIFY(Child<QLabel>(form, "LblPicWidth")->isEnabled() && Child<QLabel>(form, "LblPicHeight")->isEnabled());
    QVERIFY(Child<QCheckBox>(form, "CBPicSize")->isEnabled() && Child<QGroupBox>(form, "GBPicSize")->isEnabled());
}

void MainWindowTest::saveRule_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("affixEnabled");
    QTest::addColumn<bool>("dirEnabled");
    QTest::newRow("affix") << "affix" << true << false;
    QTest::newRow("folder") << "folder" << false << true;
    QTest::newRow("none") << "none" << false << false;
}

void MainWindowTest::saveRule()
{
    QFETCH(QString, choice);
    QFETCH(bool, affixEnabled);
    QFETCH(bool, dirEnabled);
    TFormMain form;
    Child<QRadioButton>(form, "RBDecidesName")->setChecked(choice == "affix");
    Child<QRadioButton>(form, "RBMakeDir")->setChecked(choice == "folder");
    QCOMPARE(Child<QComboBox>(form, "CBSelectNamePos")->isEnabled(), affixEnabled);
    QCOMPARE(Child<QLineEdit>(form, "EditFileName")->isEnabled(), affixEnabled);
    QCOMPARE(Child<QLineEdit>(form, "EditDirName")->isEnabled(), dirEnabled);
    QCOMPARE(IsGrey(Child<QLabel>(form, "LblSelectFileName"), QPalette::WindowText), !affixEnabled);
    QCOMPARE(IsGrey(Child<QLabel>(form, "LblDirName"), QPalette::WindowText), affixEnabled);
    QVERIFY(Child<QLabel>(form, "LblSelectFileName")->isEnabled() && Child<QLabel>(form, "LblDirName")->isEnabled());
}

void MainWindowTest::qualityRule_data()
{
    QTest::addColumn<bool>("quality");
    QTest::addColumn<bool>("byLevel");
    QTest::addColumn<bool>("choicesEnabled");
    QTest::addColumn<bool>("levelEnabled");
    QTest::addColumn<bool>("sizeEnabled");
    QTest::newRow("on, by level") << true << true << true << true << false;
    QTest::newRow("on, by size") << true << false << true << false << true;
    QTest::newRow("off") << false << true << false << false << false;
}

void MainWindowTest::qualityRule()
{
    QFETCH(bool, quality);
    QFETCH(bool, byLevel);
    QFETCH(bool, choicesEnabled);
    QFETCH(bool, levelEnabled);
    QFETCH(bool, sizeEnabled);
    TFormMain form;
    Child<QCheckBox>(form, "CBQuality")->setChecked(quality);
    Child<QRadioButton>(form, "RBQuality")->setChecked(byLevel);
    Child<QRadioButton>(form, "RBFileSize")->setChecked(!byLevel);
    QCOMPARE(Child<QRadioButton>(form, "RBQuality")->isEnabled(), choicesEnabled);
    QCOMPARE(Child<QRadioButton>(form, "RBFileSize")->isEnabled(), choicesEnabled);
    QCOMPARE(Child<QComboBox>(form, "CBQualityLevel")->isEnabled(), levelEnabled);
    QCOMPARE(Child<QLineEdit>(form, "EditFileSize")->isEnabled(), sizeEnabled);
    QCOMPARE(IsGrey(Child<QLineEdit>(form, "EditFileSize"), QPalette::Text), !sizeEnabled);
    QCOMPARE(IsGrey(Child<QLabel>(form, "LblKB"), QPalette::WindowText), !sizeEnabled);
}

void MainWindowTest::filterRule()
{
    TFormMain form;
    const QList<QWidget*> effects = {Child<QCheckBox>(form, "CBContrast"),     Child<QSlider>(form, "TBContrast"),       Child<QCheckBox>(form, "CBVivid"),     Child<QCheckBox>(form, "CBBrightness"),
                                     Child<QRadioButton>(form, "RBBrightnessUP"), Child<QRadioButton>(form, "RBBrightnessDown"), Child<QCheckBox>(form, "CBMonochrome")};
    for (const bool on : {true, false}) {
        Child<QCheckBox>(form, "CBFilter")->setChecked(on);
        for (QWidget* effect : effects)
            QCOMPARE(effect->isEnabled(), on);
    }
}

void MainWindowTest::keyFilterPassesDigitsDotAndBackspace_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("passes");
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        QTest::addRow("digit %c", static_cast<char>(digit)) << int{digit} << true;
    QTest::newRow("full stop") << int{u'.'} << true;
    QTest::newRow("backspace") << 8 << true;
    for (const char16_t other : {u'a', u'Z', u'-', u'+', u',', u' ', u'\t', u'\r', u'\x16', u'\x7f', u'０', u'$'})
        QTest::addRow("U+%04X", unsigned{other}) << int{other} << false;
}

void MainWindowTest::keyFilterPassesDigitsDotAndBackspace()
{
    QFETCH(int, key);
    QFETCH(bool, passes);
    QCOMPARE(int{TFormMain::EditNumOnlyKeyPress(static_cast<char16_t>(key))}, passes ? key : 0);
}

void MainWindowTest::typingIsFilteredAndLimited()
{
    TFormMain form;
    EnableTypedBox(form);
    Child<QLineEdit>(form, "EditPicWidth")->clear();
    QTest::keyClicks(Child<QLineEdit>(form, "EditPicWidth"), QStringLiteral("a1.-2"));
    QCOMPARE(Child<QLineEdit>(form, "EditPicWidth")->text(), QStringLiteral("1.2"));
    QTest::keyClick(Child<QLineEdit>(form, "EditPicWidth"), Qt::Key_Backspace);
    QCOMPARE(Child<QLineEdit>(form, "EditPicWidth")->text(), QStringLiteral("1."));
    QTest::keyClick(Child<QLineEdit>(form, "EditPicWidth"), Qt::Key_Return);
    QTest::keyClick(Child<QLineEdit>(form, "EditPicWidth"), Qt::Key_Minus);
    QCOMPARE(Child<QLineEdit>(form, "EditPicWidth")->text(), QStringLiteral("1."));

    Child<QLineEdit>(form, "EditPicHeight")->clear();
    QTest::keyClicks(Child<QLineEdit>(form, "EditPicHeight"), QStringLiteral("123456"));
    QCOMPARE(Child<QLineEdit>(form, "EditPicHeight")->text(), QStringLiteral("12345"));
    Child<QLineEdit>(form, "EditPicHeight")->selectAll();
    QTest::keyClicks(Child<QLineEdit>(form, "EditPicHeight"), QStringLiteral("9"));
    QCOMPARE(Child<QLineEdit>(form, "EditPicHeight")->text(), QStringLiteral("9"));
    QTest::keyClick(Child<QLineEdit>(form, "EditPicHeight"), Qt::Key_Home);
    QTest::keyClick(Child<QLineEdit>(form, "EditPicHeight"), Qt::Key_Delete);
    QCOMPARE(Child<QLineEdit>(form, "EditPicHeight")->text(), QString());

    Child<QCheckBox>(form, "CBQuality")->setChecked(true);
    Child<QRadioButton>(form, "RBFileSize")->setChecked(true);
    Child<QLineEdit>(form, "EditFileSize")->clear();
    QTest::keyClicks(Child<QLineEdit>(form, "EditFileSize"), QStringLiteral("1234567"));
    QCOMPARE(Child<QLineEdit>(form, "EditFileSize")->text(), QStringLiteral("123456"));

    for (QLineEdit* edit : {Child<QLineEdit>(form, "EditPicWidth"), Child<QLineEdit>(form, "EditPicHeight"), Child<QLineEdit>(form, "EditFileSize")})
        QVERIFY(!edit->testAttribute(Qt::WA_InputMethodEnabled));
}

void MainWindowTest::placedTextIsNeitherFilteredNorCut()
{
    TFormMain form;
    EnableTypedBox(form);
    Child<QLineEdit>(form, "EditPicWidth")->setText(QStringLiteral("1234567-x"));
    QCOMPARE(Child<QLineEdit>(form, "EditPicWidth")->text(), QStringLiteral("1234567-x"));
    Child<QLineEdit>(form, "EditPicWidth")->end(false);
    QTest::keyClick(Child<QLineEdit>(form, "EditPicWidth"), Qt::Key_Backspace);
    QCOMPARE(Child<QLineEdit>(form, "EditPicWidth")->text(), QStringLiteral("1234567-"));
    QTest::keyClicks(Child<QLineEdit>(form, "EditPicWidth"), QStringLiteral("1"));
    QCOMPARE(Child<QLineEdit>(form, "EditPicWidth")->text(), QStringLiteral("1234567-"));
}

void MainWindowTest::editShortcutsPassAndPastedTextIsCheckedBeforeABatch()
{
    TFormMain form;
    EnableTypedBox(form);
    QLineEdit& edit = *Child<QLineEdit>(form, "EditPicWidth");
    edit.setText(QStringLiteral("800"));
    QTest::keySequence(&edit, QKeySequence::SelectAll);
    QCOMPARE(edit.selectedText(), QStringLiteral("800"));
    QTest::keySequence(&edit, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("800"));
    QTest::keySequence(&edit, QKeySequence::Cut);
    QCOMPARE(edit.text(), QString());
    QTest::keySequence(&edit, QKeySequence::Undo);
    QCOMPARE(edit.text(), QStringLiteral("800"));

    // Pasted text is placed as it is, neither filtered nor cut, and refused before a batch.
    QApplication::clipboard()->setText(QStringLiteral("1234567x"));
    QTest::keySequence(&edit, QKeySequence::SelectAll);
    QTest::keySequence(&edit, QKeySequence::Paste);
    QCOMPARE(edit.text(), QStringLiteral("1234567x"));
    bool passed = true;
    const auto boxes = AnswerMessageBoxes([&] { passed = form.CheckSettings(); });
    QVERIFY(!passed);
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].text, QStringLiteral("幅は10以上の整数で入力してください"));
}

void MainWindowTest::languageMenuSwitchesEveryWindowAtOnce()
{
    // The settings name no language: the test's Japanese locale decides until a choice.
    ConfigHome home;
    QByteArray kept;
    {
        TFormMain form;
        gustara::TFormStatus status(&form);
        gustara::TFormAbout about(&form);
        form.AttachWindows(status, about);
        QCOMPARE(Child<QAction>(form, "LanguageAutoItem")->isChecked(), true);
        struct Expected {
            const char* item;
            QString caption, close, about, paste, cancel, folder;
            QLocale::Language locale;
        };
        const Expected languages[] = {
            {"LanguageEnglishItem", QStringLiteral("Gustara: tasty food photos"), QStringLiteral("Close"),
             QStringLiteral("About Gustara"), QStringLiteral("Paste"), QStringLiteral("Cancel"), QStringLiteral("Folder"),
             QLocale::English},
            {"LanguageJapaneseItem", QStringLiteral("料理画像をおいしそうに加工するソフト"), QStringLiteral("閉じる"),
             QStringLiteral("このソフトについて"), QStringLiteral("貼り付け"), QStringLiteral("キャンセル"),
             QStringLiteral("フォルダ"), QLocale::Japanese},
        };
        for (const Expected& language : languages) {
            Child<QAction>(form, language.item)->trigger();
            // Every open window at once, hidden ones too, and Qt's own texts with them.
            QCOMPARE(form.windowTitle(), language.caption);
            QCOMPARE(Child<QPushButton>(status, "BtnClose")->text(), language.close);
            QCOMPARE(about.windowTitle(), language.about);
            const std::unique_ptr<QMenu> menu(Child<QLineEdit>(form, "EditPicWidth")->createStandardContextMenu());
            QStringList items;
            for (const QAction* action : menu->actions())
                items << action->text();
            QVERIFY2(items.join(QString()).contains(language.paste), qPrintable(items.join(QLatin1Char('|'))));
            const QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
            QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), language.cancel);
            // The file dialog: the kind of a folder, which Qt's own Japanese texts leave out.
            QCOMPARE(QFileIconProvider().type(QFileInfo(QDir::tempPath())), language.folder);
            QCOMPARE(QLocale().language(), language.locale);
        }
        // Back to the locale's language, kept as such.
        Child<QAction>(form, "LanguageAutoItem")->trigger();
    }
    QVERIFY(home.readIni().contains("LANGUAGE=auto"));
    home.writeIni("[GUSTARA_EXT]\nLANGUAGE=en\n");
    TFormMain english;
    QCOMPARE(Child<QAction>(english, "LanguageEnglishItem")->isChecked(), true);
    QCOMPARE(english.windowTitle(), QStringLiteral("Gustara: tasty food photos"));
    gustara::ApplyWindowLanguage(gustara::Language::Japanese);
}

void MainWindowTest::checkSettingsShowsTheFirstProblem_data()
{
    QTest::addColumn<bool>("resizing");
    QTest::addColumn<QString>("sizeChoice");  // preset, typed, none
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("fileSize");    // empty: the hidden quality group as loaded
    QTest::addColumn<QString>("saveChoice");  // affix, folder, none
    QTest::addColumn<QString>("affix");
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("message");     // empty: the check passes

    const QString width = QStringLiteral("幅は10以上の整数で入力してください");
    const QString height = QStringLiteral("高さは10以上の整数で入力してください");
    const QString fileSize = QStringLiteral("ファイルサイズは10以上の整数で入力してください");
    const QString affixEmpty = QStringLiteral("ファイル名の前後に付ける文字を入力してください");
    const QString affixInvalid = QStringLiteral("ファイル名に「\\/:*?\"<>|」は使えません");
    const QString dirEmpty = QStringLiteral("フォルダ名を入力してください");
    const QString dirInvalid = QStringLiteral("フォルダ名に「\\/:*?\"<>|」は使えません");

    QTest::newRow("defaults pass") << false << "preset" << "800" << "800" << "" << "affix" << "s-" << "Gustara" << "";
    QTest::newRow("resizing off: typed box not tested")
        << false << "typed" << "12.5" << "" << "" << "affix" << "s-" << "" << "";
    QTest::newRow("preset: typed box not tested") << true << "preset" << "abc" << "1" << "" << "affix" << "s-" << "" << "";
    QTest::newRow("width 9") << true << "typed" << "9" << "800" << "" << "affix" << "s-" << "" << width;
    QTest::newRow("width 10") << true << "typed" << "10" << "10" << "" << "affix" << "s-" << "" << "";
    QTest::newRow("width 12.5") << true << "typed" << "12.5" << "800" << "" << "affix" << "s-" << "" << width;
    QTest::newRow("width empty") << true << "typed" << "" << "800" << "" << "affix" << "s-" << "" << width;
    QTest::newRow("width before height") << true << "typed" << "1" << "1" << "" << "affix" << "" << "" << width;
    QTest::newRow("height 9") << true << "typed" << "99999" << "9" << "" << "affix" << "s-" << "" << height;
    QTest::newRow("no size choice: typed box tested")
        << true << "none" << "9" << "800" << "" << "affix" << "s-" << "" << width;
    QTest::newRow("file size before the affix")
        << true << "typed" << "10" << "10" << "9" << "affix" << "" << "" << fileSize;
    QTest::newRow("file size $10 passes") << false << "preset" << "" << "" << "$10" << "affix" << "s-" << "" << "";
    QTest::newRow("affix empty") << false << "preset" << "" << "" << "" << "affix" << "" << "ok" << affixEmpty;
    for (const char c : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'}) {
        const QString name = QStringLiteral("a%1b").arg(QLatin1Char(c));
        QTest::addRow("affix with %c", c) << false << "preset" << "" << "" << "" << "affix" << name << "" << affixInvalid;
        QTest::addRow("folder with %c", c) << false << "preset" << "" << "" << "" << "folder" << "" << name << dirInvalid;
    }
    QTest::newRow("folder mode ignores the affix")
        << false << "preset" << "" << "" << "" << "folder" << "a/b" << "out" << "";
    QTest::newRow("folder empty") << false << "preset" << "" << "" << "" << "folder" << "s-" << "" << dirEmpty;
    QTest::newRow("no save choice: folder tested") << false << "preset" << "" << "" << "" << "none" << "s-" << "" << dirEmpty;
    QTest::newRow("japanese folder passes") << false << "preset" << "" << "" << "" << "folder" << "" << "出力" << "";
}

void MainWindowTest::checkSettingsShowsTheFirstProblem()
{
    QFETCH(bool, resizing);
    QFETCH(QString, sizeChoice);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, fileSize);
    QFETCH(QString, saveChoice);
    QFETCH(QString, affix);
    QFETCH(QString, dir);
    QFETCH(QString, message);
    TFormMain form;
    Child<QCheckBox>(form, "CBPicSize")->setChecked(resizing);
    Child<QRadioButton>(form, "RBRegularSize")->setChecked(sizeChoice == "preset");
    Child<QRadioButton>(form, "RBInputPicSize")->setChecked(sizeChoice == "typed");
    Child<QLineEdit>(form, "EditPicWidth")->setText(width);
    Child<QLineEdit>(form, "EditPicHeight")->setText(height);
    if (!fileSize.isEmpty()) {
        Child<QRadioButton>(form, "RBFileSize")->setChecked(true);
        Child<QLineEdit>(form, "EditFileSize")->setText(fileSize);
    }
    Child<QRadioButton>(form, "RBDecidesName")->setChecked(saveChoice == "affix");
    Child<QRadioButton>(form, "RBMakeDir")->setChecked(saveChoice == "folder");
    Child<QLineEdit>(form, "EditFileName")->setText(affix);
    Child<QLineEdit>(form, "EditDirName")->setText(dir);
    QWidget* focusBefore = QApplication::focusWidget();

    bool passed = false;
    const auto boxes = AnswerMessageBoxes([&] { passed = form.CheckSettings(); });
    QCOMPARE(passed, message.isEmpty());
    QCOMPARE(boxes.size(), std::size_t{message.isEmpty() ? 0u : 1u});
    if (!message.isEmpty()) {
        QCOMPARE(boxes[0].text, message);
        QCOMPARE(boxes[0].title, QStringLiteral("画像を美味しくするソフト"));
        QCOMPARE(boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(boxes[0].buttonCount, qsizetype{1});
        QVERIFY(boxes[0].modal);
    }
    QCOMPARE(QApplication::focusWidget(), focusBefore);
    QCOMPARE(Child<QLineEdit>(form, "EditPicWidth")->text(), width);
}

void MainWindowTest::picSize_data()
{
    QTest::addColumn<bool>("resizing");
    QTest::addColumn<QString>("sizeChoice");
    QTest::addColumn<int>("presetIndex");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<int>("expectedHeight");
    const int sides[] = {1280, 1024, 800, 640, 400, 320, 160};
    for (int index = 0; index < 7; ++index)
        QTest::addRow("preset %d", index) << true << "preset" << index << "x" << "x" << sides[index] << sides[index];
    QTest::newRow("preset with resizing off") << false << "preset" << 2 << "x" << "x" << 800 << 800;
    QTest::newRow("no preset: the caller's width twice") << true << "preset" << -1 << "x" << "x" << 77 << 77;
    QTest::newRow("typed") << true << "typed" << 0 << "640" << "480" << 640 << 480;
    QTest::newRow("typed in whole-number syntax") << true << "typed" << 0 << " $10" << "+12" << 16 << 12;
    QTest::newRow("no choice uses the typed box") << true << "none" << 0 << "300" << "200" << 300 << 200;
    QTest::newRow("typed with resizing off is not read") << false << "typed" << 0 << "12.5" << "abc" << 0 << 0;
}

void MainWindowTest::picSize()
{
    QFETCH(bool, resizing);
    QFETCH(QString, sizeChoice);
    QFETCH(int, presetIndex);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(int, expectedWidth);
    QFETCH(int, expectedHeight);
    TFormMain form;
    Child<QCheckBox>(form, "CBPicSize")->setChecked(resizing);
    Child<QRadioButton>(form, "RBRegularSize")->setChecked(sizeChoice == "preset");
    Child<QRadioButton>(form, "RBInputPicSize")->setChecked(sizeChoice == "typed");
    Child<QComboBox>(form, "CBSizeList")->setCurrentIndex(presetIndex);
    Child<QLineEdit>(form, "EditPicWidth")->setText(width);
    Child<QLineEdit>(form, "EditPicHeight")->setText(height);
    int32_t boxWidth = 77;
    int32_t boxHeight = 55;
    form.GetPicSize(boxWidth, boxHeight);
    QCOMPARE(boxWidth, expectedWidth);
    QCOMPARE(boxHeight, expectedHeight);
}

void MainWindowTest::picSizeFailsOnATypedTextThatIsNoWholeNumber()
{
    TFormMain form;
    EnableTypedBox(form);
    Child<QLineEdit>(form, "EditPicWidth")->setText(QStringLiteral("640"));
    Child<QLineEdit>(form, "EditPicHeight")->setText(QStringLiteral("12.5"));
    int32_t width = 0;
    int32_t height = 0;
    try {
        form.GetPicSize(width, height);
        QFAIL("no failure");
    } catch (const gustara::EngineError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("'12.5' は整数ではありません"));
    }
}

void MainWindowTest::qualityValueByLevel()
{
    TFormMain form;
    const std::pair<int, int> levels[] = {{0, 100}, {1, 80}, {2, 60}, {3, 30}, {4, 10}, {-1, 0}};
    for (const auto& [index, quality] : levels) {
        Child<QComboBox>(form, "CBQualityLevel")->setCurrentIndex(index);
        QCOMPARE(form.GetQualityValue(), quality);
    }
}

void MainWindowTest::flavourLevel()
{
    TFormMain form;
    const std::pair<QRadioButton*, int> choices[] = {
        {Child<QRadioButton>(form, "RBGustaraLv1"), 1}, {Child<QRadioButton>(form, "RBGustaraLv2"), 2}, {Child<QRadioButton>(form, "RBGustaraLv3"), 3}};
    for (const auto& [choice, level] : choices) {
        choice->setChecked(true);
        QCOMPARE(form.GetFlavourLevel(), level);
    }
    Child<QRadioButton>(form, "RBGustaraLv3")->setChecked(false);
    QCOMPARE(form.GetFlavourLevel(), 3);
}

void MainWindowTest::aboutWindowOpensModally()
{
    TFormMain form;
    gustara::TFormStatus status(&form);
    gustara::TFormAbout about(&form);
    form.AttachWindows(status, about);
    QVERIFY(about.isHidden() && status.isHidden());
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activeModalWidget();
        about.reject();
    });
    Child<QAction>(form, "A1")->trigger();
    QCOMPARE(shown, static_cast<QWidget*>(&about));
    QCOMPARE(about.windowTitle(), QStringLiteral("このソフトについて"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
