// The snapshot options window with a stand-in capture: what it shows when
// opened, what Preview, Save, Batch Export and Copy to clipboard do, and how
// each way of failing ends.
#include "foundation/view_selection.h"
#include "pictures/bmp_codec.h"
#include "scripted_prompts.h"
#include "snapshot/window/form_snap_batch.h"
#include "snapshot/window/form_snap_prop.h"
#include "temp_files.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

#include <unistd.h>

using namespace velmora;
using namespace Qt::StringLiterals;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;

namespace {

const QColor kPageColour(0x20, 0xA0, 0x60);

class SelectionDouble final : public ViewSelection {
public:
    QString GetCurrentFile() const override { return files.value(0); }
    TSelectionInfo GetSelectionInfo() const override {
        return {0, int(files.size()), int(files.size())};
    }
    QStringList SelectedFiles() const override { return files; }
    QString GetViewFile(int i, bool) const override { return files.value(i); }
    QStringList files;
};

class ProgressDouble final : public ProgressWindow {
public:
    ProgressDouble(QStringList &texts, std::optional<int> stopAt)
        : texts_(texts), stopAt_(stopAt) {}
    void InitProgBar(int) override {}
    void Show() override {}
    void SetText(const QString &text) override {
        texts_ << text;
        stop_ = stopAt_ && int(texts_.size()) >= *stopAt_;
    }
    void Step() override {}
    bool StopRequested() const override { return stop_; }
    void Close() override {}

private:
    QStringList &texts_;
    std::optional<int> stopAt_;
    bool stop_ = false;
};

class FormSnapPropTest : public ::testing::Test {
protected:
    void SetUp() override { snapshotPath = dir.filePath(u"VIEWER.2/SNAPSHOTS/"_s); }

