// Format in the editor: the result replaces the text as one step of Undo,
// saving it writes what velmora-format writes for the same file, progress is
// shown and everything is enabled again after, read-only text is left alone,
// and what happens meanwhile (a second Format, closing, another file) neither
// crashes nor loses text.
#include "editor/window/form_view.h"
#include "foundation/progress.h"
#include "foundation/view_selection.h"
#include "one_file_selection.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"

#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace velmora;
using velmora::testing::OneFileSelection;
using velmora::testing::ReadBytes;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using Kind = ScriptedPrompts::Kind;
using namespace Qt::StringLiterals;

namespace {

// Records what the bar is told; onStep runs at every position, while Format
// is still under way.
class RecordingBar final : public ProgressBar {
public:
    void SetRange(int minimum, int maximum) override { ranges.append({minimum, maximum}); }
    void SetPosition(int position) override {
        positions.append(position);
        if (onStep)
            onStep();
    }
    QList<std::pair<int, int>> ranges;
    QList<int> positions;
    std::function<void()> onStep;
};

const QByteArray kPage = "<html><body><p>Some <b>bold</b> words in a\n"
                         "paragraph</p><table><tr><td><img src=a.gif></td><td>x</td></tr>"
                         "</table></body></html>\n";

QByteArray VelmoraFormat(const QString &file) {
    QProcess process;
    process.start(QStringLiteral(VELMORA_FORMAT_EXE),
                  {u"--style"_s, QStringLiteral(VELMORA_STOCK_STYLE), file});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

class FormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<TFormView>(document, profile, prompts, selection, nullptr);
        view->resize(600, 400);
        view->SetFormatStyle(LoadFormatterStyle(QStringLiteral(VELMORA_STOCK_STYLE)));
        view->SetProgressBar(&bar);
    }
    QString Show(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        WriteBytes(path, bytes);
        selection.current = path;
        document.Load(path);
        return path;
    }
    QPushButton *FormatButton() const { return view->findChild<QPushButton *>(u"BFormat"_s); }
    QString Text() const { return view->REScreen()->EditedText(); }

    QTemporaryDir dir;
    RenderProfile profile;
    ScriptedPrompts prompts;
    OneFileSelection selection;
    EditorDocument document{prompts};
    RecordingBar bar;
    std::unique_ptr<TFormView> view;
};

TEST_F(FormatTest, FormatIsOneUndoStepAndMarksTheDocumentModified) {
    Show(u"a.htm"_s, kPage);
    const QString before = Text();
    FormatButton()->click();
    EXPECT_NE(Text(), before);
    EXPECT_TRUE(Text().startsWith(u"<html>\n<body>\n"_s)) << Text().toStdString();
    EXPECT_TRUE(view->REScreen()->IsModified());
    EXPECT_TRUE(view->windowTitle().endsWith(u" --- UNSAVED ---"_s));
    EXPECT_TRUE(view->findChild<QPushButton *>(u"BSave"_s)->isEnabled());
    EXPECT_EQ(view->REScreen()->textCursor().position(), 0);

    QTest::keyClick(view->REScreen(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), before);

    // Formatting the formatted text again changes nothing but the mark.
    FormatButton()->click();
    const QString once = Text();
    FormatButton()->click();
    EXPECT_EQ(Text(), once);
}

TEST_F(FormatTest, BlankOrEmptyTextFormatsToNothingAndIsModified) {
    for (const QByteArray &page : {QByteArray(), QByteArray(" \t\r\n  \r\n")}) {
        Show(u"blank.htm"_s, page);
        view->BFormatClick();
        EXPECT_EQ(Text(), QString());
        EXPECT_TRUE(view->REScreen()->IsModified());
    }
}

// The editor keeps the page's encoding, byte-order mark and line ends for
// the formatted text.
TEST_F(FormatTest, SavingAfterFormatWritesWhatVelmoraFormatWrites) {
    QByteArray crlf = kPage;
    crlf.replace("\n", "\r\n");
    const QByteArray latin1 = "<html><body><p>Caf\xe9 cr\xe8me <b>br\xfbl\xe9\x65</b> "
                              "\xa0\xff</p>\n<ul><li>\xe0</ul></body></html>\n";
    const QByteArray bom = "\xef\xbb\xbf<html><body><p>Cr\xc3\xa8me \xe2\x82\xac</p>\r\n"
                           "<table><tr><td>\xc3\xa9</td></tr></table></body></html>";
    const std::pair<const char *, QByteArray> pages[] = {
        {"crlf.htm", crlf}, {"latin1.htm", latin1}, {"bom.htm", bom}};
    for (const auto &[name, bytes] : pages) {
        SCOPED_TRACE(name);
        const QString path = Show(QString::fromLatin1(name), bytes);
        const QByteArray expected = VelmoraFormat(path);
        ASSERT_FALSE(expected.isEmpty());
        ASSERT_NE(expected, bytes);
        view->BFormatClick();
        view->BSaveClick();
        EXPECT_EQ(prompts.Count(Kind::Info), 0);
        EXPECT_EQ(ReadBytes(path), expected);
        EXPECT_FALSE(view->REScreen()->IsModified());
    }
}

