// The editor control's line numbers, Go to Line and the matching tag.

#include "editor/editor_text.h"
#include "editor/syntax_palette.h"
#include "editor/window/go_to_line_dialog.h"
#include "editor/window/line_number_gutter.h"
#include "editor/window/source_edit.h"

#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <functional>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

EditorText Exact(const QString &text) {
    return DecodeEditorText(text.toUtf8());
}

QString Lines(int count, const QString &prefix = u"line "_s) {
    QStringList lines;
    for (int n = 1; n <= count; ++n)
        lines << prefix + QString::number(n);
    return lines.join(u'\n');
}

std::vector<int> Numbers(const SourceEdit &edit) {
    std::vector<int> numbers;
    for (const GutterLine &line : edit.VisibleLineNumbers())
        numbers.push_back(line.number);
    return numbers;
}

int CurrentNumber(const SourceEdit &edit) {
    for (const GutterLine &line : edit.VisibleLineNumbers())
        if (line.current)
            return line.number;
    return 0;
}

// A shown control of a usual size, so that lines have places on screen.
struct ShownEdit {
    SourceEdit edit;
    ShownEdit() {
        edit.resize(400, 300);
        edit.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&edit));
    }
};

TEST(LineNumbers, FollowInsertedAndDeletedLinesAndTheCaret) {
    ShownEdit shown;
    SourceEdit &edit = shown.edit;
    EXPECT_TRUE(edit.VisibleLineNumbers().empty()); // no file yet
    edit.ShowText(Exact(u"a\nb\nc"_s));
    EXPECT_EQ(Numbers(edit), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(CurrentNumber(edit), 1);
    // Two lines typed in at the top: every line below moves down one place
    // per line, and the caret's line is the bold one.
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Return);
    const std::vector<GutterLine> after = edit.VisibleLineNumbers();
    ASSERT_EQ(after.size(), 5u);
    EXPECT_EQ(CurrentNumber(edit), 3);
    for (size_t i = 1; i < after.size(); ++i)
        EXPECT_EQ(after[i].top, after[i - 1].top + after[i - 1].height);
    // Deleting a selection over two line breaks takes two numbers away.
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(2);
    cursor.setPosition(6, QTextCursor::KeepAnchor); // "a\nb\n"
    edit.setTextCursor(cursor);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.EditedText(), u"\n\nc"_s);
    EXPECT_EQ(Numbers(edit), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(CurrentNumber(edit), 3);
}

TEST(LineNumbers, TheStripTakesItsRoomAndCanBeSwitchedOff) {
    ShownEdit shown;
    SourceEdit &edit = shown.edit;
    edit.ShowText(Exact(Lines(5)));
    LineNumberGutter *gutter = edit.Gutter();
    ASSERT_TRUE(gutter);
    EXPECT_TRUE(edit.LineNumbers());
    EXPECT_TRUE(gutter->isVisible());
    EXPECT_EQ(gutter->accessibleName(), u"Line numbers"_s);
    const int narrow = gutter->width();
    EXPECT_GT(narrow, 0);
    EXPECT_EQ(edit.viewport()->geometry().left(), gutter->geometry().right() + 1);
    // More digits, a wider strip; a bigger font, wider still.
    edit.ShowText(Exact(Lines(12000)));
    EXPECT_GT(gutter->width(), narrow);
    const int fiveDigits = gutter->width();
    QFont big = edit.font();
    big.setPointSize(big.pointSize() * 2);
    edit.setFont(big);
    EXPECT_GT(gutter->width(), fiveDigits);
    // Off: the text starts at the left edge again.
    edit.SetLineNumbers(false);
    EXPECT_FALSE(gutter->isVisible());
    EXPECT_EQ(edit.viewport()->geometry().left(), edit.contentsRect().left());
    edit.SetLineNumbers(true);
    EXPECT_TRUE(gutter->isVisible());
}

TEST(LineNumbers, FollowScrolling) {
    ShownEdit shown;
    SourceEdit &edit = shown.edit;
    edit.ShowText(Exact(Lines(500)));
    EXPECT_EQ(Numbers(edit).front(), 1);
    edit.verticalScrollBar()->setValue(100);
    const std::vector<GutterLine> lines = edit.VisibleLineNumbers();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().number, 101);
    EXPECT_LE(lines.front().top, 4);
    EXPECT_LT(lines.back().top, edit.viewport()->height() + 1);
    EXPECT_LT(lines.back().number, 101 + 60);
}

TEST(LineNumbers, AWrappedLineKeepsOneNumberForAllItsRows) {
    ShownEdit shown;
    SourceEdit &edit = shown.edit;
    edit.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    edit.ShowText(Exact(u"short\n"_s + QString(400, u'x') + u"\nlast"_s));
    const std::vector<GutterLine> lines = edit.VisibleLineNumbers();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].number, 3);
    EXPECT_GT(lines[1].height, 3 * lines[0].height); // several rows
    EXPECT_EQ(lines[2].top, lines[1].top + lines[1].height);
}

