// The editor control's colours: the full colouring on showing a text, the
// colours while typing and deleting, undo, coloured paste, the Rich Text
// copy, and the painted pixels following the palette.

#include "editor/editor_text.h"
#include "editor/syntax_kinds.h"
#include "editor/window/source_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

EditorText Exact(const QString &text) {
    return DecodeEditorText(text.toUtf8());
}

QString Letters(const SourceEdit &edit) {
    static const char16_t letter[] = u"tgqc";
    QString out;
    const qsizetype size = edit.document()->characterCount() - 1;
    for (qsizetype i = 0; i < size; ++i)
        out += QChar(letter[int(edit.KindAt(i))]);
    return out;
}

void PlaceCaret(SourceEdit &edit, int pos) {
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(pos);
    edit.setTextCursor(cursor);
}

TEST(SourceEditColour, ShowingATextColoursItWithoutMarkingItModified) {
    SourceEdit edit;
    QSignalSpy modified(&edit, &SourceEdit::ModifiedChanged);
    edit.ShowText(Exact(u"<b>x</b>\n<!-- c -->"_s));
    EXPECT_EQ(Letters(edit), u"gggtggggtcccccccccc");
    EXPECT_FALSE(edit.IsModified());
    EXPECT_TRUE(modified.isEmpty());

    edit.SetColouring(false);
    edit.ShowText(Exact(u"<b>x</b>"_s));
    EXPECT_EQ(Letters(edit), u"tttttttt");
    edit.RepaintSyntax(); // changes nothing while colouring is off
    EXPECT_EQ(Letters(edit), u"tttttttt");
    edit.SetColouring(true);
    edit.RepaintSyntax();
    EXPECT_EQ(Letters(edit), u"gggtgggg");
    EXPECT_FALSE(edit.IsModified());
}

TEST(SourceEditColour, TypingALessThanColoursItAndRecoloursTheTag) {
    SourceEdit edit;
    edit.ShowText(Exact(u"text b>x"_s));
    EXPECT_EQ(Letters(edit), u"tttttttt");
    QSignalSpy recoloured(&edit, &SourceEdit::Recoloured);
    PlaceCaret(edit, 5);
    QTest::keyClick(&edit, '<');
    EXPECT_EQ(edit.EditedText(), u"text <b>x");
    EXPECT_TRUE(edit.IsModified());
    EXPECT_EQ(Letters(edit), u"tttttgggt");
    ASSERT_EQ(recoloured.count(), 1);
    EXPECT_EQ(recoloured.at(0).at(0).value<qsizetype>(), 5);
    EXPECT_EQ(recoloured.at(0).at(1).value<qsizetype>(), 8);

    // A letter after the tag's '>' is text; inside the tag it is tag.
    QTest::keyClick(&edit, 'i');
    EXPECT_EQ(Letters(edit), u"tttttggggt");
    PlaceCaret(edit, 9);
    QTest::keyClick(&edit, 'y');
    EXPECT_EQ(edit.EditedText(), u"text <ib>yx");
    EXPECT_EQ(Letters(edit), u"tttttggggtt");
    EXPECT_EQ(recoloured.count(), 1);
}

TEST(SourceEditColour, BackspaceRecoloursOnlyOverAStructuralCharacter) {
    SourceEdit edit;
    edit.ShowText(Exact(u"<b>ab</b>"_s));
    QSignalSpy recoloured(&edit, &SourceEdit::Recoloured);
    PlaceCaret(edit, 5);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_TRUE(edit.IsModified());
    EXPECT_EQ(edit.EditedText(), u"<b>a</b>");
    EXPECT_EQ(recoloured.count(), 0);
    EXPECT_EQ(Letters(edit), u"gggtgggg");

    // Deleting the '<' of "</b>" turns it into text up to its '>'.
    PlaceCaret(edit, 4);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.EditedText(), u"<b>a/b>");
    EXPECT_EQ(recoloured.count(), 1);
    EXPECT_EQ(Letters(edit), u"gggtttt"); // the range runs from "<b>" on
}