    QString Page(const QString &name) {
        const QString path = dir.filePath(u"web/"_s + name);
        WriteBytes(path, "<p>page</p>");
        return path;
    }
    // The window for the given files, opened as from the main window.
    std::unique_ptr<TFormSnapProp> Open(const QStringList &files, bool snapView = false) {
        selection.files = files;
        params.FileName = files.value(0);
        params.SelCount = int(files.size());
        params.ItemCount = int(files.size());
        params.BatchMode = !snapView && files.size() > 1;
        SnapshotWindowServices services{
            prompts,
            prompts,
            selection,
            [this](const QString &page, const CaptureRequest &request, Picture *picture,
                   QString *error) {
                requests << request;
                captured << page;
                if (onCapture)
                    onCapture(page);
                if (failCapture) {
                    *error = u"time limit"_s;
                    return false;
                }
                *picture = MakePicture(request.base.width() - request.cropRight,
                                       request.base.height() - request.cropBottom, kPageColour);
                return true;
            },
            [this](const QString &) -> std::optional<qint64> {
                return ++freeSpaceAsked > fullAfter ? 1000 : qint64(1) << 40;
            },
            realProgressWindow ? ProgressWindowFactory()
                               : [this]() -> std::unique_ptr<ProgressWindow> {
                return std::make_unique<ProgressDouble>(progressTexts, stopAt);
            }};
        if (batchCapture)
            services.batchCapture = {
                [](const QStringList &) { return true; },
                [this](const QStringList &pages, const CaptureRequest &request,
                       const SnapshotCaptured &report, const std::function<bool()> &stop) {
                    requests << request;
                    for (int i = 0; i < pages.size() && !stop(); ++i) {
                        batchCaptured << pages[i];
                        if (pages[i] == failBatchPage)
                            report(i, false, {}, u"the worker ended"_s);
                        else
                            report(i, true,
                                   MakePicture(request.base.width() - request.cropRight,
                                               request.base.height() - request.cropBottom,
                                               kPageColour),
                                   {});
                    }
                }};
        auto form = std::make_unique<TFormSnapProp>(services, params, snapshotPath,
                                                    SnapshotOpening{snapView, {680, 393}, nullptr},
                                                    nullptr);
        form->show();
        return form;
    }
    template <typename T> T *Child(QWidget *form, const QString &name) {
        T *child = form->findChild<T *>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return child;
    }
    void SetText(QWidget *form, const QString &edit, const QString &text) {
        Child<QLineEdit>(form, edit)->setText(text);
    }
    QString Status(TFormSnapProp &form) { return form.StatusText(); }
    // Answers the batch dialog with Start once it is shown.
    void StartBatchWhenAsked() {
        QTimer::singleShot(0, [this] {
            auto *batch = qobject_cast<TFormSnapBatch *>(QApplication::activeModalWidget());
            ASSERT_NE(batch, nullptr);
            batchCaption = batch->windowTitle();
            batch->BOK()->click();
        });
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    SelectionDouble selection;
    TSnapShotParams params;
    QString snapshotPath;
    QList<CaptureRequest> requests;
    QStringList captured;
    QStringList progressTexts;
    std::optional<int> stopAt;
    bool failCapture = false;
    // Runs as each page is captured.
    std::function<void(const QString &)> onCapture;
    // The program's own progress window instead of the stand-in.
    bool realProgressWindow = false;
    // Several pages captured at once by a stand-in service: the pages it
    // captured, and one it fails.
    bool batchCapture = false;
    QStringList batchCaptured;
    QString failBatchPage;
    int freeSpaceAsked = 0;
    int fullAfter = 1000;
    QString batchCaption;
};

TEST_F(FormSnapPropTest, OpenedFromTheMainWindowForOneFile) {
    const QString page = Page(u"index.htm"_s);
    auto form = Open({page});
    EXPECT_EQ(form->windowTitle(), u"Snapshot Options - (File: "_s + page + u")"_s);
    EXPECT_TRUE(Child<QRadioButton>(form.get(), u"RBCustom"_s)->isChecked());
    EXPECT_FALSE(Child<QRadioButton>(form.get(), u"RBBrowser"_s)->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(form.get(), u"EViewWidth"_s)->text().isEmpty());
    EXPECT_TRUE(Child<QLineEdit>(form.get(), u"EWidth"_s)->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(form.get(), u"BSave"_s)->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(form.get(), u"BBatch"_s)->isEnabled());
    EXPECT_EQ(Status(*form), u"Snapshot - Set your preferences then click 'Preview'"_s);
    // The empty frame: white page, navy border, gray shadow.
    ASSERT_EQ(form->ImgSave().size(), QSize(810, 610));
    EXPECT_EQ(form->ImgSave().pixelColor(400, 300), QColor(Qt::white));
    EXPECT_EQ(form->ImgSave().pixelColor(0, 0), QColor(0, 0, 0x80));
    EXPECT_EQ(form->ImgSave().pixelColor(805, 605), QColor(0x80, 0x80, 0x80));
    EXPECT_TRUE(captured.isEmpty());
    EXPECT_TRUE(prompts.calls.isEmpty());
}

TEST_F(FormSnapPropTest, SnapViewPreselectsTheBrowserSize) {
    auto form = Open({Page(u"a.htm"_s), Page(u"b.htm"_s)}, true);
    EXPECT_TRUE(Child<QRadioButton>(form.get(), u"RBBrowser"_s)->isChecked());
    EXPECT_EQ(Child<QLineEdit>(form.get(), u"EViewWidth"_s)->text(), u"(680x393)"_s);
    EXPECT_FALSE(Child<QLineEdit>(form.get(), u"EWidth"_s)->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(form.get(), u"BBatch"_s)->isEnabled());
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests[0].snapViewMode);
    EXPECT_EQ(requests[0].base, QSize(680, 393));
    EXPECT_EQ(form->ImgSave().size(), QSize(690, 403));
}

TEST_F(FormSnapPropTest, SinglePreviewAtHalfScale) {
    auto form = Open({Page(u"index.htm"_s)});
    SetText(form.get(), u"EScale"_s, u"50"_s);
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    EXPECT_EQ(Status(*form), u"Snapshot done: (Source: 800x600,  Snapshot: 410x310 = 50%)"_s);
    EXPECT_TRUE(Child<QPushButton>(form.get(), u"BSave"_s)->isEnabled());
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].base, QSize(800, 600));
    EXPECT_FALSE(requests[0].snapViewMode);
    ASSERT_EQ(form->ImgSave().size(), QSize(410, 310));
    EXPECT_EQ(form->ImgSave().pixelColor(200, 150), kPageColour);
    EXPECT_EQ(params.Scale, 50);

    // The clipboard receives the same picture.
    Child<QPushButton>(form.get(), u"BClip"_s)->click();
    EXPECT_EQ(ToPicture(QGuiApplication::clipboard()->image()), form->ImgSave());
}

