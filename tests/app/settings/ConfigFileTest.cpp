#include "WindowTestSupport.h"
#include "main/UnitMain.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include <unistd.h>

using gustara::TFormMain;
using gustara::test::AnswerMessageBoxes;
using gustara::test::Child;
using gustara::test::ConfigHome;

namespace {

// The file that a run without a settings file writes.
const QByteArray kWrittenFromScratch = "[PIC_SIZE]\n"
                                       "USE_PIC_SIZE=0\n"
                                       "REGULAR_SIZE=1\n"
                                       "REGULAR_INDEX=0\n"
                                       "INPUT_SIZE=0\n"
                                       "WIDTH=800\n"
                                       "HEIGHT=800\n"
                                       "[PIC_SAVE]\n"
                                       "USE_DECIDES_NAME=1\n"
                                       "DECIDES_INDEX=0\n"
                                       "DECIDES_STRING=s-\n"
                                       "USE_MAKE_DIR=0\n"
                                       "DIR_NAME=Gustara\n"
                                       "USE_PROGRESSIVE=0\n"
                                       "[GUSTARA_LV]\n"
                                       "LV_1=0\n"
                                       "LV_2=0\n"
                                       "LV_3=1\n"
                                       "[GUSTARA_EXT]\n"
                                       "KEEP_GOING=0\n"
                                       "MORE_FORMATS=0\n"
                                       "SHOW_QUALITY=0\n"
                                       "USE_QUALITY=1\n"
                                       "BY_QUALITY=1\n"
                                       "QUALITY_INDEX=0\n"
                                       "FILE_SIZE=800\n"
                                       "FOLDERS=0\n"
                                       "KEEP_DATE=0\n";

// The state of a control as a short text: "1"/"0" for a check box or choice, the index
// of a list, the text of an edit field, the position of the track bar; "Name.enabled"
// gives "1"/"0" for whether the control is enabled.
QString StateOf(const TFormMain& form, const QString& name)
{
    const bool askEnabled = name.endsWith(QStringLiteral(".enabled"));
    const QString controlName = askEnabled ? name.chopped(8) : name;
    if (const auto* item = form.findChild<QAction*>(controlName))
        return item->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    const auto* control = form.findChild<QWidget*>(controlName);
    if (!control)
        return QStringLiteral("<no control %1>").arg(controlName);
    if (askEnabled)
        return control->isEnabled() ? QStringLiteral("1") : QStringLiteral("0");
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (const auto* list = qobject_cast<const QComboBox*>(control))
        return QString::number(list->currentIndex());
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (const auto* slider = qobject_cast<const QSlider*>(control))
        return QString::number(slider->value());
    return QStringLiteral("<unknown kind>");
}

// The value lines of the written file, "KEY=value", for the keys named in `wanted`.
QStringList WrittenLines(const QByteArray& file, const QStringList& wanted)
{
    QStringList lines;
    for (const QByteArray& line : file.split('\n')) {
        const QString text = QString::fromUtf8(line);
        for (const QString& key : wanted) {
            if (text.startsWith(key + QLatin1Char('=')))
                lines << text;
        }
    }
    return lines;
}

} // namespace

class ConfigFileTest : public QObject {
    Q_OBJECT

private slots:
    void withoutFileTheDefaultsAreShownAndAllKeysWritten();
    void valuesReachTheirControlsAndAreWrittenBack_data();
    void valuesReachTheirControlsAndAreWrittenBack();
    void hiddenControlsTakeFixedValuesWhateverTheFileHolds();
    void saveKeepsOtherLinesAndReplacesValuesInPlace();
    void awkwardTextsRoundTripThroughTheFile();
    void hostileFileGivesDefaultsAndIsKept();
    void saveLeavesNoTemporaryFileBehind();
    void settingsFileThatIsAFolderShowsTheErrorBox();
    void folderThatCannotBeCreatedShowsTheErrorBoxAtSave();
    void readOnlyFolderShowsTheErrorBox();
    void readOnlyFileIsNotReplaced();
    void relativeConfigHomeFallsBackToTheHomeFolder();
    void textsAreCutBetweenCharacters();
};