TEST(SourceEditColour, UndoPutsBackTextInItsColoursAndTouchesNothingElse) {
    SourceEdit edit;
    edit.ShowText(Exact(u"<a href=\"x\">link</a> and text"_s));
    const QString before = Letters(edit);
    PlaceCaret(edit, 24);
    QTest::keyClicks(&edit, u"zz"_s);
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.EditedText(), u"<a href=\"x\">link</a> and text");
    EXPECT_EQ(Letters(edit), before);

    // Deleting a tag and taking that back gives its characters their tag
    // colours again, without the recolouring of typing.
    QTextCursor tag = edit.textCursor();
    tag.setPosition(0);
    tag.setPosition(12, QTextCursor::KeepAnchor);
    edit.setTextCursor(tag);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QSignalSpy recoloured(&edit, &SourceEdit::Recoloured);
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.EditedText(), u"<a href=\"x\">link</a> and text");
    EXPECT_EQ(Letters(edit), before);
    EXPECT_EQ(recoloured.count(), 0);
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit.EditedText(), u"link</a> and text");
    EXPECT_EQ(Letters(edit), before.mid(12));
}

TEST(SourceEditColour, PasteIsColouredWithTheCaretAtItsStartOrPlainWhenOff) {
    SourceEdit edit;
    edit.ShowText(Exact(u"ab"_s));
    QApplication::clipboard()->setText(u"<i>x</i>\r\ny"_s);
    PlaceCaret(edit, 1);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.EditedText(), u"a<i>x</i>\nyb");
    EXPECT_EQ(edit.textCursor().position(), 1);
    EXPECT_EQ(Letters(edit), u"tgggtggggttt");
    EXPECT_TRUE(edit.IsModified());
    // One undo step takes the whole paste back.
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.EditedText(), u"ab");

    edit.SetColouring(false);
    PlaceCaret(edit, 1);
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit.EditedText(), u"a<i>x</i>\nyb");
    EXPECT_EQ(edit.textCursor().position(), 11);
    EXPECT_EQ(Letters(edit), u"tttttttttttt");
}

TEST(SourceEditColour, PaintSyntaxReplacesEverythingAsOneStepKeepingTheCaret) {
    SourceEdit edit;
    edit.ShowText(Exact(u"old text here"_s));
    PlaceCaret(edit, 4);
    EXPECT_EQ(edit.PaintSyntax(u"<p>new</p>"_s, true), 0);
    EXPECT_EQ(edit.EditedText(), u"<p>new</p>");
    EXPECT_EQ(edit.textCursor().position(), 4);
    EXPECT_EQ(Letters(edit), u"gggtttgggg");
    EXPECT_EQ(edit.PaintSyntax(QString(), true), -1);
    edit.undo();
    EXPECT_EQ(edit.EditedText(), u"old text here");
}

TEST(SourceEditColour, CopyGivesTheExactTextAndItsRichText) {
    SourceEdit edit;
    const QString text = u"<b>\u00A0x</b>\ny"_s;
    edit.ShowText(Exact(text));
    edit.selectAll();
    edit.copy();
    const QMimeData *data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), text); // the no-break space stays one
    const QByteArray rtf = data->data(u"text/rtf"_s);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\cf1 <b>")) << rtf.constData();

    edit.SetColouring(false);
    edit.copy();
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->hasFormat(u"text/rtf"_s));
}

// How many pixels of the viewport are near this colour (glyph edges are
// blended with the background, so few are exactly it).
int PixelsOf(SourceEdit &edit, QColor colour) {
    const QImage image = edit.viewport()->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - colour.red()) < 80 &&
                     std::abs(pixel.green() - colour.green()) < 80 &&
                     std::abs(pixel.blue() - colour.blue()) < 80;
        }
    return count;
}

TEST(SourceEditColour, PaintedLinesFollowThePaletteAndTheKinds) {
    SourceEdit edit;
    edit.resize(400, 200);
    SyntaxColours colours;
    colours.TextCol = 0x000000;
    colours.TagCol = 0x0000FF;    // red
    colours.QuotedCol = 0x00FF00; // green
    edit.SetColours(colours);
    edit.ShowText(Exact(u"<tag>\n<tag>"_s));
    const QColor red(255, 0, 0);
    const QColor green(0, 255, 0);
    EXPECT_GT(PixelsOf(edit, red), 20);

    colours.TagCol = 0x00FF00;
    edit.SetColours(colours);
    EXPECT_EQ(PixelsOf(edit, red), 0);
    EXPECT_GT(PixelsOf(edit, green), 20);
    EXPECT_FALSE(edit.IsModified());

    edit.SetColouring(false);
    edit.ShowText(Exact(u"<tag>"_s));
    EXPECT_EQ(PixelsOf(edit, green), 0);
}

} // namespace
} // namespace velmora
