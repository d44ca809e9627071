// The editor/browser window and the editor's document: loading, the modified
// state and its caption, saving (also when it fails), Save As, the question
// before unsaved text is given up, and the browser's links.
#include "editor/window/form_view.h"
#include "foundation/view_selection.h"
#include "one_file_selection.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velmora;
using velmora::testing::OneFileSelection;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

class FormViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<TFormView>(document, profile, prompts, selection, nullptr);
        // Not shown: the views are used hidden too, whenever the other one is
        // docked, and must not wait for paint that never comes.
        view->resize(600, 400);
    }
    QString Write(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        WriteBytes(path, bytes);
        return path;
    }
    // Selects and loads a file as the main window does.
    void Show(const QString &path) {
        selection.current = path;
        document.Load(path);
    }
    void Type(const QString &text) {
        view->REScreen()->moveCursor(QTextCursor::End);
        QTest::keyClicks(view->REScreen(), text);
    }
    QPushButton *Button(const QString &name) const { return view->findChild<QPushButton *>(name); }
    // The browser loads without waiting: true once it shows path.
    bool BrowserShows(const QString &path) const {
        return QTest::qWaitFor(
            [&] { return view->FrameViewer1()->CurrentFile() == path && !view->BrowserBusy(); },
            5000);
    }

    QTemporaryDir dir;
    RenderProfile profile;
    ScriptedPrompts prompts;
    OneFileSelection selection;
    EditorDocument document{prompts};
    std::unique_ptr<TFormView> view;
};

TEST_F(FormViewTest, PicturesGoToTheBrowserOnlyAndLeaveNothingToSave) {
    const QString picture = Write(u"photo.GIF"_s, "GIF89a");
    QSignalSpy buttons(view.get(), &TFormView::ButtonStateChanged);
    Show(picture);
    EXPECT_TRUE(document.File().isEmpty());
    EXPECT_NE(document.FileTime(), 0);
    EXPECT_FALSE(view->REScreen()->isEnabled());
    EXPECT_TRUE(view->REScreen()->toPlainText().contains(u"Sorry, pictures cannot be displayed"_s));
    EXPECT_FALSE(Button(u"BSave"_s)->isEnabled());
    EXPECT_FALSE(Button(u"BFormat"_s)->isEnabled());
    ASSERT_FALSE(buttons.isEmpty());
    EXPECT_EQ(buttons.last().at(0).toBool(), false); // no file in hand
    EXPECT_TRUE(BrowserShows(picture));

    // Only .jpg and .gif are pictures here; a .jpeg is text.
    const QString jpeg = Write(u"page.jpeg"_s, "<p>text");
    Show(jpeg);
    EXPECT_EQ(document.File(), jpeg);
    EXPECT_TRUE(view->REScreen()->isEnabled());
    EXPECT_TRUE(Button(u"BFormat"_s)->isEnabled());

    // Save of a picture has no file: a beep, nothing written.
    Show(picture);
    prompts.Clear();
    view->BSaveClick();
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
    EXPECT_EQ(ReadBytes(picture), QByteArray("GIF89a"));
}

