// Replacing across files: what is written, what is left alone and why, and
// the backups.
#include "sitesearch/replace_apply.h"

#include "temp_files.h"
#include "unusual_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::ReadBytes;
using testing::WriteBytes;

class FakeEditor final : public OpenPage {
public:
    QString File() const override { return file; }
    bool HasUnsavedChanges() const override { return unsaved; }
    void Reload() override { ++reloads; }

    QString file;
    bool unsaved = false;
    int reloads = 0;
};

class ReplaceApplyTest : public ::testing::Test {
protected:
    QString Path(const QString &name) const { return dir_.path() + u'/' + name; }

    // Writes a page and notes it as the search would have seen it.
    ReplaceTarget Page(const QString &name, const QByteArray &bytes) {
        WriteBytes(Path(name), bytes);
        QByteArray read;
        const PageRead seen = ReadPageForSearch(Path(name), read);
        return {Path(name), seen.stamp, PageFingerprint(read)};
    }

    ReplaceOutcome Apply(const std::vector<ReplaceTarget> &targets, OpenPage *editor = nullptr,
                         bool backups = false) {
        ReplaceSettings settings;
        settings.folder = dir_.path();
        settings.createBackups = backups;
        return ApplyReplacements(targets, TextPattern(u"old"_s, {}), u"new"_s, settings, editor);
    }

    QTemporaryDir dir_;
};

