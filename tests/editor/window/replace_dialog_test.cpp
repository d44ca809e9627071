// Search and replace in the editor through its dialog: Ctrl+F and Ctrl+R,
// the texts kept from one use to the next, Find Next walking the text, the
// replacements and what the saved file then holds.
#include "editor/window/form_view.h"
#include "editor/window/replace_dialog.h"
#include "foundation/view_selection.h"
#include "one_file_selection.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::OneFileSelection;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class ReplaceDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<TFormView>(document, profile, prompts, selection, nullptr);
        view->resize(600, 400);
        view->SetSearchTexts(lastSearch, lastReplace);
    }
    QString Show(const QByteArray &bytes) {
        const QString path = dir.filePath(u"page.htm"_s);
        WriteBytes(path, bytes);
        selection.current = path;
        document.Load(path);
        return path;
    }
    // Opens the dialog as the user does, from the editor.
    ReplaceDialog1 *Open(Qt::Key key = Qt::Key_F) {
        QTest::keyClick(view->REScreen(), key, Qt::ControlModifier);
        ReplaceDialog1 *dialog = view->SearchDialog();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    }
    void Fill(ReplaceDialog1 *dialog, const QString &find, const QString &replace) {
        dialog->findChild<QLineEdit *>(u"FindText"_s)->setText(find);
        dialog->findChild<QLineEdit *>(u"ReplaceText"_s)->setText(replace);
    }
    void Click(ReplaceDialog1 *dialog, const QString &button) {
        dialog->findChild<QPushButton *>(button)->click();
    }
    std::pair<int, int> Selected() const {
        const QTextCursor cursor = view->REScreen()->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
    }

    QTemporaryDir dir;
    RenderProfile profile;
    ScriptedPrompts prompts;
    OneFileSelection selection;
    EditorDocument document{prompts};
    QString lastSearch;
    QString lastReplace;
    std::unique_ptr<TFormView> view;
};

// The search starts at the beginning when nothing is selected, wherever the
// caret is, and after the selection otherwise; a search changes nothing.
TEST_F(ReplaceDialogTest, FindNextWalksTheOccurrencesAndThenSaysNotFound) {
    Show("Cat hat cat\r\ncatalog cat");
    view->REScreen()->moveCursor(QTextCursor::End);
    ReplaceDialog1 *dialog = Open();
    Fill(dialog, u"cat"_s, QString());
    dialog->findChild<QCheckBox *>(u"WholeWord"_s)->setChecked(true);

    std::vector<std::pair<int, int>> found;
    for (int n = 0; n < 3; ++n) {
        Click(dialog, u"FindNext"_s);
        found.push_back(Selected());
    }
    // "Cat" matches without Match case; "catalog" is not a whole word; the
    // CR LF is one line break.
    EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{0, 3}, {8, 3}, {20, 3}}));
    EXPECT_TRUE(prompts.calls.isEmpty());

    Click(dialog, u"FindNext"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"\"cat\" not found."_s});
    EXPECT_EQ(Selected(), (std::pair<int, int>{20, 3}));
    EXPECT_FALSE(view->REScreen()->IsModified());

    view->REScreen()->moveCursor(QTextCursor::Start);
    dialog->findChild<QCheckBox *>(u"MatchCase"_s)->setChecked(true);
    Fill(dialog, u"Cat"_s, QString());
    Click(dialog, u"FindNext"_s);
    EXPECT_EQ(Selected(), (std::pair<int, int>{0, 3}));
    Click(dialog, u"FindNext"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info).last(), u"\"Cat\" not found."_s);
}

// Each occurrence that was there before is replaced once, even though every
// replacement holds the text searched for; the saved file differs from the
// read one only there, in its own encoding and line ends.
TEST_F(ReplaceDialogTest, ReplaceAllOfAByAaCountsTheOriginalOccurrencesAndSavesOnlyThem) {
    const QString page = Show("caf\xE9 a\r\nbanana\r\n\xA0z\r\n");
    ReplaceDialog1 *dialog = Open(Qt::Key_R);
    Fill(dialog, u"a"_s, u"aa"_s);
    Click(dialog, u"ReplaceAll"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"\"a\", Replace done: 5 times"_s});
    EXPECT_TRUE(view->REScreen()->IsModified());
    EXPECT_EQ(view->windowTitle(), page + u" --- UNSAVED ---"_s);

    view->BSaveClick();
    EXPECT_EQ(ReadBytes(page), QByteArray("caaf\xE9 aa\r\nbaanaanaa\r\n\xA0z\r\n"));
    EXPECT_FALSE(view->REScreen()->IsModified());
}

