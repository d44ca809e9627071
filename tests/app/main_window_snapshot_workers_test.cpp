// The batch snapshot export over several pages with worker processes of the
// thumbnail program: the same files as the export in the window's own
// engine, a stop that keeps what was written and ends the workers, a worker
// that fails a page, and the export in place when the program is missing.
#include "app/main_window.h"
#include "render/page_view.h"
#include "scripted_prompts.h"
#include "snapshot/window/form_snap_prop.h"
#include "temp_files.h"
#include "worker_window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace velmora;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WorkerWindowFixture;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

// The processes this one started that are still there (not yet reaped
// ones included), by their program name.
int ChildrenNamed(const QByteArray &name) {
    int count = 0;
    const QByteArray parent = QByteArray::number(::getpid());
    for (const QString &pid : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile stat(u"/proc/"_s + pid + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid ...
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QByteArray comm = line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1);
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        // The kernel keeps 15 bytes of a program's name.
        if (rest.size() > 1 && rest[1] == parent && comm == name.left(15))
            ++count;
    }
    return count;
}

class MainWindowSnapshotWorkersTest : public WorkerWindowFixture {
protected:
    // A window whose batch export starts its workers as `workers` (empty:
    // every page in the window's own engine).
    void OpenWindow(const QString &workers) {
        WorkerWindowFixture::OpenWindow(workers, 22);
        // A geometry, crops, frame and filter other than the defaults.
        TSnapShotParams &params = window->Commands().SnapShotParams();
        params.CustomWidth = 700;
        params.CustomHeight = 450;
        params.Scale = 45;
        params.Shade = 6;
        params.Border = 3;
        params.CropVerti = true;
        params.CropHori = true;
        params.FilterIndex = 0;
    }

    // Pages long enough for scroll bars, that differ in colour and text;
    // every other one takes the browser's default colours and font.
    QStringList WritePages(int count) {
        return WorkerWindowFixture::WritePages(count, [](int) {
            return "<pre>" + QByteArray("words and words ").repeated(12) + "</pre><p>" +
                   QByteArray("line<br>").repeated(40) + "</p>";
        });
    }

    // Selects the pages and runs the batch export into out; the status line
    // of the options window at its end comes back.
    QString ExportAll(const QStringList &pages, const QString &out) {
        window->JumpToFileAndFolder(pages[0]);
        FileList()->selectAll();
        QString status;
        QTimer::singleShot(0, [&] {
            auto *form = qobject_cast<TFormSnapProp *>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            form->SetBatchOptions([&] {
                window->Commands().SnapShotParams().BatchExt = u".bmp"_s;
                window->Commands().SnapShotParams().OutType = kSnapshotBmp;
                program->Config().SnapshotPath = out;
                return true;
            });
            form->BBatchClick();
            status = form->StatusText();
            form->reject();
        });
        window->Commands().PopUpEntry(5)->trigger(); // "Create Snapshot(s)"
        return status;
    }

    static Files FilesIn(const QString &folder) {
        Files files;
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            QFile file(QDir(folder).filePath(name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            files[name] = file.readAll();
        }
        return files;
    }

    static QString SnapName(const QString &page) {
        return u"snap_"_s + QFileInfo(page).fileName().replace(u'.', u'_') + u".bmp"_s;
    }
};

TEST_F(MainWindowSnapshotWorkersTest, WorkersGiveTheSameFilesAsTheWindowsOwnEngine) {
    const QStringList pages = WritePages(6);
    const QString parallelOut = dir.filePath(u"parallel/"_s);
    const QString sequentialOut = dir.filePath(u"sequential/"_s);
    OpenWindow(QString::fromUtf8(VELMORA_THUMBS_TOOL));
    EXPECT_EQ(ExportAll(pages, parallelOut), u"Snapshots done ..."_s);
    // Every page is counted once, in page order, as the window's own run does.
    EXPECT_EQ(progress.texts, TextsOf(pages));
    EXPECT_EQ(progress.steps, 6);
    EXPECT_TRUE(prompts.calls.isEmpty()) << prompts.calls.value(0).text.toStdString();
    EXPECT_EQ(ChildrenNamed("velmora-thumbs"), 0);

    OpenWindow(QString());
    EXPECT_EQ(ExportAll(pages, sequentialOut), u"Snapshots done ..."_s);
    EXPECT_EQ(progress.texts, TextsOf(pages));
    const auto parallel = FilesIn(parallelOut);
    const auto sequential = FilesIn(sequentialOut);
    ExpectSameFiles(parallel, sequential, 6);
}

// Stop pressed during the second page: the first two files are written
// whole, no other file and nothing half written is there, the count says
// so, and no worker is left running.
TEST_F(MainWindowSnapshotWorkersTest, StopKeepsTheFilesWrittenAndEndsTheWorkers) {
    const QStringList pages = WritePages(10);
    const QString out = dir.filePath(u"shots/"_s);
    OpenWindow(QString::fromUtf8(VELMORA_THUMBS_TOOL));
    progress.stopAtText = 2;
    EXPECT_EQ(ExportAll(pages, out), u"Snapshots cancelled ... (2 of 10 pages done)"_s);
    EXPECT_EQ(progress.texts, TextsOf(pages).mid(0, 2));
    EXPECT_EQ(progress.steps, 2);
    const auto files = FilesIn(out);
    ASSERT_EQ(files.size(), 2u);
    for (const QString &page : pages.mid(0, 2)) {
        ASSERT_TRUE(files.count(SnapName(page))) << page.toStdString();
        QImage picture;
        EXPECT_TRUE(picture.loadFromData(files.at(SnapName(page)), "BMP")) << page.toStdString();
    }
    EXPECT_EQ(ChildrenNamed("velmora-thumbs"), 0);
    EXPECT_TRUE(window->isEnabled());
}

// A worker that cannot capture a page fails it as a capture in the window
// would: the message names the page and the reason, and the export ends.
TEST_F(MainWindowSnapshotWorkersTest, AWorkerThatFailsAPageEndsTheExportWithItsReason) {
    const QStringList pages = WritePages(3);
    const QString worker = dir.filePath(u"failing-worker"_s);
    velmora::testing::WriteBytes(worker, "#!/bin/bash\n"
                                         "while IFS= read -r -d '' page; do\n"
                                         "  echo 'failed no%20room%20for%20it'\n"
                                         "done\n");
    ASSERT_TRUE(QFile::setPermissions(worker, QFile::ReadOwner | QFile::ExeOwner));
    OpenWindow(worker);
    const QString out = dir.filePath(u"shots/"_s);
    EXPECT_EQ(ExportAll(pages, out), u"Snapshots stopped by an error ... (0 of 3 pages done)"_s);
    EXPECT_EQ(prompts.Texts(Kind::Error),
              QStringList{u"No snapshot of "_s + pages[0] + u": no room for it"_s});
    EXPECT_TRUE(FilesIn(out).empty());
}

TEST_F(MainWindowSnapshotWorkersTest, AMissingWorkerProgramLeavesTheExportToTheWindow) {
    const QStringList pages = WritePages(3);
    OpenWindow(dir.filePath(u"no-such-program"_s));
    const QString out = dir.filePath(u"shots/"_s);
    EXPECT_EQ(ExportAll(pages, out), u"Snapshots done ..."_s);
    EXPECT_EQ(progress.texts, TextsOf(pages));
    EXPECT_EQ(FilesIn(out).size(), 3u);
    EXPECT_TRUE(prompts.calls.isEmpty()) << prompts.calls.value(0).text.toStdString();
}

} // namespace
