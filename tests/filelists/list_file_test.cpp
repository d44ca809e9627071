#include "filelists/list_file.h"
#include "filelists/list_status.h"
#include "temp_files.h"
#include "unusual_files.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::testing::ReadBytes;
using velmora::testing::WriteBytes;

namespace {

class ListFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(ListFileTest, WritesCrLfAfterEveryLineAndReadsItBack) {
    const QStringList lines{u"/w/*index*.htm*2048*1999-08-15  09:05"_s, u"/w/ü/*ä*.htm*1*d"_s,
                            QString(), u"/x/*y***"_s};
    ASSERT_TRUE(WriteListFile(Path(u"a.lst"_s), lines));
    const QByteArray bytes = ReadBytes(Path(u"a.lst"_s));
    EXPECT_TRUE(bytes.endsWith("/x/*y***\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 4);
    const ListFileText read = ReadListFile(Path(u"a.lst"_s));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.lines, lines);
}

TEST_F(ListFileTest, AcceptsEveryKindOfLineEnd) {
    const QStringList expected{u"a*b"_s, u"c*d"_s, u"e"_s};
    for (const QByteArray &bytes : {QByteArray("a*b\r\nc*d\r\ne\r\n"), QByteArray("a*b\nc*d\ne\n"),
                                    QByteArray("a*b\rc*d\re"), QByteArray("a*b\r\nc*d\ne")}) {
        WriteBytes(Path(u"x.lst"_s), bytes);
        const ListFileText read = ReadListFile(Path(u"x.lst"_s));
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.lines, expected) << bytes.toStdString();
    }
}

TEST_F(ListFileTest, KeepsEmptyLinesInsideTheText) {
    EXPECT_EQ(ParseListFileText("a\r\n\r\nb\n\nc"), (QStringList{u"a"_s, {}, u"b"_s, {}, u"c"_s}));
    EXPECT_EQ(ParseListFileText(""), QStringList());
    EXPECT_EQ(ParseListFileText("\r\n"), QStringList{QString()});
}

// A list file that is a FIFO or a link to a device is refused at once,
// never read (a zero device would fill the memory, a FIFO never answer).
TEST_F(ListFileTest, AFifoOrADeviceIsNoListFile) {
    using namespace std::chrono_literals;
    velmora::testing::MakeFifo(Path(u"fifo.lst"_s));
    velmora::testing::MakeEndlessDevice(Path(u"zero"_s));
    ASSERT_TRUE(QFile::link(Path(u"zero"_s), Path(u"zero.lst"_s)));
    for (const QString &name : {u"fifo.lst"_s, u"zero.lst"_s}) {
        ListFileText read;
        ASSERT_TRUE(velmora::testing::FinishesWithin(15s, [&] { read = ReadListFile(Path(name)); }))
            << name.toStdString();
        EXPECT_FALSE(read.ok) << name.toStdString();
        EXPECT_TRUE(read.lines.isEmpty());
        EXPECT_TRUE(read.error.startsWith(u"Cannot open this as a list file"_s))
            << read.error.toStdString();
    }
}

// A NUL byte damages its own line only: that line is read as it stands (the
// verification removes it as a file that does not exist), and every later
// line is kept.
TEST_F(ListFileTest, ANulByteDamagesOnlyItsLine) {
    static const char withNul[] = "a*b\nc*d\re\0garbage\r\nmore";
    EXPECT_EQ(ParseListFileText(QByteArray(withNul, sizeof withNul - 1)),
              (QStringList{u"a*b"_s, u"c*d"_s, u"e"_s + QChar(0) + u"garbage"_s, u"more"_s}));
    EXPECT_EQ(ParseListFileText(QByteArray("\0a\r\n", 4)), QStringList{QChar(0) + u"a"_s});

    QByteArray list = QByteArray("/w/*bro") + '\0' + "ken*.htm*1*1999-01-01  00:00\r\n";
    for (int i = 2; i <= 1001; ++i)
        list += "/w/*page" + QByteArray::number(i) + "*.htm*1*1999-01-01  00:00\r\n";
    WriteBytes(Path(u"nul.lst"_s), list);
    const ListFileText read = ReadListFile(Path(u"nul.lst"_s));
    ASSERT_TRUE(read.ok);
    ASSERT_EQ(read.lines.size(), 1001);
    EXPECT_EQ(read.lines[0], u"/w/*bro"_s + QChar(0) + u"ken*.htm*1*1999-01-01  00:00"_s);
    EXPECT_EQ(read.lines[1], u"/w/*page2*.htm*1*1999-01-01  00:00"_s);
    EXPECT_EQ(read.lines[1000], u"/w/*page1001*.htm*1*1999-01-01  00:00"_s);
}

TEST_F(ListFileTest, ReadsLatin1WhenTheBytesAreNotUtf8) {
    EXPECT_EQ(ParseListFileText("/w/*caf\xe9*.htm"), QStringList{u"/w/*café*.htm"_s});
}

TEST_F(ListFileTest, FailsWithoutLinesWhenTheFileCannotBeRead) {
    const ListFileText missing = ReadListFile(Path(u"missing.lst"_s));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.isEmpty());
    EXPECT_TRUE(missing.lines.isEmpty());
    QDir(dir.path()).mkdir(u"folder.lst"_s);
    const ListFileText folder = ReadListFile(Path(u"folder.lst"_s));
    EXPECT_FALSE(folder.ok);
    EXPECT_TRUE(folder.lines.isEmpty());
}

