// The one writer of the program's files: the new content replaces the old
// in one step, and every failure leaves the old file as it was.

#include "foundation/atomic_file.h"
#include "temp_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;
using velmora::testing::ReadBytes;
using velmora::testing::WriteBytes;

namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString &name) const { return dir.filePath(name); }
    QStringList Entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(AtomicFileTest, ReplacesTheWholeFileOrCreatesIt) {
    WriteBytes(Path(u"page.htm"_s), "old content that is longer");
    QString error;
    ASSERT_TRUE(WriteFileAtomically(Path(u"page.htm"_s), "new", &error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(Path(u"page.htm"_s)), QByteArray("new"));
    ASSERT_TRUE(WriteFileAtomically(Path(u"fresh.lst"_s), QByteArray("a\0b", 3)));
    EXPECT_EQ(ReadBytes(Path(u"fresh.lst"_s)), QByteArray("a\0b", 3));
    EXPECT_EQ(Entries(), (QStringList{u"fresh.lst"_s, u"page.htm"_s})); // no temporary left
}

TEST_F(AtomicFileTest, FailuresLeaveTheOldFileAndSayWhy) {
    QString error;
    EXPECT_FALSE(WriteFileAtomically(Path(u"no/such/folder/x.htm"_s), "x", &error));
    EXPECT_FALSE(error.isEmpty());

    // A folder where the file should be is not replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"taken"_s));
    error.clear();
    EXPECT_FALSE(WriteFileAtomically(Path(u"taken"_s), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(Path(u"taken"_s)).isDir());
}

TEST_F(AtomicFileTest, AnUnfinishedWriteChangesNothing) {
    WriteBytes(Path(u"prg.ini"_s), "[OPTIONS]\n");
    {
        AtomicFile file(Path(u"prg.ini"_s));
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("half of the new"));
        // Gone without Commit, as after a failure in the middle.
    }
    EXPECT_EQ(ReadBytes(Path(u"prg.ini"_s)), QByteArray("[OPTIONS]\n"));
    EXPECT_EQ(Entries(), QStringList{u"prg.ini"_s});

    AtomicFile file(Path(u"prg.ini"_s));
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("[OPTIONS]\n"));
    ASSERT_TRUE(file.Write("CACHE_MAX=5\n"));
    EXPECT_EQ(ReadBytes(Path(u"prg.ini"_s)), QByteArray("[OPTIONS]\n")); // not before Commit
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadBytes(Path(u"prg.ini"_s)), QByteArray("[OPTIONS]\nCACHE_MAX=5\n"));
}

} // namespace