void ConfigFileTest::withoutFileTheDefaultsAreShownAndAllKeysWritten()
{
    ConfigHome home;
    {
        TFormMain form;
        QCOMPARE(form.SettingsDir, home.settingsDir());
        const std::pair<const char*, const char*> expected[] = {
            {"CBPicSize", "0"},       {"RBRegularSize", "1"},  {"CBSizeList", "0"},   {"RBInputPicSize", "0"},
            {"EditPicWidth", "800"},  {"EditPicHeight", "800"}, {"RBDecidesName", "1"}, {"CBSelectNamePos", "0"},
            {"EditFileName", "s-"},   {"RBMakeDir", "0"},      {"EditDirName", "Gustara"}, {"CBProgressive", "0"},
            {"RBGustaraLv1", "0"},    {"RBGustaraLv2", "0"},   {"RBGustaraLv3", "1"},
        };
        for (const auto& [name, state] : expected)
            QCOMPARE(StateOf(form, QString::fromLatin1(name)), QString::fromLatin1(state));
        QVERIFY(!QFile::exists(home.iniPath()));
    }
    QCOMPARE(home.readIni(), kWrittenFromScratch);
}

void ConfigFileTest::valuesReachTheirControlsAndAreWrittenBack_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("states");   // "Control=state" after the load
    QTest::addColumn<QStringList>("written");  // "KEY=value" lines of the saved file, in file order

    QTest::newRow("both size choices true: the later key wins")
        << QByteArray("[PIC_SIZE]\nREGULAR_SIZE=1\nINPUT_SIZE=1\n")
        << QStringList{"RBRegularSize=0", "RBInputPicSize=1"} << QStringList{"REGULAR_SIZE=0", "INPUT_SIZE=1"};
    QTest::newRow("both size choices false")
        << QByteArray("[PIC_SIZE]\nUSE_PIC_SIZE=1\nREGULAR_SIZE=0\nINPUT_SIZE=0\n")
        << QStringList{"RBRegularSize=0", "RBInputPicSize=0", "EditPicWidth.enabled=1", "CBSizeList.enabled=0"}
        << QStringList{"REGULAR_SIZE=0", "INPUT_SIZE=0"};
    QTest::newRow("both save choices false")
        << QByteArray("[PIC_SAVE]\nUSE_DECIDES_NAME=0\nUSE_MAKE_DIR=0\n")
        << QStringList{"RBDecidesName=0", "RBMakeDir=0", "EditFileName.enabled=0", "EditDirName.enabled=0"}
        << QStringList{"USE_DECIDES_NAME=0", "USE_MAKE_DIR=0"};
    QTest::newRow("no strength") << QByteArray("[GUSTARA_LV]\nLV_1=0\nLV_2=0\nLV_3=0\n")
                                 << QStringList{"RBGustaraLv1=0", "RBGustaraLv2=0", "RBGustaraLv3=0"}
                                 << QStringList{"LV_1=0", "LV_2=0", "LV_3=0"};
    QTest::newRow("strengths 1 and 3: 3 wins") << QByteArray("[GUSTARA_LV]\nLV_1=1\nLV_3=1\n")
                                              << QStringList{"RBGustaraLv1=0", "RBGustaraLv3=1"}
                                              << QStringList{"LV_1=0", "LV_3=1", "LV_2=0"};
    QTest::newRow("preset index 7") << QByteArray("[PIC_SIZE]\nREGULAR_INDEX=7\n") << QStringList{"CBSizeList=-1"}
                                    << QStringList{"REGULAR_INDEX=-1"};
    QTest::newRow("preset index -1") << QByteArray("[PIC_SIZE]\nREGULAR_INDEX=-1\n") << QStringList{"CBSizeList=-1"}
                                     << QStringList{"REGULAR_INDEX=-1"};
    QTest::newRow("hexadecimal index") << QByteArray("[PIC_SIZE]\nREGULAR_INDEX=0x6\n[PIC_SAVE]\nDECIDES_INDEX=$1\n")
                                       << QStringList{"CBSizeList=6", "CBSelectNamePos=1"}
                                       << QStringList{"REGULAR_INDEX=6", "DECIDES_INDEX=1"};
    QTest::newRow("unparseable numbers give defaults")
        << QByteArray("[PIC_SIZE]\nUSE_PIC_SIZE=1.5\nREGULAR_INDEX=1.5\n[GUSTARA_LV]\nLV_3=abc\n")
        << QStringList{"CBPicSize=0", "CBSizeList=0", "RBGustaraLv3=1"}
        << QStringList{"USE_PIC_SIZE=0", "REGULAR_INDEX=0", "LV_3=1"};
    QTest::newRow("any non-zero flag is true") << QByteArray("[PIC_SIZE]\nUSE_PIC_SIZE=0x10\n[PIC_SAVE]\nUSE_PROGRESSIVE=-3\n")
                                               << QStringList{"CBPicSize=1", "CBProgressive=1"}
                                               << QStringList{"USE_PIC_SIZE=1", "USE_PROGRESSIVE=1"};
    QTest::newRow("width abc is shown as it is")
        << QByteArray("[PIC_SIZE]\nWIDTH=abc\nHEIGHT=\n") << QStringList{"EditPicWidth=abc", "EditPicHeight="}
        << QStringList{"WIDTH=abc", "HEIGHT="};
    QTest::newRow("texts longer than the typing limit are not cut")
        << QByteArray("[PIC_SIZE]\nWIDTH=1234567\n") << QStringList{"EditPicWidth=1234567"}
        << QStringList{"WIDTH=1234567"};
    QTest::newRow("names in any case")
        << QByteArray("[pic_size]\nuse_pic_size=1\ninput_size=1\n[Pic_Save]\nDir_Name=Out\n")
        << QStringList{"CBPicSize=1", "RBInputPicSize=1", "EditDirName=Out", "EditPicWidth.enabled=1"}
        << QStringList{"use_pic_size=1", "input_size=1", "Dir_Name=Out"};
    QTest::newRow("resizing on with the preset: the enabling rules ran after the load")
        << QByteArray("[PIC_SIZE]\nUSE_PIC_SIZE=1\n")
        << QStringList{"CBSizeList.enabled=1", "RBInputPicSize.enabled=1", "EditPicWidth.enabled=0"}
        << QStringList{"USE_PIC_SIZE=1"};
    QTest::newRow("keep going, in a section of its own")
        << QByteArray("[GUSTARA_EXT]\nKEEP_GOING=1\n") << QStringList{"KeepGoingItem=1"} << QStringList{"KEEP_GOING=1"};
    QTest::newRow("keep going that does not parse") << QByteArray("[GUSTARA_EXT]\nKEEP_GOING=yes\n")
                                                   << QStringList{"KeepGoingItem=0"} << QStringList{"KEEP_GOING=0"};
    QTest::newRow("more formats") << QByteArray("[GUSTARA_EXT]\nMORE_FORMATS=1\n") << QStringList{"MoreFormatsItem=1"}
                                  << QStringList{"MORE_FORMATS=1"};
    QTest::newRow("language of no choice: automatic, kept")
        << QByteArray("[GUSTARA_EXT]\nLANGUAGE=fr\n") << QStringList{"LanguageAutoItem=1"} << QStringList{"LANGUAGE=fr"};
    // The quality group: its keys count only while it is shown, and are kept while it is not.
    const QByteArray quality("USE_QUALITY=1\nBY_QUALITY=0\nQUALITY_INDEX=2\nFILE_SIZE=300\n");
    const QStringList qualityKept{"USE_QUALITY=1", "BY_QUALITY=0", "QUALITY_INDEX=2", "FILE_SIZE=300"};
    QTest::newRow("quality keys while the group is hidden")
        << "[GUSTARA_EXT]\n" + quality
        << QStringList{"QualityItem=0", "CBQuality=1", "RBQuality=1", "CBQualityLevel=0", "EditFileSize=800"}
        << qualityKept;
    QTest::newRow("quality group by file size") << "[GUSTARA_EXT]\nSHOW_QUALITY=1\n" + quality
                                                << QStringList{"QualityItem=1", "RBFileSize=1", "RBQuality=0",
                                                               "CBQualityLevel=2", "EditFileSize=300",
                                                               "CBQualityLevel.enabled=0", "EditFileSize.enabled=1"}
                                                << qualityKept;
    QTest::newRow("quality group by level") << QByteArray("[GUSTARA_EXT]\nSHOW_QUALITY=1\nQUALITY_INDEX=4\n")
                                            << QStringList{"RBQuality=1", "CBQualityLevel.enabled=1",
                                                           "EditFileSize.enabled=0", "CBQualityLevel=4"}
                                            << QStringList{"SHOW_QUALITY=1", "QUALITY_INDEX=4"};
    QTest::newRow("quality group switched off")
        << QByteArray("[GUSTARA_EXT]\nSHOW_QUALITY=1\nUSE_QUALITY=0\nQUALITY_INDEX=x\n")
        << QStringList{"CBQuality=0", "RBQuality.enabled=0", "CBQualityLevel.enabled=0", "EditFileSize.enabled=0",
                       "CBQualityLevel=0"}
        << QStringList{"USE_QUALITY=0", "QUALITY_INDEX=0"};
    QTest::newRow("folder mode") << QByteArray("[PIC_SAVE]\nUSE_MAKE_DIR=1\nDECIDES_INDEX=1\n")
                                 << QStringList{"RBDecidesName=0", "RBMakeDir=1", "EditDirName.enabled=1",
                                                "CBSelectNamePos.enabled=0", "CBSelectNamePos=1"}
                                 << QStringList{"USE_MAKE_DIR=1", "USE_DECIDES_NAME=0"};
}

