#include "editor/window/source_edit_text.h"

#include "editor/window/source_edit.h"

#include <QTextCursor>

namespace velmora {

QString SourceEditText::Text() const {
    return edit_.EditedText();
}

EditorSelection SourceEditText::Selection() const {
    const QTextCursor cursor = edit_.textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

void SourceEditText::Select(qsizetype start, qsizetype length) {
    QTextCursor cursor = edit_.textCursor();
    cursor.setPosition(int(start));
    cursor.setPosition(int(start + length), QTextCursor::KeepAnchor);
    edit_.setTextCursor(cursor);
}

void SourceEditText::ReplaceSelection(const QString &text) {
    QTextCursor cursor = edit_.textCursor();
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    edit_.setTextCursor(cursor);
}

void SourceEditText::FocusIfVisible() {
    if (edit_.isVisible() && edit_.isEnabled())
        edit_.setFocus();
}

void SourceEditText::MarkModified() {
    edit_.SetModified(true);
}

} // namespace velmora