TEST_F(ReplaceApplyTest, WritesEveryChosenPageAndKeepsItsMode) {
    const ReplaceTarget a = Page(u"a.htm"_s, "old\r\nold\n");
    const ReplaceTarget b = Page(u"b.htm"_s, "one old");
    ASSERT_EQ(::chmod(QFile::encodeName(a.path).constData(), 0640), 0);
    const ReplaceOutcome outcome = Apply({a, b});
    EXPECT_EQ(ReadBytes(a.path), QByteArray("new\r\nnew\n"));
    EXPECT_EQ(ReadBytes(b.path), QByteArray("one new"));
    EXPECT_EQ(outcome.occurrences, 3);
    EXPECT_EQ(outcome.files, 2);
    EXPECT_TRUE(outcome.skipped.empty());
    EXPECT_EQ(outcome.Message(), u"Replaced 3 occurrences in 2 files."_s);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(a.path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_FALSE(QFile::exists(a.path + u".pbak"_s)); // backups off
}

TEST_F(ReplaceApplyTest, APageChangedSinceTheSearchIsLeftAloneAndNamed) {
    const ReplaceTarget grown = Page(u"grown.htm"_s, "old");
    const ReplaceTarget same = Page(u"same.htm"_s, "old page");
    const ReplaceTarget gone = Page(u"gone.htm"_s, "old");
    WriteBytes(grown.path, "old, and more");
    // Same size, and the time set back: only the content tells.
    const QDateTime when = QFileInfo(same.path).lastModified();
    WriteBytes(same.path, "old Page");
    testing::SetModified(same.path, when);
    ReplaceTarget sameStamp = same;
    QByteArray unused;
    sameStamp.stamp = ReadPageForSearch(same.path, unused).stamp;
    QFile::remove(gone.path);

    const ReplaceOutcome outcome = Apply({grown, sameStamp, gone});
    EXPECT_EQ(ReadBytes(grown.path), QByteArray("old, and more"));
    EXPECT_EQ(ReadBytes(same.path), QByteArray("old Page"));
    EXPECT_EQ(outcome.files, 0);
    ASSERT_EQ(outcome.skipped.size(), 3u);
    EXPECT_EQ(outcome.skipped[0].reason, u"it was changed since the search"_s);
    EXPECT_EQ(outcome.skipped[1].reason, u"it was changed since the search"_s);
    EXPECT_TRUE(outcome.skipped[2].reason.startsWith(u"it cannot be read"_s));
    EXPECT_TRUE(outcome.Message().contains(gone.path));
}

TEST_F(ReplaceApplyTest, ABackupHoldsTheOldBytes) {
    const QByteArray old = "\xEF\xBB\xBFold\r\ncaf\xC3\xA9 old";
    const ReplaceTarget page = Page(u"page.htm"_s, old);
    WriteBytes(page.path + u".pbak"_s, "an earlier backup");
    const ReplaceOutcome outcome = Apply({page}, nullptr, true);
    EXPECT_EQ(outcome.files, 1);
    EXPECT_EQ(ReadBytes(page.path + u".pbak"_s), old);
    EXPECT_EQ(ReadBytes(page.path), QByteArray("\xEF\xBB\xBFnew\r\ncaf\xC3\xA9 new"));
}

TEST_F(ReplaceApplyTest, TheEditorsUnsavedPageIsLeftAloneAndASavedOneReloaded) {
    const ReplaceTarget open = Page(u"open.htm"_s, "old");
    const ReplaceTarget other = Page(u"other.htm"_s, "old");
    FakeEditor editor;
    editor.file = open.path;
    editor.unsaved = true;
    ReplaceOutcome outcome = Apply({open, other}, &editor);
    EXPECT_EQ(ReadBytes(open.path), QByteArray("old"));
    EXPECT_EQ(ReadBytes(other.path), QByteArray("new"));
    ASSERT_EQ(outcome.skipped.size(), 1u);
    EXPECT_EQ(outcome.skipped[0].path, open.path);
    EXPECT_EQ(outcome.skipped[0].reason, u"it has unsaved changes in the editor"_s);
    EXPECT_EQ(editor.reloads, 0);

    editor.unsaved = false;
    outcome = Apply({open}, &editor);
    EXPECT_EQ(ReadBytes(open.path), QByteArray("new"));
    EXPECT_EQ(editor.reloads, 1);
}

TEST_F(ReplaceApplyTest, AFailedWriteLeavesThePageAsItWas) {
    const ReplaceTarget locked = Page(u"locked.htm"_s, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(locked.path).constData(), 0444), 0);
    // A link to a page outside the folder searched is not written through.
    QTemporaryDir outside;
    WriteBytes(outside.path() + u"/elsewhere.htm"_s, "old");
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path() + u"/elsewhere.htm"_s).constData(),
                        QFile::encodeName(Path(u"link.htm"_s)).constData()),
              0);
    QByteArray bytes;
    const PageStamp stamp = ReadPageForSearch(Path(u"link.htm"_s), bytes).stamp;
    const ReplaceTarget link{Path(u"link.htm"_s), stamp, PageFingerprint(bytes)};

    const ReplaceOutcome outcome = Apply({locked, link});
    EXPECT_EQ(ReadBytes(locked.path), QByteArray("old"));
    EXPECT_EQ(ReadBytes(outside.path() + u"/elsewhere.htm"_s), QByteArray("old"));
    ASSERT_EQ(outcome.skipped.size(), 2u);
    EXPECT_TRUE(outcome.skipped[0].reason.startsWith(u"it could not be written"_s));
    EXPECT_EQ(outcome.skipped[1].reason, u"it is a link to a file outside the folder searched"_s);
    EXPECT_TRUE(outcome.Message().startsWith(u"Replaced 0 occurrences in 0 files.\n\n"_s));
}

