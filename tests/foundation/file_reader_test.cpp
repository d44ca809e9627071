// The one reader of data files: only regular files, never waiting, never
// more than the cap of their kind.

#include "foundation/file_reader.h"
#include "temp_files.h"
#include "unusual_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

using namespace velmora;
using namespace velmora::testing;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class FileReaderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString &name) const { return dir.filePath(name); }

    FileRead Read(const QString &name, qint64 cap = 1 << 20) {
        FileRead read;
        EXPECT_TRUE(FinishesWithin(15s, [&] { read = ReadRegularFile(Path(name), cap); }))
            << name.toStdString() << " hangs";
        return read;
    }
};

TEST_F(FileReaderTest, ReadsRegularFilesUpToTheirCap) {
    WriteBytes(Path(u"page.htm"_s), QByteArray("a\0b", 3));
    const FileRead read = Read(u"page.htm"_s);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.bytes, QByteArray("a\0b", 3));

    WriteBytes(Path(u"empty.ini"_s), {});
    EXPECT_TRUE(Read(u"empty.ini"_s).ok());

    WriteBytes(Path(u"big.lst"_s), QByteArray(1000, 'x'));
    EXPECT_TRUE(Read(u"big.lst"_s, 1000).ok());
    const FileRead tooLarge = Read(u"big.lst"_s, 999);
    EXPECT_EQ(tooLarge.status, ReadStatus::TooLarge);
    EXPECT_TRUE(tooLarge.bytes.isEmpty());

    // A link to a regular file is read like the file.
    ASSERT_TRUE(QFile::link(Path(u"page.htm"_s), Path(u"link.htm"_s)));
    EXPECT_EQ(Read(u"link.htm"_s).bytes, QByteArray("a\0b", 3));
}

TEST_F(FileReaderTest, RefusesWhatIsNoRegularFileWithoutWaiting) {
    MakeFifo(Path(u"fifo.ini"_s));
    MakeEndlessDevice(Path(u"zero.lst"_s));
    ASSERT_TRUE(QFile::link(Path(u"zero.lst"_s), Path(u"prg.ini"_s)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.htm"_s));
    for (const QString &name : {u"fifo.ini"_s, u"zero.lst"_s, u"prg.ini"_s, u"folder.htm"_s}) {
        const FileRead read = Read(name);
        EXPECT_EQ(read.status, ReadStatus::NotRegularFile) << name.toStdString();
        EXPECT_FALSE(read.error.isEmpty()) << name.toStdString();
    }
    EXPECT_TRUE(Read(u"fifo.ini"_s).error.contains(u"FIFO"_s));

    const FileRead missing = Read(u"missing.ini"_s);
    EXPECT_EQ(missing.status, ReadStatus::Missing);
    EXPECT_FALSE(missing.error.isEmpty());
    ASSERT_TRUE(QFile::link(Path(u"nowhere"_s), Path(u"dangling.ini"_s)));
    EXPECT_EQ(Read(u"dangling.ini"_s).status, ReadStatus::Missing);

    EXPECT_FALSE(IsReadableRegularFile(Path(u"fifo.ini"_s)));
    EXPECT_FALSE(IsReadableRegularFile(Path(u"prg.ini"_s)));
}

TEST_F(FileReaderTest, AStreamIsReadUpToItsCap) {
    std::FILE *stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fwrite("0123456789", 1, 10, stream);
    std::rewind(stream);
    EXPECT_EQ(ReadStream(stream, 9).status, ReadStatus::TooLarge);
    std::rewind(stream);
    const FileRead read = ReadStream(stream, 10);
    EXPECT_EQ(read.bytes, QByteArray("0123456789"));
    std::fclose(stream);
}

} // namespace