TEST_F(FormViewTest, AnEditIsShownAsUnsavedAndSaveWritesItAndShowsIt) {
    const QString page = Write(u"a.htm"_s, "<p>old</p>\n");
    Show(page);
    EXPECT_EQ(view->windowTitle(), page);
    EXPECT_FALSE(Button(u"BSave"_s)->isEnabled());
    const qint64 loadedStamp = document.FileTime();

    QSignalSpy buttons(view.get(), &TFormView::ButtonStateChanged);
    Type(u"new"_s);
    EXPECT_EQ(view->windowTitle(), page + u" --- UNSAVED ---"_s);
    EXPECT_TRUE(Button(u"BSave"_s)->isEnabled());
    ASSERT_FALSE(buttons.isEmpty());
    EXPECT_EQ(buttons.last().at(1).toBool(), true);

    QTest::qWait(20); // a later modification time
    QTest::keyClick(view->REScreen(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>old</p>\nnew"));
    EXPECT_EQ(view->windowTitle(), page);
    EXPECT_FALSE(view->REScreen()->IsModified());
    EXPECT_FALSE(Button(u"BSave"_s)->isEnabled());
    EXPECT_NE(document.FileTime(), loadedStamp);
    EXPECT_TRUE(BrowserShows(page));
    EXPECT_TRUE(prompts.Texts(Kind::Info).isEmpty());
}

// Typing a letter and taking it back leaves a modified document whose
// saved bytes are those of the file as it was, whatever its encoding and
// line ends.
TEST_F(FormViewTest, AnEditTakenBackSavesTheVeryBytesThatWereRead) {
    const QList<QByteArray> samples{
        "<p>plain LF</p>\n<p>two</p>\n",
        "\xEF\xBB\xBF<p>UTF-8 with a byte-order mark: \xC3\xA9</p>\r\n",
        "<p>Latin-1: caf\xE9 \xA0 \xFF</p>\r\n<p>CR LF</p>\r\n",
        "<p>mixed</p>\r\n<p>LF</p>\n<p>CR</p>\r<p>no end</p>",
        QByteArray("\xFF\xFE<\0p\0>\0\xE9\0\n\0", 12), // UTF-16LE
    };
    int n = 0;
    for (const QByteArray &bytes : samples) {
        const QString page = Write(u"sample%1.htm"_s.arg(++n), bytes);
        Show(page);
        Type(u"x"_s);
        QTest::keyClick(view->REScreen(), Qt::Key_Backspace);
        ASSERT_TRUE(view->REScreen()->IsModified()) << n;
        view->BSaveClick();
        EXPECT_FALSE(view->REScreen()->IsModified()) << n;
        EXPECT_EQ(ReadBytes(page), bytes) << n;
    }
    EXPECT_TRUE(prompts.Texts(Kind::Info).isEmpty());
}

// A character the file's encoding cannot hold is not written as '?': the
// save says why and the text stays unsaved.
TEST_F(FormViewTest, ACharacterALatin1FileCannotHoldIsNotSaved) {
    const QByteArray latin1 = "<p>caf\xE9</p>\n";
    const QString page = Write(u"latin1.htm"_s, latin1);
    Show(page);
    view->REScreen()->moveCursor(QTextCursor::End);
    view->REScreen()->insertPlainText(u"\u20AC"_s);
    view->BSaveClick();
    ASSERT_EQ(prompts.Count(Kind::Info), 1);
    EXPECT_TRUE(prompts.Texts(Kind::Info).first().startsWith(u"File saving error in:\n"_s + page));
    EXPECT_EQ(ReadBytes(page), latin1);
    EXPECT_TRUE(view->REScreen()->IsModified());
}

// More than the editor holds: shown read-only, never saved cut short.
TEST_F(FormViewTest, AnOverlongFileIsReadOnly) {
    QByteArray bytes(kEditorMaxChars + 10, 'a');
    bytes.replace(0, 3, "<p>");
    const QString page = Write(u"long.htm"_s, bytes);
    Show(page);
    EXPECT_TRUE(view->REScreen()->isReadOnly());
    EXPECT_FALSE(view->REScreen()->Notice().isEmpty());
    EXPECT_FALSE(Button(u"BSave"_s)->isEnabled());
    view->BSaveClick();
    EXPECT_EQ(ReadBytes(page), bytes);
}

// The atomic writer refuses a file without write permission, even for root:
// the save fails, the old bytes stay, and the text stays unsaved.
TEST_F(FormViewTest, AFailedSaveSaysSoAndKeepsTheTextUnsaved) {
    const QString page = Write(u"locked.htm"_s, "<p>keep</p>");
    Show(page);
    const qint64 stamp = document.FileTime();
    Type(u"more"_s);
    ASSERT_EQ(chmod(QFile::encodeName(page).constData(), 0444), 0);
    view->BSaveClick();
    ASSERT_EQ(prompts.Count(Kind::Info), 1);
    const QString message = prompts.Texts(Kind::Info).first();
    EXPECT_TRUE(message.startsWith(u"File saving error in:\n"_s + page)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"Please check diskspace and writing permissions..."_s));
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>keep</p>"));
    EXPECT_TRUE(view->REScreen()->IsModified());
    EXPECT_TRUE(view->windowTitle().endsWith(u" --- UNSAVED ---"_s));
    EXPECT_EQ(document.FileTime(), stamp);

    // Asked before the text is given up, Yes tries to save; as that fails,
    // the answer keeps the caller from going on.
    prompts.yesNoCancelAnswers = {Answer::Yes};
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::Cancel);
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>keep</p>"));
}

TEST_F(FormViewTest, TheSaveQuestionComesOnlyWithUnsavedText) {
    const QString page = Write(u"q.htm"_s, "<p>q</p>");
    Show(page);
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::NotAsked);
    EXPECT_TRUE(prompts.Texts(Kind::YesNoCancel).isEmpty());

    Type(u"1"_s);
    prompts.yesNoCancelAnswers = {Answer::Cancel, Answer::No, Answer::Yes};
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::Cancel);
    EXPECT_EQ(prompts.Texts(Kind::YesNoCancel).first(), u"Save changes in: "_s + page);
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::No);
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>q</p>"));
    EXPECT_TRUE(view->REScreen()->IsModified());
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::Yes);
    EXPECT_EQ(ReadBytes(page), QByteArray("<p>q</p>1"));
    EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::NotAsked);
}