TEST_F(FormSnapPropTest, ChecksComeInOrderAndStopThePreview) {
    auto form = Open({Page(u"index.htm"_s)});
    SetText(form.get(), u"EWidth"_s, u"abc"_s);
    SetText(form.get(), u"EHeight"_s, u"xyz"_s);
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    SetText(form.get(), u"EWidth"_s, u"$20"_s); // 32
    SetText(form.get(), u"EHeight"_s, u"0x40"_s);
    SetText(form.get(), u"EScale"_s, u"4"_s);
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    EXPECT_EQ(prompts.Texts(Kind::Info),
              (QStringList{u"abc is not a valid width!"_s,
                           u"4 is not a valid scaling factor: (5-100%)!"_s}));
    EXPECT_TRUE(captured.isEmpty());
    EXPECT_EQ(params.CustomWidth, 32); // stored before the scale failed
    EXPECT_EQ(params.CustomHeight, 64);
    EXPECT_FALSE(Child<QPushButton>(form.get(), u"BSave"_s)->isEnabled());
}

TEST_F(FormSnapPropTest, APageGoneSinceItsSelectionChangesNothing) {
    const QString page = Page(u"index.htm"_s);
    auto form = Open({page});
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    const Picture before = form->ImgSave();
    const QString status = Status(*form);
    QFile::remove(page);
    SetText(form.get(), u"EScale"_s, u"50"_s);
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    EXPECT_EQ(captured.size(), 1);
    EXPECT_EQ(form->ImgSave(), before);
    EXPECT_EQ(Status(*form), status);
    EXPECT_TRUE(prompts.calls.isEmpty());
}

TEST_F(FormSnapPropTest, AFailedCaptureKeepsThePictureAndSaysWhy) {
    auto form = Open({Page(u"index.htm"_s)});
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    const Picture before = form->ImgSave();
    failCapture = true;
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    EXPECT_EQ(form->ImgSave(), before);
    ASSERT_EQ(prompts.Count(Kind::Error), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Error).first().endsWith(u"time limit"_s));
}

TEST_F(FormSnapPropTest, SaveProposesTheNameAndKeepsTheFolder) {
    const QString page = Page(u"main.page.htm"_s);
    auto form = Open({page});
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    const QString target = dir.filePath(u"out/shot"_s);
    QDir().mkpath(dir.filePath(u"out"_s));
    prompts.fileAnswers = {target};
    prompts.filterAnswers = {2};
    const QString proposed = snapshotPath + u"snap_main_page_htm.jpg"_s;
    Child<QPushButton>(form.get(), u"BSave"_s)->click();
    ASSERT_EQ(prompts.proposedPaths.size(), 1);
    EXPECT_EQ(prompts.proposedPaths[0], proposed);
    EXPECT_EQ(prompts.proposedFilters[0], 1);
    EXPECT_EQ(ReadBytes(target + u".bmp"_s), EncodeBmp24(form->ImgSave()));
    EXPECT_EQ(Status(*form), u"Saved as:"_s + target + u".bmp"_s);
    EXPECT_EQ(snapshotPath, dir.filePath(u"out/"_s));

    // The dialog starts on the format chosen last; an invalid name writes
    // nothing and leaves the folder as it was.
    prompts.fileAnswers = {dir.filePath(u"out/a*b"_s)};
    Child<QPushButton>(form.get(), u"BSave"_s)->click();
    EXPECT_EQ(prompts.proposedPaths[1], dir.filePath(u"out/snap_main_page_htm.bmp"_s));
    EXPECT_EQ(prompts.Texts(Kind::Error), QStringList{u"Invalid Filename: a*b.bmp"_s});
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"Invalid file name: "_s});
    EXPECT_EQ(snapshotPath, dir.filePath(u"out/"_s));
    EXPECT_EQ(QDir(dir.filePath(u"out"_s)).entryList(QDir::Files).size(), 1);
}

TEST_F(FormSnapPropTest, SaveRefusedForLackOfRoom) {
    fullAfter = 0;
    auto form = Open({Page(u"index.htm"_s)});
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    QDir().mkpath(dir.filePath(u"out"_s));
    prompts.fileAnswers = {dir.filePath(u"out/a.jpg"_s)};
    Child<QPushButton>(form.get(), u"BSave"_s)->click();
    EXPECT_EQ(prompts.Count(Kind::Info), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(u"out/a.jpg"_s)));
}