// One page failing in the middle of the batch leaves that page and its
// backup as they were, while the pages before and after it are written with
// their backups, and no temporary file stays behind.
TEST_F(ReplaceApplyTest, AFailureInTheMiddleOfTheBatchStopsOnlyThatPage) {
    std::vector<ReplaceTarget> pages;
    for (const QString &name : {u"a.htm"_s, u"b.htm"_s, u"c.htm"_s, u"d.htm"_s})
        pages.push_back(Page(name, "old " + name.toUtf8()));
    ASSERT_EQ(::chmod(QFile::encodeName(pages[3].path).constData(), 0600), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(pages[1].path).constData(), 0444), 0);
    // c's backup cannot be written where a folder stands.
    ASSERT_TRUE(QDir(dir_.path()).mkpath(u"c.htm.pbak/inside"_s));

    const ReplaceOutcome outcome = Apply(pages, nullptr, true);
    EXPECT_EQ(outcome.files, 2);
    EXPECT_EQ(outcome.occurrences, 2);
    ASSERT_EQ(outcome.skipped.size(), 2u);
    EXPECT_EQ(outcome.skipped[0].path, pages[1].path);
    EXPECT_EQ(outcome.skipped[0].reason, u"it could not be written: Permission denied"_s);
    EXPECT_EQ(outcome.skipped[1].path, pages[2].path);
    EXPECT_TRUE(outcome.skipped[1].reason.startsWith(u"its backup could not be written"_s));
    EXPECT_EQ(ReadBytes(pages[0].path), QByteArray("new a.htm"));
    EXPECT_EQ(ReadBytes(pages[0].path + u".pbak"_s), QByteArray("old a.htm"));
    EXPECT_EQ(ReadBytes(pages[1].path), QByteArray("old b.htm"));
    EXPECT_EQ(ReadBytes(pages[2].path), QByteArray("old c.htm"));
    EXPECT_EQ(ReadBytes(pages[3].path), QByteArray("new d.htm"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(pages[3].path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"a.htm"_s, u"a.htm.pbak"_s, u"b.htm"_s, u"b.htm.pbak"_s, u"c.htm"_s,
                           u"d.htm"_s, u"d.htm.pbak"_s}));
}

TEST_F(ReplaceApplyTest, ThePreviewTellsTheChangesWithoutWriting) {
    const ReplaceTarget page = Page(u"page.htm"_s, "keep\nold line\n");
    const PreviewedFile preview = PreviewReplacement(page, TextPattern(u"old"_s, {}), u"new"_s, 10);
    EXPECT_EQ(preview.count, 1);
    ASSERT_EQ(preview.changes.size(), 1u);
    EXPECT_EQ(preview.changes[0].line, 2);
    EXPECT_EQ(preview.changes[0].after, u"new line"_s);
    EXPECT_EQ(ReadBytes(page.path), QByteArray("keep\nold line\n"));
}

// Whether a page lies inside the folder searched is told by where it really
// is: a page in a linked folder that leads out of the site is not written,
// while one reached through a link that stays inside is, and a page that is
// a link to another page of the site is written at its target.
TEST_F(ReplaceApplyTest, LinksAreWrittenThroughOnlyWhenTheyStayInside) {
    QTemporaryDir outside;
    WriteBytes(outside.path() + u"/far.htm"_s, "old far");
    ASSERT_TRUE(QDir(dir_.path()).mkpath(u"real"_s));
    const auto link = [](const QString &target, const QString &name) {
        ASSERT_EQ(
            ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(name).constData()),
            0);
    };
    link(outside.path(), Path(u"out"_s));
    link(Path(u"real"_s), Path(u"in"_s));
    const ReplaceTarget near = Page(u"real/near.htm"_s, "old near");
    link(near.path, Path(u"alias.htm"_s));
    const QString farPath = Path(u"out/far.htm"_s);
    QByteArray bytes;
    const ReplaceTarget far{farPath, ReadPageForSearch(farPath, bytes).stamp,
                            PageFingerprint(bytes)};
    const ReplaceTarget viaLinkedFolder = Page(u"in/also.htm"_s, "old also");
    const ReplaceTarget alias{Path(u"alias.htm"_s), near.stamp, near.fingerprint};

    const ReplaceOutcome outcome = Apply({far, viaLinkedFolder, alias});
    EXPECT_EQ(ReadBytes(outside.path() + u"/far.htm"_s), QByteArray("old far"));
    EXPECT_EQ(ReadBytes(Path(u"real/also.htm"_s)), QByteArray("new also"));
    EXPECT_EQ(ReadBytes(near.path), QByteArray("new near"));
    EXPECT_EQ(QFileInfo(Path(u"alias.htm"_s)).symLinkTarget(), near.path);
    ASSERT_EQ(outcome.skipped.size(), 1u);
    EXPECT_EQ(outcome.skipped[0].path, farPath);
    EXPECT_EQ(outcome.skipped[0].reason, u"it is a link to a file outside the folder searched"_s);
    EXPECT_EQ(outcome.files, 2);
}

} // namespace
} // namespace velmora
