#include "foundation/ini_file.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

static IniFile Parsed(const QByteArray &bytes) {
    IniFile ini;
    ini.Parse(bytes);
    return ini;
}

TEST(IniFile, ReadsHandWrittenFiles) {
    const QByteArray text = "\xEF\xBB\xBF; a comment\r\n"
                            "\r\n"
                            "  [ Options ]  \r\n"
                            "\tName  =   \"  quoted  \"  \r\n"
                            "single='x'\n"
                            "half=\"open\n"
                            "empty=\n"
                            ";Name=commented\n"
                            "noequals\n"
                            "[other]\r"
                            "name=second section\r";
    const IniFile ini = Parsed(text);
    EXPECT_EQ(ini.ReadString(u"OPTIONS"_s, u"name"_s, u"-"_s), u"  quoted  "_s);
    EXPECT_EQ(ini.ReadString(u"options"_s, u"SINGLE"_s, u"-"_s), u"x"_s);
    EXPECT_EQ(ini.ReadString(u"options"_s, u"half"_s, u"-"_s), u"\"open"_s);
    EXPECT_EQ(ini.ReadString(u"options"_s, u"empty"_s, u"-"_s), u""_s);
    EXPECT_EQ(ini.ReadString(u"options"_s, u"noequals"_s, u"-"_s), u"-"_s);
    EXPECT_EQ(ini.ReadString(u"other"_s, u"name"_s, u"-"_s), u"second section"_s);
    EXPECT_EQ(ini.ReadString(u"missing"_s, u"name"_s, u"-"_s), u"-"_s);
    EXPECT_EQ(ini.SectionNames(), (QStringList{u"Options"_s, u"other"_s}));
}

TEST(IniFile, IntegersAndBooleans) {
    const IniFile ini = Parsed("[n]\na=0x400\nb=abc\nc=$ff\nd=-12\ne=\nf=2\ng=0\nh=12x\n"
                               "i=99999999999\nj=$FFFFFFFF\nk=0X1F\n");
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"a"_s, 7), 1024);
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"b"_s, 7), 7);
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"c"_s, 7), 255);
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"d"_s, 7), -12);
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"e"_s, 7), 7);
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"h"_s, 7), 7);
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"i"_s, 7), 7);
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"j"_s, 7), -1);
    EXPECT_EQ(ini.ReadInteger(u"n"_s, u"k"_s, 7), 31);
    EXPECT_TRUE(ini.ReadBool(u"n"_s, u"f"_s, false));
    EXPECT_FALSE(ini.ReadBool(u"n"_s, u"g"_s, true));
    EXPECT_TRUE(ini.ReadBool(u"n"_s, u"b"_s, true));
}

TEST(IniFile, ValuesAreCutAt2047Characters) {
    const QByteArray longLine = "[s]\nk=" + QByteArray(10 * 1024 * 1024, 'v');
    const IniFile ini = Parsed(longLine);
    EXPECT_EQ(ini.ReadString(u"s"_s, u"k"_s, {}).size(), IniFile::kMaxValueLength);
}

TEST(IniFile, WritingKeepsEverythingElse) {
    IniFile ini = Parsed("; keep me\r\n[A]\r\nx=1\r\nunknown = keep\r\n\r\n[B]\r\ny=2\r\n");
    ini.WriteString(u"a"_s, u"X"_s, u"10"_s);  // replaced in place
    ini.WriteString(u"A"_s, u"new"_s, u"n"_s); // after the last entry, before the blank
    ini.WriteString(u"C"_s, u"z"_s, u"3"_s);   // new section at the end
    EXPECT_EQ(ini.ToBytes(), QByteArray("; keep me\r\n[A]\r\nX=10\r\nunknown = keep\r\nnew=n\r\n"
                                        "\r\n[B]\r\ny=2\r\n[C]\r\nz=3\r\n"));
}

TEST(IniFile, WrittenValuesReadBackUnchanged) {
    // Values whose ends the reader would trim or unquote are written quoted;
    // line breaks cannot be held by a line and become blanks.
    const QStringList values{u""_s,    u"plain"_s,  u" lead"_s, u"trail\t"_s,      u"\"q\""_s,
                             u"'s'"_s, u"\"half"_s, u"a=b;c"_s, u"\u00E4\u20AC"_s, u"[x]"_s};
    IniFile ini;
    for (int i = 0; i < values.size(); ++i)
        ini.WriteString(u"S"_s, u"k"_s + QString::number(i), values[i]);
    const IniFile back = Parsed(ini.ToBytes());
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(back.ReadString(u"S"_s, u"k"_s + QString::number(i), u"?"_s), values[i]);
    ini.WriteString(u"S"_s, u"br"_s, u"a\r\nb"_s);
    EXPECT_EQ(Parsed(ini.ToBytes()).ReadString(u"S"_s, u"br"_s, {}), u"a  b"_s);
    EXPECT_EQ(Parsed(ini.ToBytes()).KeyNames(u"S"_s).size(), values.size() + 1);
}