// The numbers are drawn (something beside the text is not background), and
// they stay in place whichever palette colours the text.
TEST(LineNumbers, AreDrawnTheSameInEveryPalette) {
    ShownEdit shown;
    SourceEdit &edit = shown.edit;
    edit.ShowText(Exact(u"<p class=\"a\">one</p>\n<!-- two -->\n<b>three</b>"_s));
    const QImage first = edit.Gutter()->grab().toImage();
    const QColor background = first.pixelColor(1, 1);
    bool drawn = false;
    for (int y = 0; y < first.height() && !drawn; ++y)
        for (int x = 0; x < first.width() - 1 && !drawn; ++x)
            drawn = first.pixelColor(x, y) != background;
    EXPECT_TRUE(drawn);
    const std::vector<GutterLine> before = edit.VisibleLineNumbers();
    for (int palette = 1; palette <= kPaletteCount; ++palette) {
        edit.SetColours(SyntaxPalette(palette));
        edit.RepaintSyntax();
        edit.repaint();
        const std::vector<GutterLine> now = edit.VisibleLineNumbers();
        ASSERT_EQ(now.size(), before.size());
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_EQ(now[i].top, before[i].top) << "palette " << palette;
        EXPECT_EQ(edit.Gutter()->grab().toImage(), first) << "palette " << palette;
    }
}

// Notes the parts of a widget that were painted, and the events of another
// that came while a check said no.
class EventLog : public QObject {
public:
    QRegion painted;
    int resizesWhileFull = 0;
    std::function<bool()> empty;

    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        if (event->type() == QEvent::Resize && empty && !empty())
            ++resizesWhileFull;
        return false;
    }
};

QRect RowOf(const SourceEdit &edit, int number) {
    for (const GutterLine &line : edit.VisibleLineNumbers())
        if (line.number == number)
            return {0, line.top, 1, line.height};
    return {};
}

// A page whose numbers need another width than the text shown before is
// given the width while the control is empty: a width change with a text in
// lays out every one of its lines again.
TEST(LineNumbers, TheWidthChangesOnlyWhileTheControlIsEmpty) {
    ShownEdit shown;
    SourceEdit &edit = shown.edit;
    EventLog log;
    log.empty = [&] { return edit.document()->isEmpty(); };
    edit.viewport()->installEventFilter(&log);
    const int narrow = edit.viewport()->width();
    edit.ShowText(Exact(Lines(20000))); // five digits after three
    const int wide = edit.viewport()->width();
    EXPECT_LT(wide, narrow);
    edit.ShowText(Exact(Lines(30))); // and back, from a text shown
    EXPECT_EQ(edit.viewport()->width(), narrow);
    edit.ShowText(Exact(Lines(20000)));
    EXPECT_EQ(edit.viewport()->width(), wide);
    // The whole text replaced (as Format does) is one step for Undo.
    edit.ShowText(Exact(Lines(30)));
    edit.PaintSyntax(Lines(20000, u"new "_s), true);
    EXPECT_EQ(edit.viewport()->width(), wide);
    EXPECT_EQ(edit.blockCount(), 20000);
    EXPECT_EQ(log.resizesWhileFull, 0);
    // (Undo puts the short text back first and then narrows the strip.)
    edit.undo();
    EXPECT_EQ(edit.EditedText(), Lines(30));
    EXPECT_EQ(edit.viewport()->width(), narrow);
    // Typing that adds a digit widens the strip (no way round a layout then).
    edit.ShowText(Exact(Lines(998)));
    edit.moveCursor(QTextCursor::End);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.viewport()->width(), narrow);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_LT(edit.viewport()->width(), narrow);
    EXPECT_EQ(Numbers(edit).back(), 1000);
}

// Typing in a line and moving the caret draw the numbers beside the lines
// concerned only, and the bold number follows the caret.
TEST(LineNumbers, OnlyTheLinesConcernedAreDrawnAgain) {
    ShownEdit shown;
    SourceEdit &edit = shown.edit;
    edit.ShowText(Exact(Lines(40)));
    QCoreApplication::processEvents();
    EventLog log;
    edit.Gutter()->installEventFilter(&log);
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(int(edit.document()->findBlockByNumber(1).position()));
    edit.setTextCursor(cursor);
    QCoreApplication::processEvents();
    log.painted = {};
    QTest::keyClick(&edit, Qt::Key_A); // in line 2
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.painted.intersects(RowOf(edit, 2)));
    EXPECT_FALSE(log.painted.intersects(RowOf(edit, 6)));
    log.painted = {};
    QTest::keyClick(&edit, Qt::Key_Down); // to line 3
    QCoreApplication::processEvents();
    EXPECT_EQ(CurrentNumber(edit), 3);
    EXPECT_TRUE(log.painted.intersects(RowOf(edit, 2))); // no longer bold
    EXPECT_TRUE(log.painted.intersects(RowOf(edit, 3))); // bold now
    EXPECT_FALSE(log.painted.intersects(RowOf(edit, 6)));
}

