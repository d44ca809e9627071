// The progress window: its frame, what showing it resets, and every way the
// user stops a run (button, Enter, Esc, closing the window).
#include "widgets/form_progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

class FormProgressTest : public ::testing::Test {
protected:
    QLabel *Label() const { return form.findChild<QLabel *>(u"Label1"_s); }
    QProgressBar *Bar() const { return form.findChild<QProgressBar *>(u"ProgBar"_s); }
    QPushButton *Button() const { return form.findChild<QPushButton *>(u"Button1"_s); }

    TFormProgress form;
};

TEST_F(FormProgressTest, IsAFixedDialogWithoutTitleBarButtons) {
    EXPECT_EQ(form.windowTitle(), u"Velmora Progress"_s);
    EXPECT_EQ(Button()->text(), u"<Esc> - Stop"_s);
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::Dialog));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    for (QWidget *w : std::initializer_list<QWidget *>{Label(), Bar(), Button()})
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
}

TEST_F(FormProgressTest, ShowingEmptiesTheTextAndClearsAStop) {
    form.Show();
    form.SetText(u"(1 of 2): /a.htm"_s);
    EXPECT_EQ(Label()->text(), u"(1 of 2): /a.htm"_s);
    QTest::mouseClick(Button(), Qt::LeftButton);
    ASSERT_TRUE(form.StopRequested());
    EXPECT_FALSE(form.isVisible());

    form.Show();
    EXPECT_TRUE(Label()->text().isEmpty());
    EXPECT_FALSE(form.StopRequested());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(FormProgressTest, ReleasingEnterOrEscStops) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        form.Show();
        // The focus is on the button; the key still reaches the window.
        QTest::keyRelease(Button(), key);
        EXPECT_TRUE(form.StopRequested()) << key;
        EXPECT_FALSE(form.isVisible()) << key;
    }
    form.Show();
    QTest::keyRelease(&form, Qt::Key_A);
    EXPECT_FALSE(form.StopRequested());
}

TEST_F(FormProgressTest, ClosingByTheRunIsNoStopButClosingByTheUserIs) {
    form.Show();
    form.Close();
    EXPECT_FALSE(form.StopRequested());
    EXPECT_FALSE(form.isVisible());

    form.Show();
    form.close(); // as the window manager closes it
    EXPECT_TRUE(form.StopRequested());
}

} // namespace
