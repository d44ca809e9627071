// The main window's buttons operated the three ways a person can: a click,
// the keyboard, and the accessible action an assistive tool performs (a
// screen reader, voice control or switch access). Each way must run the
// button's command, not only show the button pressed.
#include "app/main_window.h"
#include "editor/window/form_view.h"
#include "editor/window/source_edit.h"
#include "main_window_fixture.h"
#include "render/page_view.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::MainWindowFixture;
using namespace Qt::StringLiterals;

namespace {

// Performs an accessible action of the button by name, as the platform's
// accessibility bridge does for a tool; false when the button has none.
bool Perform(QPushButton *button, const QString &action) {
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
    if (!accessible || !accessible->actionInterface() ||
        !accessible->actionInterface()->actionNames().contains(action))
        return false;
    accessible->actionInterface()->doAction(action);
    return true;
}

class MainWindowAccessibleActionsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"site"_s));
        window = MakeWindow(Services(&profile));
        view = window->Preview().FormView();
        ASSERT_NE(view, nullptr);
    }

    QPushButton *Button(const QString &name) const {
        return window->findChild<QPushButton *>(name);
    }
    bool Docked(QWidget *widget) const {
        return window->findChild<QWidget *>(u"Panel1"_s)->isAncestorOf(widget);
    }
    bool EditorShown() const { return Docked(view->REScreen()) && !Docked(view->FrameViewer1()); }
    bool BrowserShown() const { return Docked(view->FrameViewer1()) && !Docked(view->REScreen()); }

    RenderProfile profile;
    TFormView *view = nullptr;
};

// "Browser" and "Editor" are toggle buttons: a tool toggles them, it does
// not click them, and the preview must switch all the same.
TEST_F(MainWindowAccessibleActionsTest, TheViewButtonsSwitchThePreviewWhenToggledByATool) {
    QPushButton *browser = Button(u"SBBrowser"_s);
    QPushButton *editor = Button(u"SBEditor"_s);
    ASSERT_TRUE(BrowserShown());
    const QString toggle = QAccessibleActionInterface::toggleAction();

    ASSERT_TRUE(Perform(editor, toggle));
    EXPECT_TRUE(editor->isChecked());
    EXPECT_TRUE(EditorShown());
    // Toggling the button that is down changes nothing: one view is always
    // chosen.
    ASSERT_TRUE(Perform(editor, toggle));
    EXPECT_TRUE(editor->isChecked());
    EXPECT_TRUE(EditorShown());

    ASSERT_TRUE(Perform(browser, toggle));
    EXPECT_TRUE(browser->isChecked());
    EXPECT_FALSE(editor->isChecked());
    EXPECT_TRUE(BrowserShown());
    EXPECT_TRUE(prompts.calls.isEmpty());
}

// The keyboard and the mouse switch the same way; a click on the button
// that is already down keeps its view.
TEST_F(MainWindowAccessibleActionsTest, TheKeyboardAndTheMouseSwitchThePreviewToo) {
    QPushButton *browser = Button(u"SBBrowser"_s);
    QPushButton *editor = Button(u"SBEditor"_s);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Space);
    EXPECT_TRUE(EditorShown());
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Space);
    EXPECT_TRUE(BrowserShown());
    QTest::mouseClick(editor, Qt::LeftButton);
    EXPECT_TRUE(EditorShown());
    QTest::mouseClick(editor, Qt::LeftButton);
    EXPECT_TRUE(EditorShown());
    EXPECT_TRUE(editor->isChecked());
}

} // namespace