TEST(GoToLine, GoesToTheLineStartWithinTheText) {
    ShownEdit shown;
    SourceEdit &edit = shown.edit;
    edit.ShowText(Exact(Lines(400)));
    edit.GoToLine(300);
    EXPECT_EQ(edit.textCursor().blockNumber(), 299);
    EXPECT_EQ(edit.textCursor().positionInBlock(), 0);
    EXPECT_FALSE(edit.textCursor().hasSelection());
    EXPECT_TRUE(edit.viewport()->rect().contains(edit.cursorRect().center()));
    edit.GoToLine(401); // past the end: the last line
    EXPECT_EQ(edit.textCursor().blockNumber(), 399);
    EXPECT_EQ(edit.textCursor().positionInBlock(), 0);
    edit.GoToLine(0);
    EXPECT_EQ(edit.textCursor().position(), 0);

    edit.ShowText(Exact(QString()));
    edit.GoToLine(5);
    EXPECT_EQ(edit.textCursor().position(), 0);
}

TEST(GoToLine, TheDialogOffersOneToTheLineCount) {
    GoToLineDialog dialog(250, 7);
    EXPECT_EQ(dialog.windowTitle(), u"Go to Line"_s);
    QSpinBox *box = dialog.LineBox();
    EXPECT_EQ(box->accessibleName(), u"Line number"_s);
    EXPECT_EQ(box->minimum(), 1);
    EXPECT_EQ(box->maximum(), 250);
    EXPECT_EQ(dialog.Line(), 7);
    box->setValue(999);
    EXPECT_EQ(dialog.Line(), 250);
    GoToLineDialog empty(0, 1);
    EXPECT_EQ(empty.LineBox()->maximum(), 1);
}

// The matching tag is looked for once the events of a caret move are done,
// and a little after an edit.
QList<QTextEdit::ExtraSelection> Highlights(const SourceEdit &edit) {
    QTest::qWait(kMatchAfterEditMs + 50);
    return edit.extraSelections();
}

std::optional<TagPair> Matched(const SourceEdit &edit) {
    QTest::qWait(kMatchAfterEditMs + 50);
    return edit.MatchedTag();
}

TEST(MatchingTagInEditor, PartnerGetsTheBackgroundAndCtrlMGoesThere) {
    SourceEdit edit;
    const QString text = u"<DIV>\n  <div>x</div>\n</div>"_s;
    edit.ShowText(Exact(text));
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(2); // in the outer <DIV>
    edit.setTextCursor(cursor);
    ASSERT_TRUE(Matched(edit));
    const qsizetype last = text.lastIndexOf(u"</div>"_s);
    EXPECT_EQ(Matched(edit)->partner, (TagSpan{last, last + 6}));
    ASSERT_EQ(Highlights(edit).size(), 1);
    EXPECT_EQ(Highlights(edit)[0].cursor.selectionStart(), last);
    EXPECT_EQ(Highlights(edit)[0].cursor.selectionEnd(), last + 6);
    EXPECT_EQ(Highlights(edit)[0].format.background().color(), kMatchingTagBackground);

    EXPECT_TRUE(edit.JumpToMatchingTag());
    EXPECT_EQ(edit.textCursor().position(), last + 1);
    ASSERT_EQ(Highlights(edit).size(), 1); // now the opening tag
    EXPECT_EQ(Highlights(edit)[0].cursor.selectionStart(), 0);

    // In the text between tags nothing is highlighted and Ctrl+M stays.
    cursor.setPosition(text.indexOf(u'x') + 1);
    edit.setTextCursor(cursor);
    EXPECT_TRUE(Highlights(edit).isEmpty());
    EXPECT_FALSE(edit.JumpToMatchingTag());
    EXPECT_EQ(edit.textCursor().position(), text.indexOf(u'x') + 1);
}

TEST(MatchingTagInEditor, FollowsEditsOfTheText) {
    SourceEdit edit;
    edit.ShowText(Exact(u"<b>bold"_s));
    edit.moveCursor(QTextCursor::End);
    QTest::keyClicks(&edit, u"</b"_s);
    EXPECT_FALSE(Matched(edit)); // no '>' yet
    QTest::keyClicks(&edit, u">"_s);
    ASSERT_TRUE(Matched(edit));
    EXPECT_EQ(Matched(edit)->partner, (TagSpan{0, 3}));
    // Renaming the opening tag breaks the pair.
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    cursor.insertText(u"i"_s);
    cursor.movePosition(QTextCursor::End);
    edit.setTextCursor(cursor);
    EXPECT_FALSE(Matched(edit));
    EXPECT_TRUE(Highlights(edit).isEmpty());
}

} // namespace
} // namespace velmora