TEST_F(FormSnapPropTest, BatchExportNamesTheFilesAndAsksBeforeOverwriting) {
    const QString index = Page(u"index.htm"_s);
    const QString main = Page(u"main.page.htm"_s);
    auto form = Open({index, main});
    EXPECT_EQ(form->windowTitle(), u"Snapshot Options for 2 files"_s);
    EXPECT_TRUE(Child<QPushButton>(form.get(), u"BBatch"_s)->isEnabled());
    Child<QPushButton>(form.get(), u"BPreview"_s)->click();
    EXPECT_EQ(Status(*form), u"Preview file (1 of 2): (Source: 800x600,  Output: 810x610)"_s);
    EXPECT_FALSE(Child<QPushButton>(form.get(), u"BSave"_s)->isEnabled());

    StartBatchWhenAsked();
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(batchCaption, u"Export 2 snapshots"_s);
    const QString first = snapshotPath + u"snap_index_htm.jpg"_s;
    const QString second = snapshotPath + u"snap_main_page_htm.jpg"_s;
    ASSERT_TRUE(QFile::exists(first));
    ASSERT_TRUE(QFile::exists(second));
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(progressTexts, (QStringList{u"(1 of 2): "_s + index, u"(2 of 2): "_s + main}));
    EXPECT_EQ(Status(*form), u"Snapshots done ..."_s);
    EXPECT_TRUE(form->isEnabled());

    // Again, answering No every time: the files stay as they were.
    const QByteArray firstBytes = ReadBytes(first);
    SetText(form.get(), u"EScale"_s, u"50"_s);
    prompts.yesNoCancelAnswers = {Answer::No, Answer::No};
    StartBatchWhenAsked();
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel),
              (QStringList{u"File exists: "_s + first + u"\n\nOverwrite ?"_s,
                           u"File exists: "_s + second + u"\n\nOverwrite ?"_s}));
    EXPECT_EQ(ReadBytes(first), firstBytes);
    EXPECT_EQ(Status(*form), u"Snapshots done ..."_s);
}

TEST_F(FormSnapPropTest, BatchExportStopsOnRequestAndWhenTheDiskIsFull) {
    const QStringList pages{Page(u"a.htm"_s), Page(u"b.htm"_s), Page(u"c.htm"_s)};
    auto form = Open(pages);
    stopAt = 2;
    form->SetBatchOptions([] { return true; });
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files),
              (QStringList{u"snap_a_htm.jpg"_s, u"snap_b_htm.jpg"_s}));

    QDir(snapshotPath).removeRecursively();
    stopAt.reset();
    progressTexts.clear();
    fullAfter = freeSpaceAsked + 1;
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files), QStringList{u"snap_a_htm.jpg"_s});
    EXPECT_EQ(prompts.Count(Kind::Info), 1); // the free-space message
    EXPECT_EQ(progressTexts.size(), 2);
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(FormSnapPropTest, BatchExportIntoAFolderThatCannotBeWritten) {
    auto form = Open({Page(u"a.htm"_s), Page(u"b.htm"_s)});
    WriteBytes(dir.filePath(u"blocker"_s), "a file where the folder should be");
    snapshotPath = dir.filePath(u"blocker/"_s);
    form->SetBatchOptions([] { return true; });
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(prompts.Count(Kind::Error), 1);
    EXPECT_EQ(progressTexts.size(), 1); // ended at the first file
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(FormSnapPropTest, ABatchExportEndedByTheUserSaysSoWithTheCount) {
    const QStringList pages{Page(u"a.htm"_s), Page(u"b.htm"_s), Page(u"c.htm"_s)};
    auto form = Open(pages);
    form->SetBatchOptions([] { return true; });
    stopAt = 2; // the stop button, pressed during the second page
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(Status(*form), u"Snapshots cancelled ... (2 of 3 pages done)"_s);

    // Cancel at the overwrite question of the second page.
    stopAt.reset();
    prompts.yesNoCancelAnswers = {Answer::No, Answer::Cancel};
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 2);
    EXPECT_EQ(Status(*form), u"Snapshots cancelled ... (1 of 3 pages done)"_s);

    // A stop pressed during the last page comes too late to cancel anything.
    QDir(snapshotPath).removeRecursively();
    progressTexts.clear();
    stopAt = 3;
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(Status(*form), u"Snapshots done ..."_s);

    // A failure is no cancel either.
    QDir(snapshotPath).removeRecursively();
    stopAt.reset();
    failCapture = true;
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(Status(*form), u"Snapshots stopped by an error ... (0 of 3 pages done)"_s);
}