TEST_F(ListFileTest, AFailedWriteLeavesTheOldFileIntact) {
    ASSERT_TRUE(WriteListFile(Path(u"keep.lst"_s), {u"old"_s}));
    EXPECT_FALSE(WriteListFile(Path(u"no/such/folder/x.lst"_s), {u"new"_s}));
    // A folder in the way cannot be replaced by a file.
    QDir(dir.path()).mkdir(u"taken.lst"_s);
    EXPECT_FALSE(WriteListFile(Path(u"taken.lst"_s), {u"new"_s}));
    EXPECT_EQ(ReadBytes(Path(u"keep.lst"_s)), "old\r\n");
}

TEST_F(ListFileTest, WritingTheModelUpdatesTheListStateOnlyOnSuccess) {
    FileListModel model;
    model.FillLVFromList({u"/w/*a*.h*1*d"_s, u"/w/*b*.h*1*d"_s, u"/w/*c*.h*1*d"_s});
    TListFileStatus status{u"/old.lst"_s, false};
    QStringList work;
    EXPECT_FALSE(WriteModelToListFile(Path(u"no/x.lst"_s), model, CopyMode::All, {}, work, status));
    EXPECT_EQ(status.Name, u"/old.lst"_s);
    EXPECT_FALSE(status.Saved);
    ASSERT_TRUE(
        WriteModelToListFile(Path(u"sel.lst"_s), model, CopyMode::Selected, {1}, work, status));
    EXPECT_EQ(ReadBytes(Path(u"sel.lst"_s)), model.GetLVEntryLine(1).toUtf8() + "\r\n");
    EXPECT_EQ(status.Name, Path(u"sel.lst"_s));
    EXPECT_TRUE(status.Saved);
    EXPECT_EQ(model.Count(), 3);
}

TEST_F(ListFileTest, FindsTheFirstFreeNumberedName) {
    EXPECT_EQ(FindFreeFileName(dir.path(), u"(newlist*).lst"_s, 100), Path(u"(newlist1).lst"_s));
    WriteBytes(Path(u"(newlist1).lst"_s), "x");
    WriteBytes(Path(u"(newlist2).lst"_s), "x");
    EXPECT_EQ(FindFreeFileName(dir.path(), u"(newlist*).lst"_s, 100), Path(u"(newlist3).lst"_s));
    EXPECT_EQ(FindFreeFileName(dir.path(), u"(newlist*).lst"_s, 2), Path(u"(newlist2).lst"_s));
}

TEST_F(ListFileTest, HandlesHugeAndRandomFiles) {
    // A million short lines.
    QByteArray many;
    many.reserve(8'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        many += "/a/*" + QByteArray::number(i) + "\r\n";
    WriteBytes(Path(u"many.lst"_s), many);
    const ListFileText manyRead = ReadListFile(Path(u"many.lst"_s));
    ASSERT_TRUE(manyRead.ok);
    ASSERT_EQ(manyRead.lines.size(), 1'000'000);
    EXPECT_EQ(manyRead.lines.last(), u"/a/*999999"_s);

    // Lines of 100,000 characters.
    const QByteArray longLine = QByteArray(100'000, 'x') + "*y";
    WriteBytes(Path(u"long.lst"_s), longLine + "\n" + longLine);
    const ListFileText longRead = ReadListFile(Path(u"long.lst"_s));
    ASSERT_TRUE(longRead.ok);
    ASSERT_EQ(longRead.lines.size(), 2);
    EXPECT_EQ(longRead.lines[1].size(), 100'002);
    FileListModel model;
    model.FillLVFromList(longRead.lines);
    EXPECT_EQ(model.Field(0, 1), u"y"_s);

    // Random bytes: every line is free of line ends.
    QByteArray noise(200'000, Qt::Uninitialized);
    QRandomGenerator random(42);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    const QStringList noiseLines = ParseListFileText(noise);
    for (const QString &line : noiseLines) {
        EXPECT_FALSE(line.contains(u'\r') || line.contains(u'\n'));
    }
    model.FillLVFromList(noiseLines);
    EXPECT_EQ(model.Count(), noiseLines.size());
}
