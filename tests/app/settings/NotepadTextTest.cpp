#include "settings/NotepadText.h"

#include <QTest>

#include <string>

Q_DECLARE_METATYPE(std::string)

namespace {

// "DIR_NAME=料理\r\n" in UTF-16, little- and big-endian, after the mark.
const std::string kLittle("\xFF\xFE" "D\0I\0R\0_\0N\0A\0M\0E\0=\0\x99\x65\x06\x74\r\0\n\0", 30);
const std::string kBig("\xFE\xFF" "\0D\0I\0R\0_\0N\0A\0M\0E\0=\x65\x99\x74\x06\0\r\0\n", 30);

} // namespace

class NotepadTextTest : public QObject {
    Q_OBJECT
private slots:
    void ReadsEveryFormNotepadSaves_data()
    {
        QTest::addColumn<std::string>("file");
        QTest::addColumn<std::string>("text");
        QTest::newRow("UTF-8 with mark") << std::string("\xEF\xBB\xBFDIR_NAME=料理\r\n") << std::string("DIR_NAME=料理\r\n");
        QTest::newRow("UTF-8 without mark") << std::string("DIR_NAME=料理\n") << std::string("DIR_NAME=料理\n");
        QTest::newRow("mark alone") << std::string("\xEF\xBB\xBF") << std::string();
        QTest::newRow("UTF-16 little-endian") << kLittle << std::string("DIR_NAME=料理\r\n");
        QTest::newRow("UTF-16 big-endian") << kBig << std::string("DIR_NAME=料理\r\n");
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
        QTest::newRow("empty") << std::string() << std::string("\xEF\xBB\xBF");
        QTest::newRow("mixed ends") << std::string("[A]\nX=接頭-\r\nY=1") << std::string("\xEF\xBB\xBF[A]\r\nX=接頭-\r\nY=1");
        QTest::newRow("first line empty") << std::string("\n\n") << std::string("\xEF\xBB\xBF\r\n\r\n");
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
