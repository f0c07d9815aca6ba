#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

using gustara::DecodeIniValue;
using gustara::EncodeIniValue;
using gustara::IniFile;

namespace {

// Values that need quoting or escaping, and ones that look like INI syntax.
const std::string kRoundTripValues[] = {
    std::string(),  // empty
    std::string("Gustara"),  // plain
    std::string("料理の写真"),  // japanese
    std::string("a=b;c # d"),  // equals and semicolon
    std::string("  lead"),  // leading blank
    std::string("trail\t "),  // trailing blank
    std::string("   "),  // only blanks
    std::string("\"quoted\""),  // quoted
    std::string("\""),  // one quote
    std::string("\"\""),  // two quotes
    std::string("a\"b"),  // quote inside
    std::string(" \"x\" "),  // blank then quotes
    std::string("C:\\new\\"),  // backslashes
    std::string("\"\\n\""),  // quoted backslash
    std::string("two\nlines"),  // line feed
    std::string("cr\r"),  // carriage return
    std::string("[PIC_SIZE]"),  // section look-alike
    std::string("nul\0inside", 10),  // nul byte
    std::string("\xff\xfe\x80"),  // invalid utf-8
};

TEST(IniFile, EveryValueRoundTrips)
{
    for (const std::string& value : kRoundTripValues) {
        SCOPED_TRACE(value);
        IniFile ini = IniFile::Parse("[S]\nK=old\n");
        ini.Write("S", "K", value);
        ini.Write("S", "New", value);
        ini.Write("Other", "K", value);
        const IniFile reread = IniFile::Parse(ini.Text());
        EXPECT_EQ(reread.Read("S", "K"), std::optional<std::string>(value));
        EXPECT_EQ(reread.Read("S", "New"), std::optional<std::string>(value));
        EXPECT_EQ(reread.Read("Other", "K"), std::optional<std::string>(value));
        EXPECT_EQ(DecodeIniValue(EncodeIniValue(value)), value);
    }
}

TEST(IniFile, PlainValuesAreWrittenAsTheyAre)
{
    IniFile ini;
    ini.Write("S", "A", "a=b;c");
    ini.Write("S", "B", "料理");
    ini.Write("S", "C", " x");
    ini.Write("S", "D", "\"q\"");
    EXPECT_EQ(ini.Text(), std::string("[S]\nA=a=b;c\nB=料理\nC=\" x\"\nD=\"\"q\"\"\n"));
}

TEST(IniFile, HandWrittenValuesLoseBlanksAndOneQuotePair)
{
    const IniFile ini = IniFile::Parse("[S]\nA =  spaced out  \nB=  \"  kept  \"  \nC=\"C:\\x\"\nD=\nE=\"a\" b\n");
    EXPECT_EQ(*ini.Read("S", "A"), std::string("spaced out"));
    EXPECT_EQ(*ini.Read("S", "B"), std::string("  kept  "));
    EXPECT_EQ(*ini.Read("S", "C"), std::string("C:\\x"));
    EXPECT_EQ(*ini.Read("S", "D"), std::string());
    EXPECT_EQ(*ini.Read("S", "E"), std::string("\"a\" b"));
}

TEST(IniFile, NamesMatchWithoutCaseAndBlanks)
{
    IniFile ini = IniFile::Parse("[ Pic_Size ]\r\n  width = 640\r\n");
    EXPECT_EQ(*ini.Read("PIC_SIZE", "WIDTH"), std::string("640"));
    ini.Write("pic_size", "Width", "800");
    EXPECT_EQ(ini.Text(), std::string("[ Pic_Size ]\r\n  width =800\r\n"));
}

TEST(IniFile, FirstSectionAndFirstKeyCount)
{
    IniFile ini = IniFile::Parse("[S]\nK=1\nK=2\n[S]\nK=3\nL=4\n");
    EXPECT_EQ(*ini.Read("S", "K"), std::string("1"));
    EXPECT_TRUE(!ini.Read("S", "L"));
    ini.Write("S", "K", "9");
    EXPECT_EQ(ini.Text(), std::string("[S]\nK=9\nK=2\n[S]\nK=3\nL=4\n"));
}

TEST(IniFile, KeysOutsideTheirSectionAreNotFound)
{
    const IniFile ini = IniFile::Parse("K=top\n[A]\n;K=comment\n#K=comment\n =no name\nK\n[B]\nK=b\n");
    EXPECT_TRUE(!ini.Read("A", "K"));
    EXPECT_TRUE(!ini.Read("", "K"));
    EXPECT_TRUE(!ini.Read("C", "K"));
    EXPECT_EQ(*ini.Read("B", "K"), std::string("b"));
}

TEST(IniFile, WriteKeepsEveryOtherLineByteForByte)
{
    const std::string before = "; settings of the tool\r\n"
                               "\r\n"
                               "[Unknown]\r\n"
                               "Width=kept\r\n"
                               "[PIC_SIZE]\r\n"
                               "   # hand note\r\n"
                               "WIDTH = 640 \r\n"
                               "extra=1\r\n"
                               "\r\n"
                               "[Tail]\r\n"
                               "garbage line without equals\r\n";
    IniFile ini = IniFile::Parse(before);
    EXPECT_EQ(ini.Text(), before);
    ini.Write("PIC_SIZE", "WIDTH", "1024");
    std::string expected = before;
    expected.replace(expected.find("WIDTH = 640 "), 12, "WIDTH =1024");
    EXPECT_EQ(ini.Text(), expected);
}

TEST(IniFile, MissingKeyGoesAfterTheLastKeyOfItsSection)
{
    IniFile ini = IniFile::Parse("[A]\nX=1\n; note\n\n[B]\n");
    ini.Write("A", "Y", "2");
    ini.Write("B", "Z", "3");
    EXPECT_EQ(ini.Text(), std::string("[A]\nX=1\nY=2\n; note\n\n[B]\nZ=3\n"));
}

TEST(IniFile, MissingSectionGoesAtTheEnd)
{
    IniFile ini = IniFile::Parse("[A]\r\nX=1\r\n\r\n");
    ini.Write("B", "Y", "2");
    ini.Write("A", "Z", "3");
    EXPECT_EQ(ini.Text(), std::string("[A]\r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=2\r\n"));
}

TEST(IniFile, UnterminatedLastLineGetsALineEnd)
{
    IniFile keyLast = IniFile::Parse("[A]\nX=1");
    keyLast.Write("A", "Y", "2");
    EXPECT_EQ(keyLast.Text(), std::string("[A]\nX=1\nY=2\n"));
    IniFile otherLast = IniFile::Parse("; only a comment");
    otherLast.Write("A", "X", "1");
    EXPECT_EQ(otherLast.Text(), std::string("; only a comment\n[A]\nX=1\n"));
    // A "\r" ending the text is a line end cut short; other "\r" stay in the value, also once a
    // line follows (both found by fuzzing).
    IniFile crLast = IniFile::Parse("[A]\r\nX=1\r");
    EXPECT_EQ(*crLast.Read("A", "X"), std::string("1"));
    crLast.Write("A", "Y", "2");
    EXPECT_EQ(crLast.Text(), std::string("[A]\r\nX=1\r\nY=2\r\n"));
    IniFile twoCrLast = IniFile::Parse("[A]\nX=1\r\r");
    EXPECT_EQ(*twoCrLast.Read("A", "X"), std::string("1\r"));
    twoCrLast.Write("B", "Y", "2");
    EXPECT_EQ(*IniFile::Parse(twoCrLast.Text()).Read("A", "X"), std::string("1\r"));
}

TEST(IniFile, HostileTextsParseAndStayIntact)
{
    std::mt19937 random(7);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    std::string manySections;
    for (int i = 0; i < 20000; ++i)
        manySections += "[S" + std::to_string(i) + "]\nK=" + std::to_string(i) + "\n";
    const std::string texts[] = {
        garbage,
        std::string(1 << 22, 'x') + "=" + std::string(1 << 22, 'y'),
        std::string(1 << 20, '['),
        std::string(1 << 20, '\n'),
        std::string(1 << 20, '\r'),
        std::string(1 << 20, '\0'),
        manySections,
    };
    for (const std::string& text : texts) {
        IniFile ini = IniFile::Parse(text);
        EXPECT_EQ(ini.Text(), text);
        EXPECT_TRUE(!ini.Read("PIC_SIZE", "WIDTH"));
        ini.Write("PIC_SIZE", "WIDTH", "800");
        EXPECT_EQ(*IniFile::Parse(ini.Text()).Read("PIC_SIZE", "WIDTH"), std::string("800"));
    }
    EXPECT_EQ(*IniFile::Parse(manySections).Read("s19999", "k"), std::string("19999"));
}

} // namespace
