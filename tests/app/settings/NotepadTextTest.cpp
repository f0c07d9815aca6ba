#include "settings/NotepadText.h"

#include <QTest>

#include <string>

Q_DECLARE_METATYPE(std::string)

namespace {

// "DIR_NAME=料理\r\n" in UTF-16, little- and big-endian, after the mark.
constexpr char kLittle[] = "\xFF\xFE" "D\0I\0R\0_\0N\0A\0M\0E\0=\0\x99\x65\x06\x74\r\0\n\0";
constexpr char kBig[] = "\xFE\xFF" "\0D\0I\0R\0_\0N\0A\0M\0E\0=\x65\x99\x74\x06\0\r\0\n";
constexpr char kMark[] = "\xEF\xBB\xBF";

} // namespace

class NotepadTextTest : public QObject {
    Q_OBJECT
private slots:
    void ReadsEveryFormNotepadSaves_data()
    {
        QTest::addColumn<std::string>("file");
        QTest::addColumn<std::string>("text");
        QTest::newRow("UTF-8 with mark") << std::string(kMark) + "DIR_NAME=料理\r\n" << std::string("DIR_NAME=料理\r\n");
        QTest::newRow("UTF-8 without mark") << std::string("DIR_NAME=料理\n") << std::string("DIR_NAME=料理\n");
        QTest::newRow("mark alone") << std::string(kMark) << std::string();
        QTest::newRow("UTF-16 little-endian") << std::string(kLittle, sizeof kLittle - 1) << std::string("DIR_NAME=料理\r\n");
        QTest::newRow("UTF-16 big-endian") << std::string(kBig, sizeof kBig - 1) << std::string("DIR_NAME=料理\r\n");
    }
    void ReadsEveryFormNotepadSaves()
    {
        QFETCH(std::string, file);
        QFETCH(std::string, text);
        QCOMPARE(gustara::TextFromNotepadFile(file), text);
    }

    void WritesUtf8WithMarkAndWindowsLineEnds_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<std::string>("file");
        QTest::newRow("empty") << std::string() << std::string(kMark);
        QTest::newRow("mixed ends") << std::string("[A]\nX=接頭-\r\nY=1") << std::string(kMark) + "[A]\r\nX=接頭-\r\nY=1";
        QTest::newRow("first line empty") << std::string("\n\n") << std::string(kMark) + "\r\n\r\n";
    }
    void WritesUtf8WithMarkAndWindowsLineEnds()
    {
        QFETCH(std::string, text);
        QFETCH(std::string, file);
        QCOMPARE(gustara::NotepadFileFromText(text), file);
        // What is written reads back with Windows line ends.
        QCOMPARE(gustara::TextFromNotepadFile(file), file.substr(3));
    }
};

QTEST_MAIN(NotepadTextTest)
#include "NotepadTextTest.moc"