void ConfigFileTest::valuesReachTheirControlsAndAreWrittenBack()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, states);
    QFETCH(QStringList, written);
    ConfigHome home;
    home.writeIni(file);
    {
        TFormMain form;
        for (const QString& state : states) {
            const QString name = state.section(QLatin1Char('='), 0, 0);
            QCOMPARE(name + QLatin1Char('=') + StateOf(form, name), state);
        }
    }
    QStringList keys;
    for (const QString& line : written)
        keys << line.section(QLatin1Char('='), 0, 0);
    QCOMPARE(WrittenLines(home.readIni(), keys), written);
}

void ConfigFileTest::hiddenControlsTakeFixedValuesWhateverTheFileHolds()
{
    ConfigHome home;
    const QByteArray file = "[PIC_SIZE]\nUSE_QUALITY=0\nQUALITY_LEVEL=3\nUSE_FILTER=1\n"
                            "[PIC_QUALITY]\nUSE_QUALITY=0\nBY_FILE_SIZE=1\nFILE_SIZE=12\n"
                            "[PIC_FILTER]\nUSE_FILTER=1\nCONTRAST=90\nMONOCHROME=1\nBRIGHTNESS_DOWN=1\n";
    home.writeIni(file);
    {
        TFormMain form;
        const std::pair<const char*, const char*> fixed[] = {
            {"CBQuality", "1"}, {"RBQuality", "1"},     {"CBQualityLevel", "0"},   {"RBFileSize", "0"},
            {"EditFileSize", "800"}, {"CBFilter", "0"}, {"TBContrast", "50"},      {"CBVivid", "0"},
            {"CBBrightness", "0"},   {"RBBrightnessUP", "1"}, {"RBBrightnessDown", "0"}, {"CBMonochrome", "0"},
        };
        for (const auto& [name, state] : fixed)
            QCOMPARE(StateOf(form, QString::fromLatin1(name)), QString::fromLatin1(state));
        QCOMPARE(form.GetQualityValue(), 100);
    }
    // The hand-added keys stay; the fifteen keys join them.
    QVERIFY(home.readIni().startsWith("[PIC_SIZE]\nUSE_QUALITY=0\nQUALITY_LEVEL=3\nUSE_FILTER=1\nUSE_PIC_SIZE=0\n"));
    QVERIFY(home.readIni().contains("[PIC_FILTER]\nUSE_FILTER=1\nCONTRAST=90\nMONOCHROME=1\nBRIGHTNESS_DOWN=1\n"));
}

