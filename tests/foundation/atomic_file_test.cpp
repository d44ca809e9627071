// The one writer of the program's files: the new content replaces the old
// in one step, and every failure leaves the old file as it was.

#include "foundation/atomic_file.h"
#include "temp_files.h"
#include "unusual_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace Qt::StringLiterals;
using namespace velmora::testing;

namespace {

struct stat StatOf(const QString &path) {
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

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

// A link the user made to a regular file is written at its target and stays
// a link; a link to anything else is neither written through nor replaced.
TEST_F(AtomicFileTest, LinksToRegularFilesAreWrittenThroughOthersNot) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"elsewhere"_s));
    WriteBytes(Path(u"elsewhere/prg.ini"_s), "old");
    ASSERT_TRUE(QFile::link(Path(u"elsewhere/prg.ini"_s), Path(u"prg.ini"_s)));
    ASSERT_TRUE(WriteFileAtomically(Path(u"prg.ini"_s), "new"));
    EXPECT_TRUE(QFileInfo(Path(u"prg.ini"_s)).isSymLink());
    EXPECT_EQ(ReadBytes(Path(u"elsewhere/prg.ini"_s)), QByteArray("new"));

    MakeEndlessDevice(Path(u"device"_s));
    ASSERT_TRUE(QFile::link(Path(u"device"_s), Path(u"to-device.lst"_s)));
    ASSERT_TRUE(QFile::link(Path(u"nothing"_s), Path(u"dangling.lst"_s)));
    ASSERT_TRUE(QFile::link(Path(u"elsewhere"_s), Path(u"to-folder.lst"_s)));
    for (const QString &name :
         {u"to-device.lst"_s, u"dangling.lst"_s, u"to-folder.lst"_s, u"device"_s, u"elsewhere"_s}) {
        QString error;
        EXPECT_FALSE(WriteFileAtomically(Path(name), "x", &error)) << name.toStdString();
        EXPECT_FALSE(error.isEmpty()) << name.toStdString();
    }
    EXPECT_TRUE(IsCharacterDeviceOrFifo(Path(u"device"_s)));
    EXPECT_TRUE(QFileInfo(Path(u"to-device.lst"_s)).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(Path(u"nothing"_s)));
    EXPECT_TRUE(QFileInfo(Path(u"to-folder.lst"_s)).isSymLink());
    EXPECT_EQ(QDir(Path(u"elsewhere"_s)).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"prg.ini"_s});
}

// The program's own cache replaces a link in its file's place instead.
TEST_F(AtomicFileTest, ACacheFileReplacesALinkInItsPlace) {
    WriteBytes(Path(u"victim"_s), "keep me");
    ASSERT_TRUE(QFile::link(Path(u"victim"_s), Path(u"index.htm.jpg"_s)));
    ASSERT_TRUE(
        WriteFileAtomically(Path(u"index.htm.jpg"_s), "jpeg", nullptr, LinkPolicy::ReplaceLink));
    EXPECT_FALSE(QFileInfo(Path(u"index.htm.jpg"_s)).isSymLink());
    EXPECT_EQ(ReadBytes(Path(u"index.htm.jpg"_s)), QByteArray("jpeg"));
    EXPECT_EQ(ReadBytes(Path(u"victim"_s)), QByteArray("keep me"));
}

TEST_F(AtomicFileTest, AReplacedFileKeepsItsModeAndOwner) {
    const QString page = Path(u"page.htm"_s);
    WriteBytes(page, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(page).constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root)
        ASSERT_EQ(::chown(QFile::encodeName(page).constData(), 1234, 5678), 0);
    ASSERT_TRUE(WriteFileAtomically(page, "new"));
    const struct stat st = StatOf(page);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 5678u);
    }

    // A new file gets the usual mode of new files, not that of a temporary.
    ASSERT_TRUE(WriteFileAtomically(Path(u"new.lst"_s), "x"));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(StatOf(Path(u"new.lst"_s)).st_mode & 07777, 0666u & ~mask);
}

TEST_F(AtomicFileTest, AFileWithoutWritePermissionIsNotReplacedEvenByRoot) {
    const QString page = Path(u"page.htm"_s);
    WriteBytes(page, "read only");
    ASSERT_EQ(::chmod(QFile::encodeName(page).constData(), 0444), 0);
    QString error;
    EXPECT_FALSE(WriteFileAtomically(page, "new", &error));
    EXPECT_EQ(error, u"Permission denied"_s);
    EXPECT_EQ(ReadBytes(page), QByteArray("read only"));
    EXPECT_EQ(Entries(), QStringList{u"page.htm"_s});
}