TEST(IniFile, RandomBytesNeverBreakTheReader) {
    QRandomGenerator random(42);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(2000)), Qt::Uninitialized);
        for (char &c : bytes)
            c = char(random.bounded(256));
        IniFile ini = Parsed(bytes);
        for (const QString &section : ini.SectionNames())
            for (const QString &key : ini.KeyNames(section))
                (void)ini.ReadInteger(section, key, 0);
        ini.WriteString(u"OPTIONS"_s, u"k"_s, u"v"_s);
        EXPECT_EQ(Parsed(ini.ToBytes()).ReadString(u"OPTIONS"_s, u"k"_s, {}), u"v"_s);
    }
}

TEST(IniFile, SaveIsAtomicAndReportsFailure) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"prg.ini"_s);
    IniFile ini;
    ini.WriteString(u"S"_s, u"k"_s, u"v"_s);
    ASSERT_TRUE(ini.Save(path));
    IniFile loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded.ReadString(u"S"_s, u"k"_s, {}), u"v"_s);

    QString error;
    EXPECT_FALSE(ini.Save(dir.filePath(u"no/such/folder/prg.ini"_s), &error));
    EXPECT_FALSE(error.isEmpty());
    // A folder where the file should be: cannot be read, cannot be written.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"blocked.ini"_s));
    EXPECT_FALSE(loaded.Load(dir.filePath(u"blocked.ini"_s)));
    EXPECT_FALSE(ini.Save(dir.filePath(u"blocked.ini"_s)));
}

// A settings file is written back in the encoding it was read in; Latin-1
// gives way to UTF-8 only for a character it cannot hold.
TEST(IniFile, KeepsTheEncodingOfTheFile) {
    IniFile latin1 = Parsed("[PATHS]\nVIEW_PATH=/caf\xe9/\n");
    latin1.WriteString(u"PATHS"_s, u"SNAPSHOT_PATH"_s, u"/\u00e9t\u00e9/"_s);
    EXPECT_EQ(latin1.ToBytes(),
              QByteArray("[PATHS]\nVIEW_PATH=/caf\xe9/\nSNAPSHOT_PATH=/\xe9t\xe9/\n"));
    latin1.WriteString(u"PATHS"_s, u"COPY_PATH"_s, u"/\u20ac/"_s);
    EXPECT_EQ(latin1.ToBytes(), QByteArray("[PATHS]\nVIEW_PATH=/caf\xc3\xa9/\nSNAPSHOT_PATH=/"
                                           "\xc3\xa9t\xc3\xa9/\nCOPY_PATH=/\xe2\x82\xac/\n"));

    const QByteArray utf16("\xff\xfe[\0A\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22);
    IniFile wide = Parsed(utf16);
    EXPECT_EQ(wide.ReadString(u"A"_s, u"k"_s, {}), u"v"_s);
    EXPECT_EQ(wide.ToBytes(), utf16);
}

// Reads keep the last section found; writes that move lines, and a new parse,
// must not leave that answer pointing at the wrong line.
TEST(IniFile, ReadsBetweenWritesSeeEverySectionWhereItNowIs) {
    IniFile ini = Parsed("[a]\nx=1\n\n[b]\ny=2\n[c]\nz=3\n");
    EXPECT_EQ(ini.ReadString(u"B"_s, u"y"_s, {}), u"2"_s);
    ini.WriteString(u"a"_s, u"new"_s, u"n"_s); // one line more above [b]
    EXPECT_EQ(ini.ReadString(u"b"_s, u"y"_s, {}), u"2"_s);
    EXPECT_EQ(ini.ReadString(u"a"_s, u"new"_s, {}), u"n"_s);
    ini.WriteString(u"d"_s, u"w"_s, u"4"_s);
    EXPECT_EQ(ini.ReadString(u"a"_s, u"x"_s, {}), u"1"_s);
    EXPECT_EQ(ini.ReadString(u"d"_s, u"w"_s, {}), u"4"_s);
    EXPECT_EQ(ini.KeyNames(u"b"_s), QStringList{u"y"_s});
    ini.Parse("[b]\ny=other\n");
    EXPECT_EQ(ini.ReadString(u"b"_s, u"y"_s, {}), u"other"_s);
    EXPECT_EQ(ini.ReadString(u"a"_s, u"x"_s, u"gone"_s), u"gone"_s);
}