void ConfigFileTest::saveKeepsOtherLinesAndReplacesValuesInPlace()
{
    ConfigHome home;
    home.writeIni("; written by hand\r\n"
                  "[GUSTARA_LV]\r\n"
                  "LV_2=1\r\n"
                  "lv_3=0\r\n"
                  "; strength notes\r\n"
                  "\r\n"
                  "[Window]\r\n"
                  "Left=10\r\n"
                  "[PIC_SIZE]\r\n"
                  "WIDTH = 640\r\n"
                  "HEIGHT=480  ; not a comment here\r\n");
    { TFormMain form; }
    QCOMPARE(home.readIni(), QByteArray("; written by hand\r\n"
                                        "[GUSTARA_LV]\r\n"
                                        "LV_2=1\r\n"
                                        "lv_3=0\r\n"
                                        "LV_1=0\r\n"
                                        "; strength notes\r\n"
                                        "\r\n"
                                        "[Window]\r\n"
                                        "Left=10\r\n"
                                        "[PIC_SIZE]\r\n"
                                        "WIDTH =640\r\n"
                                        "HEIGHT=480  ; not a comment here\r\n"
                                        "USE_PIC_SIZE=0\r\n"
                                        "REGULAR_SIZE=1\r\n"
                                        "REGULAR_INDEX=0\r\n"
                                        "INPUT_SIZE=0\r\n"
                                        "[PIC_SAVE]\r\n"
                                        "USE_DECIDES_NAME=1\r\n"
                                        "DECIDES_INDEX=0\r\n"
                                        "DECIDES_STRING=s-\r\n"
                                        "USE_MAKE_DIR=0\r\n"
                                        "DIR_NAME=Gustara\r\n"
                                        "USE_PROGRESSIVE=0\r\n"
                                        "[GUSTARA_EXT]\r\n"
                                        "KEEP_GOING=0\r\n"
                                        "MORE_FORMATS=0\r\n"
                                        "SHOW_QUALITY=0\r\nUSE_QUALITY=1\r\nBY_QUALITY=1\r\nQUALITY_INDEX=0\r\nFILE_SIZE=800\r\n"
                                        "FOLDERS=0\r\nKEEP_DATE=0\r\n"));
}