// A write the system refuses halfway (here a file size limit stands in for a
// full disk) names the system's reason and leaves the old file.
TEST_F(AtomicFileTest, ASystemFailureNamesItsReason) {
    WriteBytes(Path(u"prg.ini"_s), "old");
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool written = WriteFileAtomically(Path(u"prg.ini"_s), QByteArray(100, 'x'), &error);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, u"File too large"_s);
    EXPECT_EQ(ReadBytes(Path(u"prg.ini"_s)), QByteArray("old"));
    EXPECT_EQ(Entries(), QStringList{u"prg.ini"_s});
}

// A batch: nothing is replaced before Commit; then every file that could be
// written is replaced, keeping its mode, and each one that could not is left
// as it was, whether it failed while staged or while being replaced.
TEST_F(AtomicFileTest, ABatchReplacesWhatItCanAndLeavesTheRestAsTheyWere) {
    WriteBytes(Path(u"a.htm"_s), "old a");
    ASSERT_EQ(::chmod(QFile::encodeName(Path(u"a.htm"_s)).constData(), 0640), 0);
    WriteBytes(Path(u"locked.htm"_s), "old locked");
    ASSERT_EQ(::chmod(QFile::encodeName(Path(u"locked.htm"_s)).constData(), 0444), 0);
    WriteBytes(Path(u"taken.htm"_s), "old taken");
    WriteBytes(Path(u"taken.htm.pbak"_s), "old backup");

    AtomicBatch batch;
    const auto a = batch.Stage(Path(u"a.htm"_s), "new a");
    const auto locked = batch.Stage(Path(u"locked.htm"_s), "new locked");
    const auto backup = batch.Stage(Path(u"taken.htm.pbak"_s), "old taken");
    const auto taken = batch.Stage(Path(u"taken.htm"_s), "new taken", backup);
    const auto fresh = batch.Stage(Path(u"fresh.htm"_s), "fresh");
    EXPECT_EQ(batch.Error(locked), u"Permission denied"_s); // known at once
    EXPECT_TRUE(batch.Error(a).isEmpty());
    EXPECT_EQ(ReadBytes(Path(u"a.htm"_s)), QByteArray("old a"));
    EXPECT_FALSE(QFileInfo::exists(Path(u"fresh.htm"_s)));

    // The backup's place is taken by a folder after staging: its rename
    // fails, and the page that had to wait for it is not replaced either.
    ASSERT_TRUE(QFile::remove(Path(u"taken.htm.pbak"_s)));
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"taken.htm.pbak/inside"_s));
    batch.Commit();

    EXPECT_TRUE(batch.Replaced(a));
    EXPECT_TRUE(batch.Replaced(fresh));
    EXPECT_FALSE(batch.Replaced(locked));
    EXPECT_FALSE(batch.Replaced(backup));
    EXPECT_FALSE(batch.Error(backup).isEmpty());
    EXPECT_FALSE(batch.Replaced(taken));
    EXPECT_FALSE(batch.Error(taken).isEmpty());
    EXPECT_EQ(ReadBytes(Path(u"a.htm"_s)), QByteArray("new a"));
    EXPECT_EQ(StatOf(Path(u"a.htm"_s)).st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(Path(u"fresh.htm"_s)), QByteArray("fresh"));
    EXPECT_EQ(ReadBytes(Path(u"locked.htm"_s)), QByteArray("old locked"));
    EXPECT_EQ(ReadBytes(Path(u"taken.htm"_s)), QByteArray("old taken"));
    EXPECT_EQ(Entries(), (QStringList{u"a.htm"_s, u"fresh.htm"_s, u"locked.htm"_s, u"taken.htm"_s,
                                      u"taken.htm.pbak"_s}));
}

TEST_F(AtomicFileTest, ABatchGoneWithoutCommitChangesNothing) {
    WriteBytes(Path(u"page.htm"_s), "old");
    {
        AtomicBatch batch;
        batch.Stage(Path(u"page.htm"_s), "new");
        batch.Stage(Path(u"other.htm"_s), "new");
    }
    EXPECT_EQ(ReadBytes(Path(u"page.htm"_s)), QByteArray("old"));
    EXPECT_EQ(Entries(), QStringList{u"page.htm"_s});
}

} // namespace
