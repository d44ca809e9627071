#include "foundation/folder_listing.h"
#include "temp_files.h"
#include "unusual_files.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::testing::WriteBytes;

namespace {

class FolderListingTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString Folder() const { return dir.path() + u'/'; }
    void Make(const QStringList &names) {
        for (const QString &name : names)
            WriteBytes(Folder() + name, "<p>");
    }
    QStringList List(const QString &mask) const {
        return ListFolderFileNames(Folder(), FileMask(mask));
    }
};

TEST_F(FolderListingTest, SortsByNameWithoutRegardToCaseInAFixedOrder) {
    Make({u"b.htm"_s, u"A.htm"_s, u"c.HTM"_s, u"a.htm"_s, u"_x.htm"_s, u"10.htm"_s, u"Zeta.htm"_s,
          u"alpha.htm"_s});
    const QStringList expected{u"10.htm"_s,    u"_x.htm"_s, u"A.htm"_s, u"a.htm"_s,
                               u"alpha.htm"_s, u"b.htm"_s,  u"c.HTM"_s, u"Zeta.htm"_s};
    EXPECT_EQ(List(u"*.*"_s), expected);

    // Names that differ only in case come out the same whatever order they
    // went in.
    QStringList names{u"INDEX.htm"_s, u"index.htm"_s, u"Index.htm"_s};
    QStringList reversed(names.rbegin(), names.rend());
    SortFileNamesIgnoringCase(names);
    SortFileNamesIgnoringCase(reversed);
    EXPECT_EQ(names, reversed);
    EXPECT_EQ(names, (QStringList{u"INDEX.htm"_s, u"Index.htm"_s, u"index.htm"_s}));
}

TEST_F(FolderListingTest, FiltersOfTheDefaultDefinitionMatchLongerExtensions) {
    Make({u"a.htm"_s, u"b.html"_s, u"c.htm5"_s, u"d.ht"_s, u"page.shtml"_s, u"e.gif"_s});
    EXPECT_EQ(List(u"*.htm"_s), (QStringList{u"a.htm"_s, u"b.html"_s, u"c.htm5"_s}));
    EXPECT_EQ(List(u"*.sht;*.shtm"_s), QStringList{u"page.shtml"_s});
    EXPECT_EQ(List(u"*.gif;*.htm"_s).size(), 4);
    EXPECT_TRUE(List(QString()).isEmpty());
}

// Only regular files that are not hidden are listed: a link counts as what
// it points to, and a link that points nowhere is not listed.
TEST_F(FolderListingTest, ListsOnlyRegularFilesThatAreNotHidden) {
    Make({u"page.htm"_s, u".hidden.htm"_s, u"target/inner.htm"_s});
    QDir(Folder()).mkdir(u"folder.htm"_s);
    velmora::testing::MakeFifo(Folder() + u"fifo.htm"_s);
    ASSERT_TRUE(QFile::link(Folder() + u"page.htm"_s, Folder() + u"link.htm"_s));
    ASSERT_TRUE(QFile::link(Folder() + u"missing.htm"_s, Folder() + u"dangling.htm"_s));
    ASSERT_TRUE(QFile::link(Folder() + u"target"_s, Folder() + u"folderlink.htm"_s));
    ASSERT_TRUE(QFile::link(Folder() + u"fifo.htm"_s, Folder() + u"fifolink.htm"_s));
    ASSERT_TRUE(QFile::link(Folder() + u"page.htm"_s, Folder() + u".hiddenlink.htm"_s));

    // A socket in the folder, too.
    const QByteArray socketPath = QFile::encodeName(Folder() + u"socket.htm"_s);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(socketPath.size()), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

    EXPECT_EQ(List(u"*.htm"_s), (QStringList{u"link.htm"_s, u"page.htm"_s}));
    ::close(sock);
}

TEST_F(FolderListingTest, NamesThatCannotBeOpenedByTheirTextAreLeftOut) {
    Make({u"grüße.htm"_s});
    // A byte that is not UTF-8: its decoded text names another file.
    const QByteArray raw = QFile::encodeName(Folder()) + "bad\xff.htm";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(List(u"*.htm"_s), QStringList{u"grüße.htm"_s});
}

TEST_F(FolderListingTest, AFolderThatCannotBeReadListsNothing) {
    EXPECT_TRUE(ListFolderFileNames(Folder() + u"missing/"_s, FileMask(u"*.*"_s)).isEmpty());
    Make({u"file.htm"_s});
    EXPECT_TRUE(ListFolderFileNames(Folder() + u"file.htm"_s, FileMask(u"*.*"_s)).isEmpty());
    EXPECT_TRUE(ListFolderFileNames(QString(), FileMask(u"*.*"_s)).isEmpty());
}

} // namespace