TEST_F(FormViewTest, SaveAsWritesACopyAndTheEditorKeepsItsFile) {
    const QByteArray latin1CrLf = "<p>caf\xe9\xa0</p>\r\n<p>b</p>\r\n";
    const QString page = Write(u"orig.htm"_s, latin1CrLf);
    Show(page);
    const qint64 stamp = document.FileTime();
    const QString copy = dir.filePath(u"copy.htm"_s);
    prompts.fileAnswers = {copy};
    EXPECT_EQ(document.SaveAs(prompts), copy);
    EXPECT_EQ(ReadBytes(copy), latin1CrLf); // unchanged text: the same bytes
    EXPECT_EQ(document.File(), page);
    EXPECT_EQ(document.FileTime(), stamp);
    EXPECT_TRUE(BrowserShows(copy));

    // A cancelled dialog and a name that is not allowed write nothing.
    prompts.fileAnswers = {QString(), dir.filePath(u"bad?name.htm"_s)};
    EXPECT_TRUE(document.SaveAs(prompts).isEmpty());
    EXPECT_TRUE(document.SaveAs(prompts).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(u"bad?name.htm"_s)));
}

// A file the control cannot hold exactly is never written from its text; a
// copy of it is the file's own bytes.
TEST_F(FormViewTest, AFileWithNulBytesIsReadOnlyAndCopiedExactly) {
    const QByteArray bytes("<p>a\0b</p>", 10);
    const QString page = Write(u"nul.htm"_s, bytes);
    Show(page);
    EXPECT_TRUE(view->REScreen()->isReadOnly());
    EXPECT_TRUE(view->REScreen()->Notice().contains(u"NUL"_s))
        << view->REScreen()->Notice().toStdString();
    Type(u"x"_s);
    EXPECT_FALSE(view->REScreen()->IsModified());
    EXPECT_FALSE(Button(u"BSave"_s)->isEnabled());
    const QString copy = dir.filePath(u"nul-copy.htm"_s);
    prompts.fileAnswers = {copy};
    EXPECT_EQ(document.SaveAs(prompts), copy);
    EXPECT_EQ(ReadBytes(copy), bytes);
}

TEST_F(FormViewTest, LinksUnderThePointerAndClickedLinks) {
    const QString page = Write(u"index.htm"_s, "<a href='b.htm'>b</a>");
    Write(u"b.htm"_s, "<p>b");
    Show(page);
    QSignalSpy hints(view.get(), &TFormView::HintChanged);
    auto *label = view->findChild<QLabel *>(u"LabelURL"_s);
    emit view->FrameViewer1()->LinkHovered(u"b.htm"_s, u"main"_s);
    EXPECT_EQ(label->text(), u"URL: b.htm    (Target: main)"_s);
    EXPECT_EQ(hints.last().at(0).toString(), label->text());
    emit view->FrameViewer1()->LinkHovered(QString(), QString());
    EXPECT_TRUE(label->text().isEmpty());

    bool cancel = false;
    emit view->FrameViewer1()->LinkClicked({u"b.htm#x"_s, {}, page}, &cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(hints.last().at(0).toString(), dir.filePath(u"b.htm"_s));
    EXPECT_EQ(prompts.Count(Kind::Beep), 0);
    emit view->FrameViewer1()->LinkClicked({u"missing.htm"_s, {}, page}, &cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
}

// Reload shows the editor's file again after the browser followed a link,
// and does nothing while a picture is shown.
TEST_F(FormViewTest, ReloadShowsTheEditorsFileAgain) {
    const QString page = Write(u"r.htm"_s, "<p>r");
    const QString other = Write(u"s.htm"_s, "<p>s");
    Show(page);
    ASSERT_TRUE(view->FrameViewer1()->LoadFile(other));
    Button(u"BReload"_s)->click();
    EXPECT_TRUE(BrowserShows(page));

    Show(Write(u"p.gif"_s, "GIF89a"));
    ASSERT_TRUE(view->FrameViewer1()->LoadFile(other));
    Button(u"BReload"_s)->click();
    EXPECT_TRUE(BrowserShows(other));
}

// Opening a file at a line puts the editor's caret there with the extent
// selected, and the browser shows the file; the window gives the text back
// to the document when it goes.
TEST_F(FormViewTest, OpenAtSelectsTheExtentInTheEditor) {
    const QString page = Write(u"at.htm"_s, "<html>\r\n<p>find me</p>\r\n</html>\r\n");
    selection.current = page;
    ASSERT_TRUE(document.OpenAt(page, 2, 4, 7));
    EXPECT_EQ(view->REScreen()->textCursor().selectedText(), u"find me"_s);
    EXPECT_EQ(view->REScreen()->textCursor().blockNumber(), 1);
    EXPECT_EQ(view->windowTitle(), page);
    EXPECT_TRUE(BrowserShows(page));

    view.reset();
    document.Load(page);
    EXPECT_EQ(document.Buffer().EditedText(), u"<html>\n<p>find me</p>\n</html>\n"_s);
}

} // namespace