// The options window is modal; the progress window of its batch export must
// still take the click on its stop button, as it does for a thumbnail run.
TEST_F(FormSnapPropTest, TheStopButtonOfTheProgressWindowActsDuringABatchExport) {
    const QStringList pages{Page(u"a.htm"_s), Page(u"b.htm"_s), Page(u"c.htm"_s)};
    realProgressWindow = true;
    auto form = Open(pages);
    form->hide();
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    ASSERT_EQ(QApplication::activeModalWidget(), form.get());
    form->SetBatchOptions([] { return true; });
    QString shown;
    onCapture = [&](const QString &page) {
        if (page != pages[0])
            return;
        QWidget *progress = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->objectName() == u"FormProgress"_s && window->isVisible())
                progress = window;
        ASSERT_NE(progress, nullptr);
        shown = progress->findChild<QLabel *>(u"Label1"_s)->text();
        auto *stop = progress->findChild<QPushButton *>(u"Button1"_s);
        ASSERT_NE(stop, nullptr);
        // As the window system delivers a click: through the window, where
        // a window blocked by a modal one drops it.
        QTest::mouseClick(progress->windowHandle(), Qt::LeftButton, {},
                          stop->mapTo(progress, stop->rect().center()));
    };
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(shown, u"(1 of 3): "_s + pages[0]);
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files), QStringList{u"snap_a_htm.jpg"_s});
    EXPECT_EQ(Status(*form), u"Snapshots cancelled ... (1 of 3 pages done)"_s);
    EXPECT_TRUE(form->isEnabled());
}

// A page deleted before its turn gets no file, but the count goes on past it.
TEST_F(FormSnapPropTest, APageGoneBeforeItsTurnStillCounts) {
    const QStringList pages{Page(u"a.htm"_s), Page(u"b.htm"_s), Page(u"c.htm"_s)};
    auto form = Open(pages);
    form->SetBatchOptions([] { return true; });
    onCapture = [&](const QString &page) {
        if (page == pages[0])
            QFile::remove(pages[1]);
    };
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(progressTexts, (QStringList{u"(1 of 3): "_s + pages[0], u"(2 of 3): "_s + pages[1],
                                          u"(3 of 3): "_s + pages[2]}));
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files),
              (QStringList{u"snap_a_htm.jpg"_s, u"snap_c_htm.jpg"_s}));
    EXPECT_EQ(Status(*form), u"Snapshots done ..."_s);
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// With a service that captures several pages at once, the export takes its
// pictures in page order and writes, counts and stops as it does one page
// after the other; Snap View keeps to the browser's one view.
TEST_F(FormSnapPropTest, ABatchCaptureServiceTakesThePagesAndHearsTheStop) {
    const QStringList pages{Page(u"a.htm"_s), Page(u"b.htm"_s), Page(u"c.htm"_s)};
    batchCapture = true;
    auto form = Open(pages);
    form->SetBatchOptions([] { return true; });
    stopAt = 2;
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_TRUE(captured.isEmpty());
    EXPECT_EQ(batchCaptured, pages.mid(0, 2)); // no page asked for after the stop
    EXPECT_EQ(progressTexts, (QStringList{u"(1 of 3): "_s + pages[0], u"(2 of 3): "_s + pages[1]}));
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files),
              (QStringList{u"snap_a_htm.jpg"_s, u"snap_b_htm.jpg"_s}));
    EXPECT_EQ(Status(*form), u"Snapshots cancelled ... (2 of 3 pages done)"_s);

    // A page the service fails ends the export with its reason.
    QDir(snapshotPath).removeRecursively();
    stopAt.reset();
    batchCaptured.clear();
    failBatchPage = pages[1];
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(batchCaptured, pages.mid(0, 2));
    EXPECT_EQ(prompts.Texts(Kind::Error),
              QStringList{u"No snapshot of "_s + pages[1] + u": the worker ended"_s});
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files), QStringList{u"snap_a_htm.jpg"_s});
    EXPECT_EQ(Status(*form), u"Snapshots stopped by an error ... (1 of 3 pages done)"_s);

    // A page gone since its selection is passed over even though captured.
    QDir(snapshotPath).removeRecursively();
    failBatchPage.clear();
    QFile::remove(pages[2]);
    Child<QPushButton>(form.get(), u"BBatch"_s)->click();
    EXPECT_EQ(QDir(snapshotPath).entryList(QDir::Files),
              (QStringList{u"snap_a_htm.jpg"_s, u"snap_b_htm.jpg"_s}));
    EXPECT_EQ(Status(*form), u"Snapshots done ..."_s);
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(FormSnapPropTest, ClosingEndsBatchMode) {
    auto form = Open({Page(u"a.htm"_s), Page(u"b.htm"_s)});
    ASSERT_TRUE(params.BatchMode);
    form->reject();
    EXPECT_FALSE(params.BatchMode);
    EXPECT_TRUE(form->ImgSave().isNull());
}

