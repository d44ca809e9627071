// The editor window's colours and typing aids: colouring on load, the
// palette buttons and Ctrl+1..Ctrl+4, the tag hint and Shift+F1, the window
// keys, and that saving after all of it writes the plain bytes.
#include "editor/editor_text.h"
#include "editor/window/form_view.h"
#include "foundation/view_selection.h"
#include "one_file_selection.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::OneFileSelection;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using namespace Qt::StringLiterals;

namespace {

class FormViewColourTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<TFormView>(document, profile, prompts, selection, nullptr);
        view->resize(600, 400);
        view->SetSettings(settings);
        view->SetTagSyntax({u"<A> : <A HREF=\"\">"_s, u"<TABLE>: <TABLE BORDER=1>  "_s,
                            u"<img>: <IMG SRC=\"\">"_s, u"<BR>: no angle bracket"_s});
        edit = view->REScreen();
    }
    QString Show(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        WriteBytes(path, bytes);
        selection.current = path;
        document.Load(path);
        return path;
    }
    void PlaceCaret(int pos) {
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(pos);
        edit->setTextCursor(cursor);
    }
    void ShowEditorTab() {
        auto *tabs = view->findChild<QTabWidget *>(u"PageControl1"_s);
        tabs->setCurrentIndex(1);
    }
    QPushButton *Button(const QString &name) const { return view->findChild<QPushButton *>(name); }

    QTemporaryDir dir;
    RenderProfile profile;
    ScriptedPrompts prompts;
    OneFileSelection selection;
    EditorDocument document{prompts};
    Settings settings;
    std::unique_ptr<TFormView> view;
    SourceEdit *edit = nullptr;
};

TEST_F(FormViewColourTest, ColouringOnLoadLeavesNothingToSave) {
    Show(u"a.htm"_s, "<p class=\"x\">text</p><!-- c -->\n");
    EXPECT_EQ(edit->KindAt(0), SyntaxKind::Tag);
    EXPECT_EQ(edit->KindAt(9), SyntaxKind::Quoted);
    EXPECT_EQ(edit->KindAt(14), SyntaxKind::Text);
    EXPECT_EQ(edit->KindAt(22), SyntaxKind::Comment);
    EXPECT_FALSE(edit->IsModified());
    EXPECT_FALSE(Button(u"BSave"_s)->isEnabled());
    EXPECT_FALSE(view->windowTitle().contains(u"UNSAVED"_s));
}

