// The editor control: how it is set up, what showing, clearing and typing do
// to its state, and that the text comes back from it character for character.

#include "editor/editor_text.h"
#include "editor/window/source_edit.h"

#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

EditorText Exact(const QString &text) {
    return DecodeEditorText(text.toUtf8());
}

TEST(SourceEdit, IsThePlainFixedPitchControlWithoutWrapping) {
    SourceEdit edit;
    EXPECT_EQ(edit.objectName(), u"REScreen");
    EXPECT_EQ(edit.accessibleName(), u"Editor");
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_EQ(edit.lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(edit.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(QFontInfo(edit.font()).fixedPitch())
        << QFontInfo(edit.font()).family().toStdString();
    EXPECT_EQ(edit.font().pointSize(), 9);

    edit.ShowText(Exact(u"ab"_s));
    QTest::keyClick(&edit, Qt::Key_Tab);
    EXPECT_EQ(edit.EditedText(), u"\tab");
}

TEST(SourceEdit, ShowTextStartsCleanAtTheTopWithoutTheOldUndoHistory) {
    SourceEdit edit;
    QSignalSpy modified(&edit, &SourceEdit::ModifiedChanged);
    edit.ShowText(Exact(u"first\nfile"_s));
    EXPECT_TRUE(edit.isEnabled());
    EXPECT_FALSE(edit.isReadOnly());
    EXPECT_TRUE(edit.updatesEnabled());
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_TRUE(edit.IsModified());
    ASSERT_EQ(modified.count(), 1);
    EXPECT_EQ(modified.takeFirst().at(0).toBool(), true);

    QTextCursor end = edit.textCursor();
    end.movePosition(QTextCursor::End);
    edit.setTextCursor(end);
    edit.ShowText(Exact(u"second\nfile"_s));
    EXPECT_FALSE(edit.IsModified());
    EXPECT_EQ(modified.takeFirst().at(0).toBool(), false);
    EXPECT_EQ(edit.textCursor().position(), 0);
    EXPECT_FALSE(edit.document()->isUndoAvailable());
    edit.undo();
    EXPECT_EQ(edit.EditedText(), u"second\nfile");

    edit.SetModified(true);
    EXPECT_TRUE(edit.IsModified());
    EXPECT_EQ(modified.takeFirst().at(0).toBool(), true);
}

TEST(SourceEdit, ShowTextKeepsAnOuterUpdateLock) {
    SourceEdit edit;
    edit.setUpdatesEnabled(false);
    edit.ShowText(Exact(u"x"_s));
    EXPECT_FALSE(edit.updatesEnabled());
}

TEST(SourceEdit, TextThatIsNotExactIsReadOnly) {
    SourceEdit edit;
    const EditorText binary = DecodeEditorText(QByteArray("a\0b", 3));
    ASSERT_FALSE(binary.exact);
    edit.ShowText(binary);
    EXPECT_TRUE(edit.isEnabled());
    EXPECT_TRUE(edit.isReadOnly());
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_FALSE(edit.IsModified());

    edit.ShowText(Exact(u"editable"_s));
    EXPECT_FALSE(edit.isReadOnly());
}

TEST(SourceEdit, NoticeAndClearLeaveNothingModified) {
    SourceEdit edit;
    edit.ShowText(Exact(u"page"_s));
    QTest::keyClick(&edit, Qt::Key_X);
    edit.ShowNotice(u"\r\n  Sorry, pictures cannot be displayed in editor ..."_s);
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_FALSE(edit.IsModified());
    EXPECT_EQ(edit.EditedText(), u"\n  Sorry, pictures cannot be displayed in editor ...");

    edit.ShowText(Exact(u"page"_s));
    QTest::keyClick(&edit, Qt::Key_X);
    edit.ClearText();
    EXPECT_TRUE(edit.EditedText().isEmpty());
    EXPECT_FALSE(edit.IsModified());
    EXPECT_FALSE(edit.document()->isUndoAvailable());
}

TEST(SourceEdit, UnusualCharactersComeBackAsTheyWere) {
    SourceEdit edit;
    const QString text = u"a\u00A0b\n\tc\u2028d\u00AD\u200B\uFEFF\uFFFC\u000C\n\n"_s +
                         QChar(0xD800) + u"\U0001F600 end"_s;
    EditorText t;
    t.text = text;
    t.lineEnds.assign(3, LineEnd::Lf);
    edit.ShowText(t);
    EXPECT_EQ(edit.EditedText(), text);

    // Enter typed by the user comes back as '\n'.
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.EditedText(), u'\n' + text);
}

TEST(SourceEdit, GeneratedExactTextsComeBackFromTheControl) {
    static const char16_t pieces[] = {u'a',   u'\n',  u'\t', 0x00A0, 0x2028, 0x00E9,
                                      0x20AC, 0xFEFF, u' ',  0x000B, 0x0085, 0xFFFD};
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> piece(0, std::size(pieces) - 1);
    SourceEdit edit;
    for (int n = 0; n < 300; ++n) {
        QString text;
        for (int i = int(random() % 40); i > 0; --i)
            text += QChar(pieces[piece(random)]);
        const EditorText t = DecodeEditorText(text.toUtf8());
        ASSERT_TRUE(t.exact);
        edit.ShowText(t);
        ASSERT_EQ(edit.EditedText(), t.text);
        ASSERT_EQ(EncodeEditorText(t, edit.EditedText()), text.toUtf8());
    }
}

TEST(SourceEdit, TypingAnEditKeepsTheFileItsLineEnds) {
    const QByteArray file = "<html>\r\n<p>one</p>\n<p>two</p>\r\n</html>\r\n";
    const EditorText loaded = DecodeEditorText(file);
    SourceEdit edit;
    edit.ShowText(loaded);
    QTextCursor cursor = edit.textCursor();
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::EndOfLine);
    edit.setTextCursor(cursor);
    QTest::keyClicks(&edit, u"!"_s);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, u"<br>"_s);
    EXPECT_EQ(EncodeEditorText(loaded, edit.EditedText()),
              "<html>\r\n<p>one</p>!\r\n<br>\n<p>two</p>\r\n</html>\r\n");
}

TEST(SourceEdit, TypingAndPastingStopAtTheMostCharacters) {
    const QString line = QString(49, u'x') + u'\n';
    QString text = line.repeated(kEditorMaxChars / 50);
    text.chop(3);
    SourceEdit edit;
    edit.ShowText(Exact(text));
    auto *mime = new QMimeData;
    mime->setText(u"ab\r\ncd"_s);
    QGuiApplication::clipboard()->setMimeData(mime);
    edit.paste();
    EXPECT_EQ(edit.EditedText().first(3), u"ab\n");
    EXPECT_EQ(edit.document()->characterCount() - 1, kEditorMaxChars);
    QTest::keyClick(&edit, Qt::Key_Y);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.document()->characterCount() - 1, kEditorMaxChars);
    // Typing over a selection still works.
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Z);
    EXPECT_EQ(edit.EditedText(), u"z");
}

} // namespace
} // namespace velmora
