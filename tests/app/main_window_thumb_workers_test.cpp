// Make Thumbs over several pages with the worker processes of the thumbnail
// program: the same files as the run in the window's own engine, a stop that
// keeps what was made, and the run in place when the program is missing.
#include "app/main_window.h"
#include "render/page_view.h"
#include "temp_files.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/thumbnail_store.h"
#include "worker_window_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::WorkerWindowFixture;
using namespace Qt::StringLiterals;

namespace {

class MainWindowThumbWorkersTest : public WorkerWindowFixture {
protected:
    void SetUp() override {
        WorkerWindowFixture::SetUp();
        StartProgram();
        program->Config().ThumbBaseIndex = 1; // 320x240: quick, yet text and colours show
    }

    // Pages that differ in colour and text; every other one takes the
    // browser's default colours and font.
    QStringList WritePages(int count) {
        return WorkerWindowFixture::WritePages(
            count, [](int n) { return "<p>" + QByteArray("words ").repeated(n + 1) + "</p>"; });
    }

    void OpenWindow(const QString &workers) { WorkerWindowFixture::OpenWindow(workers, 20); }

    void MakeThumbsOfAll(const QStringList &pages) {
        window->JumpToFileAndFolder(pages[0]);
        FileList()->selectAll();
        window->Commands().Add_Remove(FileCommands::ModeMake);
    }

    bool HasThumb(const QString &page) const {
        return QFileInfo::exists(window->Thumbnails().ThumbPathOf(page));
    }

    // Every file under THUMBS by its path there, with its bytes; each must
    // be a whole thumbnail.
    Files ThumbFiles() const {
        Files files;
        const QString thumbDir = window->Thumbnails().ThumbDir();
        QDirIterator it(thumbDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            Picture picture;
            EXPECT_TRUE(ThumbnailCache::DecodeThumbnailFile(path, &picture)) << path.toStdString();
            EXPECT_EQ(picture.size(), QSize(130, 100)) << path.toStdString();
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            files[QDir(thumbDir).relativeFilePath(path)] = file.readAll();
        }
        return files;
    }
};

TEST_F(MainWindowThumbWorkersTest, WorkersMakeTheSameFilesAsTheWindowsOwnEngine) {
    const QStringList pages = WritePages(8);
    OpenWindow(QString::fromUtf8(VELMORA_THUMBS_TOOL));
    MakeThumbsOfAll(pages);
    const auto parallel = ThumbFiles();
    // Every page is counted once, in page order, as the window's own run does.
    EXPECT_EQ(progress.texts, TextsOf(pages));
    EXPECT_EQ(progress.steps, 8);
    EXPECT_TRUE(progress.closed);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(prompts.calls.isEmpty());
    ASSERT_TRUE(QDir(window->Thumbnails().ThumbDir()).removeRecursively());

    OpenWindow(QString());
    MakeThumbsOfAll(pages);
    const auto sequential = ThumbFiles();
    EXPECT_EQ(progress.texts, TextsOf(pages));
    ExpectSameFiles(parallel, sequential, 8);
}

// Stop while the workers have their first pages: those are finished, no
// other page is made, and no file is left half written.
TEST_F(MainWindowThumbWorkersTest, StopKeepsThePagesInHandAndLeavesNoPartialFile) {
    const QStringList pages = WritePages(12);
    OpenWindow(QString::fromUtf8(VELMORA_THUMBS_TOOL));
    progress.stopAtText = 1;
    MakeThumbsOfAll(pages);
    EXPECT_TRUE(progress.closed);
    EXPECT_TRUE(window->isEnabled());
    ASSERT_GE(progress.steps, 1);
    EXPECT_LT(progress.steps, 6);
    // The pages handed out are the first ones, and each is reported.
    EXPECT_EQ(progress.texts, TextsOf(pages).mid(0, progress.texts.size()));
    EXPECT_EQ(progress.steps, progress.texts.size());
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_EQ(HasThumb(pages[i]), i < progress.steps) << i;
    EXPECT_EQ(int(ThumbFiles().size()), progress.steps);
}

TEST_F(MainWindowThumbWorkersTest, AMissingWorkerProgramLeavesTheRunToTheWindow) {
    const QStringList pages = WritePages(3);
    OpenWindow(dir.filePath(u"no-such-program"_s));
    MakeThumbsOfAll(pages);
    EXPECT_EQ(progress.texts, TextsOf(pages));
    EXPECT_EQ(progress.steps, 3);
    for (const QString &page : pages)
        EXPECT_TRUE(HasThumb(page));
    EXPECT_EQ(ThumbFiles().size(), 3u);
    EXPECT_TRUE(prompts.calls.isEmpty());
}

} // namespace
