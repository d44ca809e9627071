#include "sitewalk/file_entry.h"
#include "sitewalk/file_search.h"
#include "temp_files.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::testing::WriteBytes;

TEST(HasAllowedExtension, CutsExtensionsToFourCharacters) {
    const QString mask = u"*.htm;*.asp"_s;
    for (const QString &yes : {u"page.htm"_s, u"PAGE.HTML"_s, u"page.htmx"_s, u"x.h"_s, u"x.ht"_s,
                               u"x.a"_s, u"y.as"_s, u"a.b.Asp"_s})
        EXPECT_TRUE(HasAllowedExtension(yes, mask)) << yes.toStdString();
    for (const QString &no :
         {u"page.htx"_s, u"image.jpeg"_s, u"README"_s, u"dot."_s, u"htm"_s, u"x.m"_s, u"x.jpg"_s})
        EXPECT_FALSE(HasAllowedExtension(no, mask)) << no.toStdString();
    EXPECT_TRUE(HasAllowedExtension(u"pic.JPEG"_s, u"*.jpe;*.gif"_s));
}

namespace {

class SearchTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString root = dir.path() + u'/';

    void File(const QString &relative, const QByteArray &bytes = "x") {
        WriteBytes(root + relative, bytes);
    }
    void Folder(const QString &relative) { QDir().mkpath(root + relative); }

    QStringList Search(const QString &mask, const QString &thumbDir = {}, bool everywhere = false,
                       bool entryMode = false) {
        QStringList out;
        SearchFilesRecursive(root, {mask, thumbDir, everywhere, entryMode, nullptr}, out);
        out.sort();
        return out;
    }
};

} // namespace

TEST_F(SearchTest, SkipsHiddenEntriesAndVtiFolders) {
    File(u"a.htm"_s);
    File(u".hidden.htm"_s);
    File(u".secret/b.htm"_s);
    File(u"_vti_cnf/c.htm"_s);
    File(u"sub/old_VTI_CNF2/d.htm"_s);
    File(u"sub/_vti_cnf.htm/e.htm"_s);
    File(u"sub/deeper/f.HTML"_s);
    File(u"sub/g.txt"_s);
    EXPECT_EQ(Search(u"*.htm"_s), (QStringList{root + u"a.htm"_s, root + u"sub/_vti_cnf.htm"_s,
                                               root + u"sub/deeper/f.HTML"_s}));
}

TEST_F(SearchTest, DoesNotEnterThumbnailSubfoldersUnlessAsked) {
    File(u"page.jpg"_s);
    File(u"THUMBS/direct.jpg"_s);
    File(u"THUMBS/=web=site/page.htm.jpg"_s);
    const QString thumbDir = root + u"THUMBS/"_s;
    EXPECT_EQ(Search(u"*.jpg"_s, thumbDir),
              (QStringList{root + u"THUMBS/direct.jpg"_s, root + u"page.jpg"_s}));
    EXPECT_EQ(Search(u"*.jpg"_s, thumbDir, true).size(), 3);
}

TEST_F(SearchTest, ListsFolderEntriesWithSizeAndDate) {
    File(u"index.htm"_s, "12345");
    Folder(u"archive.htm"_s);
    File(u"archive.htm/inner.htm"_s);
    const QDateTime when(QDate(2001, 2, 3), QTime(4, 5, 6));
    velmora::testing::SetModified(root + u"index.htm"_s, when);
    QStringList list;
    SearchFilesInFolder(list, root, u"*.htm"_s);
    list.sort();
    ASSERT_EQ(list.size(), 2);
    EXPECT_TRUE(list[0].startsWith(root + u"*archive*.htm*"_s));
    EXPECT_EQ(list[1], root + u"*index*.htm*5*2001-02-03  04:05"_s);
}

