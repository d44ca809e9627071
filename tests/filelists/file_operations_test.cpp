// Deleting and copying the selected files: exactly the selected files go,
// links lose only themselves, copies keep their time, a file is never copied
// onto itself, and the overwrite answers of a copy of several files.
#include "filelists/file_operations.h"
#include "foundation/file_utils.h"
#include "foundation/progress_window.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::SetModified;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class SelectionDouble final : public ViewSelection {
public:
    QString GetCurrentFile() const override { return {}; }
    TSelectionInfo GetSelectionInfo() const override {
        return {0, int(selected.size()), int(paths.size())};
    }
    QStringList SelectedFiles() const override { return {}; }
    QString GetViewFile(int i, bool selectedOnly) const override {
        if (i < 0 || i >= paths.size() || (selectedOnly && !selected.contains(i)))
            return {};
        return paths[i];
    }
    QStringList paths;
    QList<int> selected;
};

class ProgressDouble final : public ProgressWindow {
public:
    void InitProgBar(int) override {}
    void Show() override {}
    void SetText(const QString &text) override {
        texts << text;
        if (stopAtText == int(texts.size()))
            stop = true;
    }
    void Step() override { ++steps; }
    bool StopRequested() const override { return stop; }
    void Close() override {}
    QStringList texts;
    int steps = 0;
    int stopAtText = -1;
    bool stop = false;
};

class FileOperationsTest : public ::testing::Test {
protected:
    QString Path(const QString &name) const { return dir.filePath(name); }
    QString File(const QString &name, const QByteArray &bytes = "page") {
        WriteBytes(Path(name), bytes);
        return Path(name);
    }
    bool OnDisk(const QString &name) const {
        const QFileInfo info(Path(name));
        return info.exists() || info.isSymLink();
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
};

TEST_F(FileOperationsTest, DeletionQuestionsNameOneFileOrTheCount) {
    const QString caution = u"CAUTION:\n--- File(s) will not be moved to the trash! ---\n\n\n"_s;
    EXPECT_EQ(DeleteQuestion(u"/w/a.htm"_s, 1),
              caution + u"Delete file \"/w/a.htm\" permanently from disk?\n\n"_s);
    EXPECT_EQ(DeleteQuestion({}, 3), caution + u"Delete 3 files permanently from disk?\n\n"_s);
}

// Links to a page and to a folder, a folder named like a page, and pages
// that are not selected: only the selected entries go, links as links.
TEST_F(FileOperationsTest, DeletesExactlyTheSelectedEntries) {
    const QString target = File(u"target.htm"_s);
    const QString kept = File(u"kept.htm"_s);
    const QString gone = File(u"gone.htm"_s);
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"folder.htm/inner"_s));
    File(u"folder.htm/inner/page.htm"_s);
    ASSERT_TRUE(QFile::link(target, Path(u"link.htm"_s)));
    ASSERT_TRUE(QFile::link(Path(u"folder.htm"_s), Path(u"dirlink.htm"_s)));
    ASSERT_TRUE(QFile::link(Path(u"missing.htm"_s), Path(u"dangling.htm"_s)));

    SelectionDouble view;
    view.paths = {kept,
                  Path(u"link.htm"_s),
                  gone,
                  Path(u"folder.htm"_s),
                  Path(u"dirlink.htm"_s),
                  target + u"x"_s,
                  Path(u"dangling.htm"_s)};
    view.selected = {1, 2, 3, 4, 6};
    bool recycle = true;
    const DeletionResult result = DeleteViewFiles(SelectedViewFiles(view), recycle);

    EXPECT_FALSE(recycle);
    EXPECT_EQ(result.lastIndex, 6);
    EXPECT_EQ(result.failed, QStringList{Path(u"folder.htm"_s)});
    for (const QString &name : {u"link.htm"_s, u"gone.htm"_s, u"dirlink.htm"_s, u"dangling.htm"_s})
        EXPECT_FALSE(OnDisk(name)) << name.toStdString();
    EXPECT_EQ(ReadBytes(target), "page");
    EXPECT_EQ(ReadBytes(kept), "page");
    EXPECT_EQ(ReadBytes(Path(u"folder.htm/inner/page.htm"_s)), "page");
}

TEST_F(FileOperationsTest, CaretAfterDeletionStaysInsideTheList) {
    EXPECT_EQ(FocusIndexAfterDeletion(2, 5), 2);
    EXPECT_EQ(FocusIndexAfterDeletion(4, 3), 2);
    EXPECT_EQ(FocusIndexAfterDeletion(0, 0), -1);
    EXPECT_EQ(FocusIndexAfterDeletion(-1, 4), -1);
}

