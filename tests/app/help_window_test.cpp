// The help window: a new one for every Show Help, Esc closes one and leaves
// the others, and a missing index page is reported with the window empty.
#include "app/form_help.h"
#include "app/main_window.h"
#include "editor/window/form_view.h"
#include "foundation/desktop_services.h"
#include "recording_desktop.h"
#include "render/page_view.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::RecordingDesktop;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class HelpWindowTest : public ::testing::Test {
protected:
    void Open() {
        program = std::make_unique<Program>(ProgramFolders::At(dir.path()), prompts);
        program->Start(QSize(1000, 800));
        window = std::make_unique<TForm1>(
            MainWindowServices{*program, prompts, prompts, desktop, &profile});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { window.reset(); }

    QList<TFormHelp *> HelpWindows() const { return window->findChildren<TFormHelp *>(); }
    void ShowHelp() { window->findChild<QAction *>(u"Sh1"_s)->trigger(); }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    RecordingDesktop desktop;
    RenderProfile profile;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> window;
};

TEST_F(HelpWindowTest, TwoUsesGiveTwoWindowsAndEscClosesOnlyOne) {
    WriteBytes(dir.filePath(u"HELP/index.htm"_s),
               "<title>Help index</title><a href='more.htm'>more</a>");
    Open();
    ShowHelp();
    ShowHelp();
    const QList<TFormHelp *> helps = HelpWindows();
    ASSERT_EQ(helps.size(), 2);
    for (TFormHelp *help : helps) {
        EXPECT_TRUE(help->isVisible());
        EXPECT_FALSE(help->isModal());
        EXPECT_EQ(help->windowTitle(), u"Velmora - Help"_s);
        EXPECT_EQ(help->FVHelp()->CurrentFile(), dir.filePath(u"HELP/index.htm"_s));
        EXPECT_EQ(help->FVHelp()->HistoryCount(), 0);
    }
    EXPECT_TRUE(desktop.urls.isEmpty());
    EXPECT_TRUE(prompts.calls.isEmpty());

    QPointer<TFormHelp> first = helps[0];
    QTest::keyClick(first.data(), Qt::Key_Escape);
    QTRY_VERIFY(first.isNull()); // freed on close
    ASSERT_EQ(HelpWindows().size(), 1);
    EXPECT_TRUE(HelpWindows()[0]->isVisible());
}

TEST_F(HelpWindowTest, AMissingIndexIsReportedAndTheWindowShowsEmpty) {
    Open();
    ShowHelp();
    EXPECT_EQ(prompts.Texts(Kind::Error),
              QStringList{u"Can't locate file: "_s + dir.filePath(u"HELP/index.htm"_s)});
    ASSERT_EQ(HelpWindows().size(), 1);
    EXPECT_TRUE(HelpWindows()[0]->isVisible());
    EXPECT_TRUE(HelpWindows()[0]->FVHelp()->CurrentFile().isEmpty());
}

TEST_F(HelpWindowTest, TheBrowserSettingsDoNotReachTheHelp) {
    WriteBytes(dir.filePath(u"HELP/index.htm"_s), "<p>help</p>");
    Open();
    PageView *browser = window->Preview().FormView()->FrameViewer1();
    DisplaySettings changed = browser->Display();
    changed.fontSize = 22;
    changed.showImages = false;
    browser->SetDisplay(changed);
    ShowHelp();
    ASSERT_EQ(HelpWindows().size(), 1);
    EXPECT_EQ(HelpWindows()[0]->FVHelp()->Display(), DisplaySettings{});
}

} // namespace