void ConfigFileTest::awkwardTextsRoundTripThroughTheFile()
{
    const QString texts[] = {
        QStringLiteral("  前後に空白  "), QStringLiteral("\"引用\""), QStringLiteral("a=b;c#d"),
        QStringLiteral("\\"), QStringLiteral("\""), QStringLiteral("two\nlines"),
    };
    for (const QString& text : texts) {
        ConfigHome home;
        {
            TFormMain form;
            Child<QLineEdit>(form, "EditFileName")->setText(text);
            Child<QLineEdit>(form, "EditDirName")->setText(text);
            Child<QLineEdit>(form, "EditPicWidth")->setText(text);
        }
        TFormMain reread;
        QCOMPARE(Child<QLineEdit>(reread, "EditFileName")->text(), text);
        QCOMPARE(Child<QLineEdit>(reread, "EditDirName")->text(), text);
        QCOMPARE(Child<QLineEdit>(reread, "EditPicWidth")->text(), text);
    }
}

void ConfigFileTest::hostileFileGivesDefaultsAndIsKept()
{
    ConfigHome home;
    QByteArray hostile = QByteArray("\0\xff", 2) + "[PIC_SIZE\n=\n[\n";
    hostile += QByteArray(1 << 20, 'z') + "\n";
    for (int i = 0; i < 5000; ++i)
        hostile += "[S" + QByteArray::number(i) + "]\n";
    home.writeIni(hostile);
    {
        TFormMain form;
        QCOMPARE(StateOf(form, QStringLiteral("EditPicWidth")), QStringLiteral("800"));
        QCOMPARE(StateOf(form, QStringLiteral("RBGustaraLv3")), QStringLiteral("1"));
    }
    const QByteArray saved = home.readIni();
    QVERIFY(saved.startsWith(hostile));
    QVERIFY(saved.endsWith(kWrittenFromScratch.mid(kWrittenFromScratch.indexOf("[GUSTARA_LV]"))));
    QVERIFY(saved.endsWith(kWrittenFromScratch.mid(kWrittenFromScratch.indexOf("[GUSTARA_LV]"))));
}

