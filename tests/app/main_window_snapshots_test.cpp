// The snapshot commands through the main window with the real rendering
// engine: the messages before the options window opens, a batch export of
// captured pages, Snap View from the browser window, and the snapshot
// settings written at exit.
#include "app/main_window.h"
#include "editor/window/form_view.h"
#include "foundation/desktop_services.h"
#include "foundation/ini_file.h"
#include "main_window_fixture.h"
#include "pictures/jpeg_codec.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "snapshot/window/form_snap_prop.h"
#include "temp_files.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::MainWindowFixture;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class MainWindowSnapshotsTest : public MainWindowFixture {
protected:
    void SetUp() override { window = MakeWindow(Services(&profile)); }
    QString Page(const QString &name) {
        return WriteSite(name, "<body style='margin:0;background:#c00020'><h1>" + name.toUtf8() +
                                   "</h1>");
    }
    QAction *CreateSnapshots() const { return window->findChild<QAction *>(u"Snapcurrenrfile1"_s); }
    // Runs check on the options window once it is shown, then closes it.
    void WhenOpen(std::function<void(TFormSnapProp &)> check) {
        QTimer::singleShot(0, [this, check] {
            auto *form = qobject_cast<TFormSnapProp *>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            opened = true;
            check(*form);
            form->reject();
        });
    }

    RenderProfile profile;
    bool opened = false;
};

TEST_F(MainWindowSnapshotsTest, MessagesWhenThereIsNothingToSnap) {
    const QString a = Page(u"a.htm"_s);
    window->JumpToFileAndFolder(a);
    FileList()->clearSelection();
    FileList()->setCurrentIndex({});
    CreateSnapshots()->trigger();
    window->JumpToFileAndFolder(a);
    FileList()->selectAll();
    QFile::remove(a);
    CreateSnapshots()->trigger();
    EXPECT_EQ(prompts.Texts(Kind::Info),
              (QStringList{u"No file(s) selected"_s, u"File: \""_s + a + u"\" not found!"_s}));
    EXPECT_FALSE(opened);
}

TEST_F(MainWindowSnapshotsTest, BatchExportOfCapturedPagesAndTheSettingsAtExit) {
    const QStringList pages{Page(u"a.htm"_s), Page(u"b.htm"_s)};
    window->JumpToFileAndFolder(pages[0]);
    FileList()->selectAll();
    const QString out = dir.filePath(u"shots.v2/"_s);
    WhenOpen([&](TFormSnapProp &form) {
        EXPECT_EQ(form.windowTitle(), u"Snapshot Options for 2 files"_s);
        form.findChild<QLineEdit *>(u"EScale"_s)->setText(u"50"_s);
        form.SetBatchOptions([&] {
            window->Commands().SnapShotParams().BatchExt = u".jpg"_s;
            program->Config().SnapshotPath = out;
            return true;
        });
        form.BBatchClick();
        EXPECT_EQ(form.StatusText(), u"Snapshots done ..."_s);
    });
    window->Commands().PopUpEntry(5)->trigger(); // "Create Snapshot(s)"
    ASSERT_TRUE(opened);
    for (const QString &name : {u"snap_a_htm.jpg"_s, u"snap_b_htm.jpg"_s}) {
        Picture picture;
        ASSERT_TRUE(LoadJpeg(out + name, &picture, nullptr, {.quantize = false}))
            << name.toStdString();
        EXPECT_EQ(picture.size(), QSize(410, 310));
        const QColor page = picture.pixelColor(200, 200);
        EXPECT_GT(page.red(), 170) << name.toStdString();
        EXPECT_LT(page.green(), 60) << name.toStdString();
    }
    EXPECT_EQ(prompts.Count(Kind::Error), 0);

    window.reset();
    IniFile ini;
    ASSERT_TRUE(ini.Load(program->Folders().SettingsFile()));
    EXPECT_EQ(ini.ReadString(u"PATHS"_s, u"SNAPSHOTPATH"_s, {}), out);
    EXPECT_EQ(ini.ReadInteger(u"THUMBS"_s, u"Scale"_s, 0), 50);
}

TEST_F(MainWindowSnapshotsTest, SnapViewTakesTheBrowserAndHasNoBatchExport) {
    const QStringList pages{Page(u"a.htm"_s), Page(u"b.htm"_s)};
    window->JumpToFileAndFolder(pages[0]);
    FileList()->selectAll();
    window->Preview().Document().Load(pages[0]);
    const QSize browser = window->Preview().FormView()->FrameViewer1()->size();
    WhenOpen([&](TFormSnapProp &form) {
        EXPECT_TRUE(form.findChild<QRadioButton *>(u"RBBrowser"_s)->isChecked());
        EXPECT_EQ(form.findChild<QLineEdit *>(u"EViewWidth"_s)->text(),
                  u"(%1x%2)"_s.arg(browser.width()).arg(browser.height()));
        EXPECT_FALSE(form.findChild<QPushButton *>(u"BBatch"_s)->isEnabled());
        form.BPreviewClick();
        EXPECT_TRUE(prompts.calls.isEmpty()) << prompts.calls.value(0).text.toStdString();
        EXPECT_EQ(window->Commands().SnapShotParams().FileName, pages[0]);
        EXPECT_EQ(form.ImgSave().size(), browser + QSize(10, 10));
        EXPECT_TRUE(form.findChild<QPushButton *>(u"BSave"_s)->isEnabled());
    });
    window->Commands().BSnapClick();
    EXPECT_TRUE(opened);
    EXPECT_EQ(prompts.Count(Kind::Error), 0);
    EXPECT_FALSE(window->Commands().SnapShotParams().BatchMode);
}

} // namespace