TEST_F(FormViewColourTest, PaletteButtonsAndTheirKeysSetTheColours) {
    Show(u"a.htm"_s, "<p>x</p>");
    EXPECT_EQ(Button(u"BRepaint2"_s)->toolTip(), u"[CTRL-2] Emphasize Tags");
    EXPECT_EQ(Button(u"BRepaint1"_s)->toolTip(), u"[CTRL-1] = Repaint Syntax Highlight");
    QTest::keyClick(edit, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(settings.TextCol, clSilver);
    EXPECT_EQ(settings.TagCol, clBlue);
    EXPECT_EQ(edit->Colours().TextCol, clSilver);
    EXPECT_EQ(edit->EditedText(), u"<p>x</p>"); // the key typed nothing
    QTest::keyClick(edit, Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(settings.TagCol, clSilver);
    EXPECT_EQ(settings.TextCol, clBlack);
    QTest::keyClick(edit, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(settings.QuotedCol, clRed);
    EXPECT_EQ(edit->Colours().CommentCol, clTeal);
    EXPECT_FALSE(edit->IsModified());

    // A disabled button is not clicked by its key.
    Button(u"BRepaint3"_s)->setEnabled(false);
    QTest::keyClick(edit, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(settings.TextCol, clBlack);

    // With colouring off the colours change, the editor's do not.
    settings.DoColorTags = false;
    view->SetSettings(settings);
    QTest::keyClick(edit, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(settings.TextCol, clSilver);
    EXPECT_EQ(edit->Colours().TextCol, clBlack);
}

TEST_F(FormViewColourTest, TheHintFollowsTheCaretAndClosingTagsShowTheirOpeningOne) {
    Show(u"a.htm"_s, "plain <table border=0>\n<tr></tr></table> after <img src=x>");
    QLineEdit *hint = view->Edit1();
    PlaceCaret(2); // no '<' before: the field keeps its text
    EXPECT_TRUE(hint->text().isEmpty());
    PlaceCaret(9);
    EXPECT_EQ(hint->text(), u"<TABLE BORDER=1>");
    PlaceCaret(28);
    EXPECT_TRUE(hint->text().isEmpty()); // <tr> has no line
    PlaceCaret(36);                      // inside </table>
    EXPECT_EQ(hint->text(), u"<TABLE BORDER=1>");
    PlaceCaret(52); // inside the img tag, a lower-case line
    EXPECT_EQ(hint->text(), u"<IMG SRC=\"\">");
}

TEST_F(FormViewColourTest, ShiftF1InsertsAHintThatIsATagAndSelectsIt) {
    Show(u"a.htm"_s, "<br> x <a>");
    ShowEditorTab();
    PlaceCaret(2);
    ASSERT_EQ(view->Edit1()->text(), u"no angle bracket");
    QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(edit->EditedText(), u"<br> x <a>");
    EXPECT_FALSE(edit->IsModified());

    PlaceCaret(9);
    ASSERT_EQ(view->Edit1()->text(), u"<A HREF=\"\">");
    PlaceCaret(10); // no '>' after: the hint stays
    QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(edit->EditedText(), u"<br> x <a><A HREF=\"\">");
    EXPECT_EQ(edit->textCursor().selectionStart(), 10);
    EXPECT_EQ(edit->textCursor().selectionEnd(), 21);
    EXPECT_EQ(edit->KindAt(10), SyntaxKind::Tag);
    EXPECT_EQ(edit->KindAt(18), SyntaxKind::Quoted);
    EXPECT_TRUE(edit->IsModified());
    EXPECT_TRUE(Button(u"BSave"_s)->isEnabled());

    // Not on the editor's tab: nothing.
    view->findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(0);
    const QString before = edit->EditedText();
    QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(edit->EditedText(), before);
}

// A full editor takes no hint, as it takes no typed text.
TEST_F(FormViewColourTest, ShiftF1BeepsWhenTheHintWouldPassTheSizeLimit) {
    QByteArray page = "<a>";
    page += QByteArray(kEditorMaxChars - 3 - 5, 'x');
    Show(u"a.htm"_s, page);
    ShowEditorTab();
    PlaceCaret(2);
    ASSERT_EQ(view->Edit1()->text(), u"<A HREF=\"\">");
    QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(edit->EditedText().size(), kEditorMaxChars - 5);
    EXPECT_FALSE(edit->IsModified());
    EXPECT_EQ(prompts.Count(ScriptedPrompts::Kind::Beep), 1);
}

TEST_F(FormViewColourTest, CtrlSSavesOnlyWhatIsModifiedAndUndoMarksNothing) {
    const QString page = Show(u"a.htm"_s, "<p>x</p>");
    // Not modified: Ctrl+S writes nothing (the file, gone meanwhile, stays
    // gone).
    QFile::remove(page);
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(QFile::exists(page));

    PlaceCaret(4);
    QTest::keyClick(edit, 'y');
    ASSERT_TRUE(edit->IsModified());
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->EditedText(), u"<p>x</p>");
    // Undo is the control's own: the document stays marked as changed.
    EXPECT_TRUE(edit->IsModified());
    EXPECT_TRUE(view->windowTitle().endsWith(u" --- UNSAVED ---"_s));
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(edit->IsModified());
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>x</p>"));
}

// Colour lives only on screen: after colouring, palettes, typing and a
// coloured paste the file holds the edited text in its own encoding, byte
// order mark and line ends, and no colour or Rich Text.
TEST_F(FormViewColourTest, SavingWritesThePlainBytesWhateverTheColours) {
    struct Sample {
        QByteArray bytes;
        QByteArray expected;
    };
    const Sample samples[] = {
        {"\xEF\xBB\xBF<p>\xC3\xA9t\xC3\xA9</p>\r\n<b>x</b>\r\n",
         "\xEF\xBB\xBF<p>\xC3\xA9t\xC3\xA9<i a=\"v\">q</i></p>\r\n<b>x</b>\r\n"},
        {"<p>caf\xE9 \xA0</p>\r\n<b>x</b>\r\n",
         "<p>caf\xE9 \xA0<i a=\"v\">q</i></p>\r\n<b>x</b>\r\n"},
        {"<p>lf</p>\n<!-- c -->\n", "<p>lf<i a=\"v\">q</i></p>\n<!-- c -->\n"},
    };
    int n = 0;
    for (const Sample &sample : samples) {
        const QString page = Show(u"s%1.htm"_s.arg(++n), sample.bytes);
        QTest::keyClick(edit, Qt::Key_2, Qt::ControlModifier);
        const int at = int(edit->EditedText().indexOf(u"</p>"_s));
        PlaceCaret(at);
        QTest::keyClicks(edit, u"<i a=\"v\">"_s);
        QApplication::clipboard()->setText(u"q</i>"_s);
        PlaceCaret(int(edit->EditedText().indexOf(u"</p>"_s)));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_3, Qt::ControlModifier);
        view->BSaveClick();
        EXPECT_FALSE(edit->IsModified()) << n;
        EXPECT_EQ(ReadBytes(page), sample.expected) << n;
        QTest::keyClick(edit, Qt::Key_1, Qt::ControlModifier);
    }
    EXPECT_TRUE(prompts.Texts(ScriptedPrompts::Kind::Info).isEmpty());
}

} // namespace
