#include "foundation/file_utils.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::ScriptedPrompts;
using Kind = ScriptedPrompts::Kind;
using velmora::testing::ReadBytes;
using velmora::testing::WriteBytes;
using namespace Qt::StringLiterals;

TEST(FileUtils, WithBackslashAndNames) {
    EXPECT_EQ(WithBackslash(u"/web///"_s), u"/web/"_s);
    EXPECT_EQ(WithBackslash(u"/"_s), u"/"_s);
    EXPECT_EQ(WithBackslash(u""_s), u"/"_s);
    EXPECT_EQ(FileNameNoExt(u"/x/a.bc.b"_s), u"a.bc"_s);
    EXPECT_EQ(FileNameNoExt(u"/x/index.htm"_s), u"index"_s);
    EXPECT_EQ(FileNameNoExt(u"/x.y/README"_s), u"README"_s);
    EXPECT_EQ(IndexOfFileName({u"a.htm"_s, u"Index.htm"_s}, u"INDEX.HTM"_s), 1);
    EXPECT_EQ(IndexOfFileName({u"a.htm"_s}, u"b.htm"_s), -1);
}

TEST(FileUtils, MakeFileName) {
    ScriptedPrompts prompts;
    EXPECT_EQ(MakeFileName(u"/out"_s, u" page. "_s, u"*.jpg"_s, prompts), u"/out/page.jpg"_s);
    EXPECT_EQ(MakeFileName(u"/out"_s, u"page.JPG"_s, u".jpg"_s, prompts), u"/out/page.JPG"_s);
    EXPECT_EQ(MakeFileName(u"/out"_s, u""_s, u".jpg"_s, prompts), u"/out/.jpg"_s);
    EXPECT_TRUE(prompts.calls.isEmpty());

    EXPECT_EQ(MakeFileName(u"/out"_s, u"a:b"_s, u".jpg"_s, prompts), u""_s);
    ASSERT_EQ(prompts.calls.size(), 2);
    EXPECT_EQ(prompts.calls[0].kind, Kind::Beep);
    EXPECT_EQ(prompts.calls[1].kind, Kind::Error);
    EXPECT_EQ(prompts.calls[1].text, u"Invalid Filename: a:b.jpg"_s);
}

TEST(FileUtils, ValidFileNameRefusesOnlyTheListedCharacters) {
    ScriptedPrompts prompts;
    EXPECT_TRUE(ValidFileName(u"a<b>|c.htm"_s, prompts));
    for (const QString &bad : {u"a\\b"_s, u"a/b"_s, u"a..b"_s, u"a?"_s, u"*"_s, u"c:"_s})
        EXPECT_FALSE(ValidFileName(bad, prompts)) << bad.toStdString();
    EXPECT_EQ(prompts.Count(Kind::Error), 6);
    EXPECT_EQ(prompts.Count(Kind::Beep), 6);
}

TEST(FileUtils, CopyFileKeepDate) {
    QTemporaryDir dir;
    const QString empty = dir.filePath(u"empty.htm"_s);
    WriteBytes(empty, {});
    const QString copy = dir.filePath(u"copy.htm"_s);
    EXPECT_TRUE(CopyFileKeepDate(empty, copy));
    EXPECT_TRUE(QFileInfo(copy).isFile());
    EXPECT_EQ(QFileInfo(copy).size(), 0);

    // Several blocks, and the exact modification time.
    const QString big = dir.filePath(u"big.htm"_s);
    QByteArray bytes(50000, 'x');
    bytes[16384] = 'y';
    WriteBytes(big, bytes);
    QFile bf(big);
    ASSERT_TRUE(bf.open(QIODevice::ReadWrite));
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1000000000123);
    ASSERT_TRUE(bf.setFileTime(when, QFileDevice::FileModificationTime));
    bf.close();
    const QString bigCopy = dir.filePath(u"bigcopy.htm"_s);
    ASSERT_TRUE(CopyFileKeepDate(big, bigCopy));
    QFile cf(bigCopy);
    ASSERT_TRUE(cf.open(QIODevice::ReadOnly));
    EXPECT_EQ(cf.readAll(), bytes);
    EXPECT_EQ(FileStamp(bigCopy), FileStamp(big));
    EXPECT_EQ(FileStamp(bigCopy), 1000000000123);

    EXPECT_FALSE(CopyFileKeepDate(big, dir.filePath(u"missing/x.htm"_s)));
    EXPECT_FALSE(CopyFileKeepDate(dir.filePath(u"nope.htm"_s), copy));
    // A failed copy leaves the existing target as it was.
    EXPECT_FALSE(CopyFileKeepDate(dir.path(), copy));
    EXPECT_EQ(QFileInfo(copy).size(), 0);
}

TEST(FileUtils, DeleteFileFromDiskSwitchesTheTrashOff) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.htm"_s);
    bool doRecycleBin = true;
    DeleteFileFromDisk(path, doRecycleBin); // missing: nothing changes
    EXPECT_TRUE(doRecycleBin);
    WriteBytes(path, "x");
    DeleteFileFromDisk(path, doRecycleBin);
    EXPECT_FALSE(doRecycleBin);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(FileUtils, FileFoundMatchesAnyEntry) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(u"sub"_s);
    WriteBytes(dir.filePath(u".hidden.htm"_s), "x");
    QFileInfo found;
    EXPECT_TRUE(FileFound(dir.filePath(u"sub"_s), &found));
    EXPECT_TRUE(found.isDir());
    EXPECT_TRUE(FileFound(dir.path() + u"/*.htm"_s, &found));
    EXPECT_EQ(found.fileName(), u".hidden.htm"_s);
    EXPECT_FALSE(FileFound(dir.path() + u"/*.gif"_s));
    EXPECT_FALSE(FileFound(dir.filePath(u"none"_s)));
}

TEST(FileUtils, CheckDiskSpaceAsksForMinimumTimesThousandBytes) {
    ScriptedPrompts prompts;
    const auto freeBytes = [](qint64 n) {
        return [n](const QString &) { return std::optional<qint64>(n); };
    };
    EXPECT_TRUE(CheckDiskSpace(u"/tmp/"_s, 2000, prompts, freeBytes(2000000)));
    EXPECT_TRUE(prompts.calls.isEmpty());
    EXPECT_FALSE(CheckDiskSpace(u"/tmp/"_s, 2000, prompts, freeBytes(1999999)));
    ASSERT_EQ(prompts.Count(Kind::Info), 1);
    const QString text = prompts.Texts(Kind::Info).first();
    EXPECT_TRUE(text.startsWith(u"Diskspace on drive \"/"_s)) << text.toStdString();
    EXPECT_TRUE(text.endsWith(u"\" < 2000Kb!\nProcess stopped."_s)) << text.toStdString();
    // Unknown free space passes.
    EXPECT_TRUE(CheckDiskSpace(u"/tmp/"_s, 2000, prompts,
                               [](const QString &) { return std::optional<qint64>(); }));
}

TEST(FileUtils, FreeSpaceOfVolumeAnswersForAFolderNotMadeYet) {
    // Containers and chroots may have no mount table, and then the system
    // names no volume for any path: there is nothing to measure.
    const QStorageInfo volume(QDir::tempPath());
    if (!volume.isValid() || !volume.isReady())
        GTEST_SKIP() << "the system reports no volume for " << QDir::tempPath().toStdString();
    EXPECT_TRUE(FreeSpaceOfVolume(QDir::tempPath() + u"/does/not/exist/"_s).has_value());
}