TEST_F(SearchTest, SurvivesLinkLoopsOddNamesAndUnreadableFolders) {
    File(u"a/page.htm"_s);
    File(u"a/b/deep.htm"_s);
    ASSERT_EQ(::symlink("..", QFile::encodeName(root + u"a/b/up"_s).constData()), 0);
    ASSERT_EQ(::symlink("a", QFile::encodeName(root + u"again"_s).constData()), 0);
    ASSERT_EQ(::symlink("nowhere", QFile::encodeName(root + u"dangling.htm"_s).constData()), 0);
    File(u"star*name.htm"_s);
    File(u"line\nbreak.htm"_s);
    File(u"locked/inside.htm"_s);
    ::chmod(QFile::encodeName(root + u"locked"_s).constData(), 0);

    QStringList entries;
    int calls = 0;
    SearchFilesRecursive(root, {u"*.htm"_s, {}, false, true, [&] { ++calls; }}, entries);
    ::chmod(QFile::encodeName(root + u"locked"_s).constData(), 0700);
    EXPECT_GT(calls, 8);
    // Each real folder is searched once, whichever link reaches it first.
    EXPECT_EQ(entries.filter(u"page"_s).size(), 1);
    EXPECT_EQ(entries.filter(u"deep"_s).size(), 1);
    for (const QString &line : entries) {
        EXPECT_EQ(line.count(u'*'), 4) << line.toStdString();
        EXPECT_FALSE(line.contains(u'\n'));
    }
    if (::geteuid() != 0) { // root reads the locked folder anyway
        EXPECT_TRUE(entries.filter(u"inside"_s).isEmpty());
    }

    // Plain paths can hold what entry lines cannot.
    EXPECT_TRUE(Search(u"*.htm"_s).contains(root + u"star*name.htm"_s));
}

TEST_F(SearchTest, MissingFoldersGiveNothing) {
    QStringList out;
    SearchFilesRecursive(root + u"missing"_s, {u"*.*"_s, {}, false, true, nullptr}, out);
    SearchFilesInFolder(out, root + u"missing"_s, u"*.*"_s);
    EXPECT_TRUE(out.isEmpty());
}

TEST_F(SearchTest, LooksUpSingleFilesByTheListingRules) {
    File(u"seen.htm"_s, "abc");
    File(u".hidden.htm"_s);
    const auto seen = LookUpListedFile(root + u"seen.htm"_s);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->size, 3);
    EXPECT_FALSE(LookUpListedFile(root + u".hidden.htm"_s).has_value());
    EXPECT_FALSE(LookUpListedFile(root + u"gone.htm"_s).has_value());
}

namespace {

// Lists a tree the plain way: each folder in the order the file system gives,
// a subfolder's files where the subfolder stands.
void WalkInListingOrder(const QString &folder, QStringList &paths) {
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        if (info.isDir())
            WalkInListingOrder(info.filePath(), paths);
        else if (info.fileName().endsWith(u".htm"_s))
            paths.append(info.filePath());
    }
}

} // namespace

TEST_F(SearchTest, KeepsListingOrderAcrossManyFolders) {
    // Enough folders that stating runs on helper threads and also on the
    // caller when the helpers fall behind.
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 12; ++b) {
            const QString sub = u"d%1/e%2/"_s.arg(a).arg(b);
            for (int f = 0; f < 5; ++f)
                File(sub + u"p%1.htm"_s.arg(f), QByteArray(f + b, 'x'));
            File(sub + u"skip.txt"_s);
        }
        File(u"d%1/top.htm"_s.arg(a), "top");
    }
    QStringList expected;
    WalkInListingOrder(dir.path(), expected);
    ASSERT_EQ(expected.size(), 12 * 12 * 5 + 12);

    for (int round = 0; round < 3; ++round) {
        QStringList lines;
        SearchFilesRecursive(root, {u"*.htm"_s, {}, false, true, nullptr}, lines);
        ASSERT_EQ(lines.size(), expected.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(EntryLinePath(lines[i]), expected[i]) << i;
            const FileEntry entry = ParseEntryLine(lines[i]);
            ASSERT_EQ(entry.size.toLongLong(), QFileInfo(expected[i]).size()) << i;
        }
    }
}