TEST(FormSnapBatch, FolderChoiceCreatesANewFolderAndSetsTheFormat) {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    TSnapShotParams params;
    params.SelCount = 3;
    QString snapshotPath = u" "_s;
    TFormSnapBatch batch(prompts, prompts, params, snapshotPath, nullptr);
    batch.show();
    EXPECT_EQ(batch.windowTitle(), u"Export 3 snapshots"_s);
    EXPECT_FALSE(batch.BOK()->isEnabled()); // a blank folder
    const QString folder = dir.filePath(u"new.folder"_s);
    prompts.fileAnswers = {folder};
    prompts.yesNoAnswers = {true};
    batch.BEditor1Click();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(batch.ELoc1()->text(), folder + u"/"_s);
    EXPECT_TRUE(batch.BOK()->isEnabled());
    batch.FilterComboBox1()->setCurrentIndex(1);
    EXPECT_EQ(params.BatchExt, u".bmp"_s);
    EXPECT_EQ(params.OutType, 2);
    batch.BOK()->click();
    EXPECT_EQ(snapshotPath, folder + u"/"_s);
    EXPECT_EQ(batch.result(), QDialog::Accepted);
}

// The folder comes from the "..." button only, and the box shows that it
// takes no typing; a choice that cannot hold snapshots is refused at once.
TEST(FormSnapBatch, TheFolderBoxIsPlainlyReadOnlyAndTheChoiceIsChecked) {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    TSnapShotParams params;
    params.SelCount = 2;
    QString snapshotPath = dir.filePath(u"shots/"_s);
    TFormSnapBatch batch(prompts, prompts, params, snapshotPath, nullptr);
    batch.show();
    batch.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&batch));
    QLineEdit *box = batch.ELoc1();
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(batch.focusWidget(), batch.findChild<QPushButton *>(u"BEditor1"_s));
    EXPECT_EQ(box->palette().color(QPalette::Active, QPalette::Base),
              batch.palette().color(QPalette::Active, QPalette::Window));
    EXPECT_NE(box->palette().color(QPalette::Active, QPalette::Base),
              QLineEdit().palette().color(QPalette::Active, QPalette::Base));
    box->setFocus();
    QTest::keyClicks(box, u"/elsewhere"_s);
    EXPECT_EQ(box->text(), snapshotPath);

    // A file where the folder should be.
    const QString file = dir.filePath(u"a file"_s);
    WriteBytes(file, "x");
    prompts.fileAnswers = {file};
    batch.BEditor1Click();
    EXPECT_EQ(prompts.Texts(Kind::Error), QStringList{u"Not a folder: "_s + file});
    EXPECT_EQ(prompts.Count(Kind::YesNo), 0);
    EXPECT_EQ(box->text(), snapshotPath);

    // A folder the user may not write to (root may write anywhere).
    if (::geteuid() != 0) {
        const QString locked = dir.filePath(u"locked"_s);
        ASSERT_TRUE(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        prompts.fileAnswers = {locked};
        batch.BEditor1Click();
        EXPECT_EQ(prompts.Texts(Kind::Error).value(1),
                  u"The folder "_s + locked + u"/ cannot be written to."_s);
        EXPECT_EQ(box->text(), snapshotPath);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    batch.BOK()->click();
    EXPECT_EQ(snapshotPath, dir.filePath(u"shots/"_s));
}

} // namespace
