#include "editor/source_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

constexpr int kFontPoints = 9;
constexpr int kTabColumns = 8;

QFont EditorFont() {
    QFont font(u"Courier New"_s, kFontPoints);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// Keys that insert their text: printable characters, Tab and Enter, without
// Ctrl or Alt (those are shortcuts).
bool InsertsText(const QKeyEvent *event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return true;
    const QString typed = event->text();
    return !typed.isEmpty() && (typed[0].isPrint() || typed[0] == u'\t');
}

// The text the control holds for source: CR LF counts as one line break.
qsizetype InsertedLength(const QString &source) {
    return source.size() - source.count(u"\r\n");
}

// The start of source that fits into room characters of the control, never
// ending inside a CR LF or a surrogate pair.
QString FittingPart(const QString &source, qsizetype room) {
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < source.size()) {
        const bool pair = (source[i] == u'\r' && i + 1 < source.size() && source[i + 1] == u'\n') ||
                          (source[i].isHighSurrogate() && i + 1 < source.size() &&
                           source[i + 1].isLowSurrogate());
        const qsizetype units = pair ? 2 : 1;
        const qsizetype chars = pair && source[i] == u'\r' ? 1 : units;
        if (used + chars > room)
            break;
        used += chars;
        i += units;
    }
    return source.first(i);
}

} // namespace

SourceEdit::SourceEdit(QWidget *parent) : QPlainTextEdit(parent) {
    setObjectName(u"REScreen"_s);
    setAccessibleName(u"Editor"_s);
    setFont(EditorFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    setTabStopDistance(fontMetrics().horizontalAdvance(u' ') * kTabColumns);
    setEnabled(false);
    connect(document(), &QTextDocument::modificationChanged, this,
            &SourceEdit::DocumentModificationChanged);
    notice_ = new QLabel(this);
    notice_->setObjectName(u"EditorNotice"_s);
    notice_->setWordWrap(true);
    notice_->setMargin(3);
    notice_->setStyleSheet(u"background: rgb(255,255,192); color: black;"_s);
    notice_->hide();
}

// A file shown read-only says why, in a strip above the text.
void SourceEdit::SetNotice(const QString &notice) {
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
    PlaceNotice();
}

QString SourceEdit::Notice() const {
    return notice_->text();
}

void SourceEdit::PlaceNotice() {
    const QRect inside = contentsRect();
    const int height = notice_->isVisible() ? notice_->heightForWidth(inside.width()) : 0;
    notice_->setGeometry(inside.left(), inside.top(), inside.width(), height);
    setViewportMargins(0, height, 0, 0);
}

void SourceEdit::resizeEvent(QResizeEvent *event) {
    QPlainTextEdit::resizeEvent(event);
    PlaceNotice();
}

void SourceEdit::ShowText(const EditorText &text) {
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    setEnabled(false);
    ReplaceAll(text.text);
    setReadOnly(!text.exact);
    SetNotice(text.exact ? QString() : text.notice);
    setEnabled(true);
    setUpdatesEnabled(updates);
}

void SourceEdit::ShowNotice(const QString &text) {
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    setEnabled(false);
    ReplaceAll(text);
    setReadOnly(true);
    SetNotice(QString());
    setUpdatesEnabled(updates);
}

void SourceEdit::ClearText() {
    ReplaceAll(QString());
    SetNotice(QString());
}

// setPlainText also clears the undo history, so that Ctrl+Z cannot bring
// back the text of the file shown before.
void SourceEdit::ReplaceAll(const QString &text) {
    const bool wasModified = IsModified();
    replacing_ = true;
    setPlainText(text);
    moveCursor(QTextCursor::Start);
    document()->setModified(false);
    replacing_ = false;
    if (wasModified)
        emit ModifiedChanged(false);
}

// Unlike ReplaceAll, the undo history stays: the old text is one Undo away.
void SourceEdit::ReplaceAllAsOneStep(const QString &text) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
}

void SourceEdit::DocumentModificationChanged(bool modified) {
    if (!replacing_)
        emit ModifiedChanged(modified);
}

QString SourceEdit::EditedText() const {
    // The raw text keeps every character; only the block separators between
    // lines differ from what the user sees.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

bool SourceEdit::IsModified() const {
    return document()->isModified();
}

void SourceEdit::SetModified(bool modified) {
    document()->setModified(modified);
}

qsizetype SourceEdit::Room() const {
    const QTextCursor cursor = textCursor();
    const qsizetype length = document()->characterCount() - 1; // without the final separator
    return kEditorMaxChars - (length - (cursor.selectionEnd() - cursor.selectionStart()));
}

void SourceEdit::keyPressEvent(QKeyEvent *event) {
    if (!isReadOnly() && InsertsText(event) && Room() < qMax<qsizetype>(1, event->text().size())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void SourceEdit::insertFromMimeData(const QMimeData *source) {
    if (isReadOnly() || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString text = source->text();
    const qsizetype room = Room();
    if (InsertedLength(text) <= room) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QApplication::beep();
    QTextCursor cursor = textCursor();
    cursor.insertText(FittingPart(text, std::max<qsizetype>(0, room)));
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace velmora