TEST_F(FileOperationsTest, OneCopyKeepsTheModificationTime) {
    const QString source = File(u"a.htm"_s, "contents");
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1'000'000'123'456);
    SetModified(source, when);
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"out"_s));

    const SingleCopyResult result = CopyOneFile(source, Path(u"out/b.htm"_s), prompts);
    EXPECT_EQ(result.outcome, SingleCopy::Copied);
    EXPECT_EQ(result.target, Path(u"out/b.htm"_s));
    EXPECT_EQ(ReadBytes(result.target), "contents");
    EXPECT_EQ(FileStamp(result.target), when.toMSecsSinceEpoch());
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// Whatever the letter case, and through a link to the file, the copy onto
// itself is refused and the file stays as it was.
TEST_F(FileOperationsTest, CopyOntoItselfIsRefused) {
    const QString source = File(u"Site/X.HTM"_s, "original");
    ASSERT_TRUE(QFile::link(source, Path(u"Site/alias.htm"_s)));
    for (const QString &chosen : {source, Path(u"site/x.htm"_s), Path(u"Site/alias.htm"_s)}) {
        prompts.Clear();
        const SingleCopyResult result = CopyOneFile(source, chosen, prompts);
        EXPECT_EQ(result.outcome, SingleCopy::Itself) << chosen.toStdString();
        EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"Cannot copy a file to itself ..."_s});
    }
    EXPECT_EQ(ReadBytes(source), "original");
}

TEST_F(FileOperationsTest, OneCopyRefusesBadNamesAndReportsFailures) {
    const QString source = File(u"a.htm"_s);
    EXPECT_EQ(CopyOneFile(source, Path(u"b?.htm"_s), prompts).outcome, SingleCopy::Refused);
    EXPECT_EQ(prompts.Texts(Kind::Error), QStringList{u"Invalid Filename: b?.htm"_s});
    EXPECT_FALSE(OnDisk(u"b?.htm"_s));

    prompts.Clear();
    const QString nowhere = Path(u"no/such/folder/b.htm"_s);
    EXPECT_EQ(CopyOneFile(source, nowhere, prompts).outcome, SingleCopy::Failed);
    ASSERT_EQ(prompts.Count(Kind::Error), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Error)[0].contains(nowhere));
}

class SeveralCopiesTest : public FileOperationsTest {
protected:
    void SetUp() override {
        sources = {File(u"src/one.htm"_s, "1"), File(u"src/two.htm"_s, "2"),
                   File(u"src/three.htm"_s, "3")};
        File(u"out/two.htm"_s, "old");
        folder = Path(u"out/"_s);
    }
    SeveralCopyResult Run() {
        return CopyFilesToFolder(sources, folder, prompts, progress, [this] { ++between; });
    }
    QStringList sources;
    QString folder;
    ProgressDouble progress;
    int between = 0;
};

TEST_F(SeveralCopiesTest, NoSkipsTheExistingTargetOnly) {
    prompts.yesNoCancelAnswers = {Answer::No};
    const SeveralCopyResult result = Run();
    EXPECT_EQ(ReadBytes(Path(u"out/one.htm"_s)), "1");
    EXPECT_EQ(ReadBytes(Path(u"out/two.htm"_s)), "old");
    EXPECT_EQ(ReadBytes(Path(u"out/three.htm"_s)), "3");
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel),
              QStringList{u"File: "_s + folder + u"two.htm exists.\n\nOverwrite?"_s});
    EXPECT_EQ(progress.texts,
              (QStringList{u"(1 of 3): "_s + sources[0], u"(2 of 3): "_s + sources[1],
                           u"(3 of 3): "_s + sources[2]}));
    EXPECT_EQ(progress.steps, 3);
    EXPECT_EQ(between, 3);
}

TEST_F(SeveralCopiesTest, YesOverwritesAndStopEndsAfterTheFile) {
    prompts.yesNoCancelAnswers = {Answer::Yes};
    progress.stopAtText = 2;
    const SeveralCopyResult result = Run();
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(ReadBytes(Path(u"out/two.htm"_s)), "2");
    EXPECT_FALSE(OnDisk(u"out/three.htm"_s));
}

// Into their own folder every file is asked about, and Yes copies nothing:
// the files stay whole.
TEST_F(SeveralCopiesTest, CopyIntoTheirOwnFolderLeavesThemWhole) {
    prompts.defaultYesNoCancel = Answer::Yes;
    folder = Path(u"src/"_s);
    const SeveralCopyResult result = Run();
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 3);
    EXPECT_TRUE(result.copied.isEmpty());
    EXPECT_EQ(result.skipped.size(), 3);
    EXPECT_EQ(ReadBytes(sources[1]), "2");
}

TEST_F(SeveralCopiesTest, AFailedCopyIsCountedAndTheRunGoesOn) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"out/one.htm"_s)); // a folder in the way
    prompts.defaultYesNoCancel = Answer::Yes;
    const SeveralCopyResult result = Run();
    EXPECT_EQ(result.failed, QStringList{sources[0]});
    EXPECT_EQ(ReadBytes(Path(u"out/three.htm"_s)), "3");
    EXPECT_TRUE(QFileInfo(Path(u"out/one.htm"_s)).isDir());
}

} // namespace