void ConfigFileTest::saveLeavesNoTemporaryFileBehind()
{
    ConfigHome home;
    home.writeIni("[PIC_SIZE]\nWIDTH=1\n");
    { TFormMain form; }
    QCOMPARE(QDir(home.settingsDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("config.ini")});
}

void ConfigFileTest::settingsFileThatIsAFolderShowsTheErrorBox()
{
    ConfigHome home;
    QVERIFY(QDir().mkpath(home.iniPath()));
    const auto boxes = AnswerMessageBoxes([] { TFormMain form; });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].title, QStringLiteral("画像を美味しくするソフト"));
    QCOMPARE(boxes[0].text, home.iniPath() + QStringLiteral(" に書き込めません."));
    QCOMPARE(boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes[0].buttonCount, qsizetype{1});
    QVERIFY(boxes[0].modal);
}

void ConfigFileTest::folderThatCannotBeCreatedShowsTheErrorBoxAtSave()
{
    ConfigHome home;
    const QString blocker = home.path() + QStringLiteral("/file");
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_CONFIG_HOME", blocker.toUtf8());
    const auto atSave = AnswerMessageBoxes([&] {
        TFormMain form;
        QCOMPARE(StateOf(form, QStringLiteral("EditDirName")), QStringLiteral("Gustara"));
    });
    QCOMPARE(atSave.size(), std::size_t{1});
    QCOMPARE(atSave[0].text, blocker + QStringLiteral("/Ferrowin/GustaraWorks/config.ini に書き込めません."));
}

void ConfigFileTest::readOnlyFolderShowsTheErrorBox()
{
    ConfigHome home;
    const QByteArray before = "[PIC_SIZE]\nWIDTH=1\n";
    home.writeIni(before);
    QFile::setPermissions(home.settingsDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (::access(home.settingsDir().toLocal8Bit().constData(), W_OK) == 0) {
        QFile::setPermissions(home.settingsDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QSKIP("this user may write into read-only folders");
    }
    const auto boxes = AnswerMessageBoxes([] { TFormMain form; });
    QFile::setPermissions(home.settingsDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(home.readIni(), before);
}

void ConfigFileTest::readOnlyFileIsNotReplaced()
{
    ConfigHome home;
    const QByteArray before = "[PIC_SIZE]\nWIDTH=1\n";
    home.writeIni(before);
    QFile::setPermissions(home.iniPath(), QFileDevice::ReadOwner);
    if (::access(home.iniPath().toLocal8Bit().constData(), W_OK) == 0)
        QSKIP("this user may write into read-only files");
    const auto boxes = AnswerMessageBoxes([] { TFormMain form; });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(home.readIni(), before);
}

void ConfigFileTest::relativeConfigHomeFallsBackToTheHomeFolder()
{
    const QByteArray savedHome = qgetenv("HOME");
    ConfigHome home;
    qputenv("HOME", home.path().toUtf8());
    for (const QByteArray& configHome : {QByteArray(), QByteArray("relative/dir")}) {
        qputenv("XDG_CONFIG_HOME", configHome);
        QCOMPARE(gustara::PrepareSettingsFolder(), home.path() + QStringLiteral("/.config/Ferrowin/GustaraWorks/"));
    }
    QVERIFY(QFileInfo(home.path() + QStringLiteral("/.config/Ferrowin/GustaraWorks")).isDir());
    qputenv("HOME", savedHome);
}

void ConfigFileTest::textsAreCutBetweenCharacters()
{
    // "あ" is three bytes: 2047 bytes hold 682 whole ones.
    std::string long3;
    for (int i = 0; i < 700; ++i)
        long3 += "あ";
    ConfigHome home;
    home.writeIni("[PIC_SAVE]\nDECIDES_STRING=" + QByteArray::fromStdString(long3) + "\n");
    TFormMain form;
    QCOMPARE(Child<QLineEdit>(form, "EditFileName")->text().size(), qsizetype{682});
}

QTEST_MAIN(ConfigFileTest)
#include "ConfigFileTest.moc"

#include <utility>