// Replace takes the occurrence after the selection and selects what it put
// in; Replace All right after it goes through the whole text, before the
// selection as well, and Undo takes it back in one step.
TEST_F(ReplaceDialogTest, ReplaceThenReplaceAllCoverTheWholeTextAndUndoInOneStep) {
    const QString page = Show("x1 x2 x3 x4\n");
    ReplaceDialog1 *dialog = Open();
    Fill(dialog, u"x"_s, u"yy"_s);
    Click(dialog, u"FindNext"_s);
    Click(dialog, u"Replace"_s);
    EXPECT_EQ(view->REScreen()->EditedText(), u"x1 yy2 x3 x4\n"_s);
    EXPECT_EQ(Selected(), (std::pair<int, int>{3, 2}));
    Click(dialog, u"ReplaceAll"_s);
    EXPECT_EQ(view->REScreen()->EditedText(), u"yy1 yy2 yy3 yy4\n"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"\"x\", Replace done: 3 times"_s});
    view->REScreen()->undo();
    EXPECT_EQ(view->REScreen()->EditedText(), u"x1 yy2 x3 x4\n"_s);

    // The only occurrence, selected by Find Next, is replaced as well.
    Show("one x\n");
    Fill(dialog, u"x"_s, u"z"_s);
    Click(dialog, u"FindNext"_s);
    Click(dialog, u"ReplaceAll"_s);
    EXPECT_EQ(view->REScreen()->EditedText(), u"one z\n"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info).last(), u"\"x\", Replace done: 1 times"_s);
    EXPECT_TRUE(view->REScreen()->IsModified());
    view->REScreen()->undo();
    EXPECT_EQ(view->REScreen()->EditedText(), u"one x\n"_s);
    EXPECT_EQ(ReadBytes(page), QByteArray("one x\n"));
}

// A page with 22 occurrences, the second found by Find Next: all 22 are
// replaced and counted.
TEST_F(ReplaceDialogTest, ReplaceAllAfterFindNextCountsEveryOccurrence) {
    QByteArray bytes;
    for (int n = 1; n <= 22; ++n)
        bytes += "<p>apple " + QByteArray::number(n) + "</p>\r\n";
    const QString page = Show(bytes);
    ReplaceDialog1 *dialog = Open(Qt::Key_R);
    Fill(dialog, u"apple"_s, u"plum"_s);
    Click(dialog, u"FindNext"_s);
    Click(dialog, u"FindNext"_s);
    ASSERT_EQ(Selected().first, view->REScreen()->EditedText().indexOf(u"apple 2"_s));
    Click(dialog, u"ReplaceAll"_s);
    EXPECT_EQ(prompts.Texts(Kind::Info), QStringList{u"\"apple\", Replace done: 22 times"_s});
    view->BSaveClick();
    EXPECT_EQ(ReadBytes(page), QByteArray(bytes).replace("apple", "plum"));
}

// The texts of the last use come back the next time, also from the
// settings of a previous run, and each use stores the dialog's texts.
TEST_F(ReplaceDialogTest, TheDialogOpensWithTheTextsOfTheLastUse) {
    lastSearch = u"<b>"_s;
    lastReplace = u"<strong>"_s;
    Show("<b>bold</b>\n");
    ReplaceDialog1 *dialog = Open(Qt::Key_R);
    EXPECT_EQ(dialog->FindText(), u"<b>"_s);
    EXPECT_EQ(dialog->ReplaceText(), u"<strong>"_s);

    Fill(dialog, u"bold"_s, u"strong"_s);
    EXPECT_EQ(lastSearch, u"<b>"_s); // typing alone stores nothing
    Click(dialog, u"FindNext"_s);
    EXPECT_EQ(lastSearch, u"bold"_s);
    EXPECT_EQ(lastReplace, u"strong"_s);

    dialog->close();
    Fill(dialog, u"other"_s, u"texts"_s);
    dialog = Open(Qt::Key_F);
    EXPECT_EQ(dialog->FindText(), u"bold"_s);
    EXPECT_EQ(dialog->ReplaceText(), u"strong"_s);
}

// A text the editor shows read-only could not be written back exactly: it
// can be searched but is never replaced.
TEST_F(ReplaceDialogTest, AReadOnlyTextIsSearchedButNeverReplaced) {
    Show(QByteArray("<p>a\0b</p>", 10));
    ASSERT_TRUE(view->REScreen()->isReadOnly());
    const QString before = view->REScreen()->EditedText();
    ReplaceDialog1 *dialog = Open();
    Fill(dialog, u"p"_s, u"q"_s);
    Click(dialog, u"FindNext"_s);
    EXPECT_EQ(Selected(), (std::pair<int, int>{1, 1}));
    Click(dialog, u"Replace"_s);
    Click(dialog, u"ReplaceAll"_s);
    EXPECT_EQ(view->REScreen()->EditedText(), before);
    EXPECT_FALSE(view->REScreen()->IsModified());
    EXPECT_EQ(prompts.Count(Kind::Beep), 2);
    EXPECT_EQ(prompts.Count(Kind::Info), 0);
}

} // namespace