TEST_F(FormatTest, ProgressIsShownWithTheEditorDisabledAndEverythingIsBackAfter) {
    QByteArray page;
    for (int i = 0; i < 300; ++i)
        page += "<p>line " + QByteArray::number(i) + " of <b>some</b> text\n";
    Show(u"long.htm"_s, page);
    int steps = 0;
    int stepsWithEditorEnabled = 0;
    bar.onStep = [&] {
        ++steps;
        stepsWithEditorEnabled += view->REScreen()->isEnabled() ? 1 : 0;
        EXPECT_TRUE(view->Formatting());
        EXPECT_FALSE(FormatButton()->isEnabled());
    };
    view->BFormatClick();
    EXPECT_GT(steps, 4);
    EXPECT_EQ(stepsWithEditorEnabled, 0);
    // The first pass counts characters, the second lines.
    ASSERT_GE(bar.ranges.size(), 2);
    EXPECT_EQ(bar.ranges.first(), std::make_pair(0, int(page.size())));
    EXPECT_EQ(bar.positions.last(), 0);
    EXPECT_FALSE(view->Formatting());
    EXPECT_TRUE(view->REScreen()->isEnabled());
    EXPECT_TRUE(view->isEnabled());
    EXPECT_TRUE(FormatButton()->isEnabled());
}

// A second Format and closing the window are refused while Format runs, and
// the unsaved text cannot be given up; the run ends normally.
TEST_F(FormatTest, WhileFormatRunsNothingElseTakesTheText) {
    Show(u"a.htm"_s, kPage);
    QTest::keyClicks(view->REScreen(), u"<p>typed"_s);
    const QString before = Text();
    QSignalSpy closing(view.get(), &TFormView::Closing);
    int nested = 0;
    bar.onStep = [&] {
        if (nested++ > 0)
            return;
        const qsizetype rangesBefore = bar.ranges.size();
        view->BFormatClick();
        EXPECT_EQ(bar.ranges.size(), rangesBefore);
        view->reject();
        EXPECT_EQ(document.SaveChangesPrompt(), SaveChangesReply::Cancel);
    };
    view->BFormatClick();
    EXPECT_EQ(closing.count(), 0);
    EXPECT_EQ(prompts.Count(Kind::YesNoCancel), 0);
    EXPECT_NE(Text(), before);
    QTest::keyClick(view->REScreen(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), before);
}

TEST_F(FormatTest, AnotherFileLoadedMeanwhileKeepsItsOwnText) {
    Show(u"a.htm"_s, kPage);
    const QString other = dir.filePath(u"b.htm"_s);
    WriteBytes(other, "<p>b's own   text");
    bool loaded = false;
    bar.onStep = [&] {
        if (std::exchange(loaded, true))
            return;
        selection.current = other;
        document.Load(other);
    };
    view->BFormatClick();
    EXPECT_EQ(document.File(), other);
    EXPECT_EQ(Text(), u"<p>b's own   text"_s);
    EXPECT_FALSE(view->REScreen()->IsModified());
    EXPECT_TRUE(view->REScreen()->isEnabled());
}

TEST_F(FormatTest, ReadOnlyTextIsNotFormatted) {
    const QByteArray withNul("<p>a\0b</p>", 10);
    Show(u"nul.htm"_s, withNul);
    ASSERT_TRUE(view->REScreen()->isReadOnly());
    EXPECT_FALSE(FormatButton()->isEnabled());
    const QString before = Text();
    view->BFormatClick();
    EXPECT_EQ(prompts.Count(Kind::Beep), 1);
    EXPECT_EQ(Text(), before);
    EXPECT_FALSE(view->REScreen()->IsModified());
    EXPECT_TRUE(bar.ranges.isEmpty());

    // A file that can be held exactly may be formatted again.
    Show(u"a.htm"_s, kPage);
    EXPECT_TRUE(FormatButton()->isEnabled());
}

} // namespace
