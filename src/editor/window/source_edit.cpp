#include "editor/window/source_edit.h"

#include "editor/syntax_rtf.h"
#include "editor/window/line_number_gutter.h"
#include "foundation/colors.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <utility>

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
    connect(document(), &QTextDocument::contentsChange, this, &SourceEdit::DocumentContentsChange);
    SetColours(colours_);
    notice_ = new QLabel(this);
    notice_->setObjectName(u"EditorNotice"_s);
    notice_->setWordWrap(true);
    notice_->setMargin(3);
    notice_->setStyleSheet(u"background: rgb(255,255,192); color: black;"_s);
    notice_->hide();
    gutter_ = new LineNumberGutter(*this);
    // While a whole text is put in, the strip already has the width for it.
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this](int blocks) {
        if (!replacing_)
            PlaceNotice(blocks);
    });
    connect(this, &QPlainTextEdit::updateRequest, this, &SourceEdit::FollowViewportUpdate);
    matchTimer_.setSingleShot(true);
    connect(&matchTimer_, &QTimer::timeout, this, &SourceEdit::ShowMatchingTag);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        FollowCurrentLine();
        if (!editSinceMatch_)
            matchTimer_.start(0);
    });
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        editSinceMatch_ = true;
        matchTimer_.start(kMatchAfterEditMs);
    });
    PlaceNotice();
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

// The notice strip above the text and the line numbers at its left take
// their room from the viewport. Called again when the number of lines, the
// font or the size changes; the margins are only set anew when they change,
// since a new width lays out every line of the text again. A resize keeps
// the width the strip has: while a text is put in, it is the new text's.
void SourceEdit::PlaceNotice(int lineCount) {
    if (lineCount >= 0)
        gutterLines_ = lineCount;
    const QRect inside = contentsRect();
    const int height = notice_->isVisible() ? notice_->heightForWidth(inside.width()) : 0;
    notice_->setGeometry(inside.left(), inside.top(), inside.width(), height);
    const int gutterWidth = lineNumbers_ ? gutter_->WidthFor(gutterLines_) : 0;
    const QMargins margins(gutterWidth, height, 0, 0);
    if (margins != viewportMargins())
        setViewportMargins(margins);
    gutter_->setVisible(lineNumbers_);
    gutter_->setGeometry(inside.left(), viewport()->geometry().top(), gutterWidth,
                         viewport()->height());
}

void SourceEdit::changeEvent(QEvent *event) {
    QPlainTextEdit::changeEvent(event);
    if (!gutter_) // the constructor sets the font before the strip exists
        return;
    if (event->type() == QEvent::FontChange) {
        gutter_->FollowFont();
        PlaceNotice();
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        gutter_->update();
}

void SourceEdit::resizeEvent(QResizeEvent *event) {
    QPlainTextEdit::resizeEvent(event);
    PlaceNotice();
}

void SourceEdit::ShowText(const EditorText &text) {
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    setEnabled(false);
    // The strip takes the width of the new text's line numbers while the
    // control is empty: a new width lays out every line it holds again, the
    // old text's before it goes or the new text's once it is in.
    const int lines = lineNumbers_ ? int(text.text.count(u'\n')) + 1 : gutterLines_;
    if (lineNumbers_ && gutter_->WidthFor(lines) != gutter_->WidthFor(gutterLines_) &&
        !document()->isEmpty())
        ReplaceAll(QString());
    PlaceNotice(lines);
    ReplaceAll(text.text);
    if (colouring_) {
        kinds_.ColourAll(RawText());
        MarkAllStale();
    }
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
    EditAs(SyntaxKind::Text, [&] { setPlainText(text); });
    // The strip's width follows once the notice is placed again.
    gutterLines_ = blockCount();
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

// Undo and redo are the control's own and never clear the modified mark:
// taking edits back to the text as it was read leaves it marked, as every
// other edit does, until it is saved or shown afresh.
void SourceEdit::DocumentModificationChanged(bool modified) {
    if (replacing_ || remarking_)
        return;
    if (!modified && !settingModified_) {
        remarking_ = true;
        document()->setModified(true);
        remarking_ = false;
        return;
    }
    emit ModifiedChanged(modified);
}

QString SourceEdit::RawText() const {
    if (!rawFresh_) {
        rawText_ = document()->toRawText();
        rawFresh_ = true;
    }
    return rawText_;
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
    const bool was = std::exchange(settingModified_, true);
    document()->setModified(modified);
    settingModified_ = was;
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
    if (isReadOnly() || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        // Undo and redo are the document's own: what they put back is
        // coloured from its surroundings, and nothing else changes.
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
        (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) {
        EraseKey(event);
        return;
    }
    if (InsertsText(event)) {
        TypeKey(event);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// The typed character gets the kind its neighbours suggest; a structural one
// then recolours the tag around the caret.
void SourceEdit::TypeKey(QKeyEvent *event) {
    const QTextCursor cursor = textCursor();
    const qsizetype before = cursor.selectionStart() - 1;
    const qsizetype after = cursor.selectionEnd();
    const QChar key = event->text().isEmpty() ? QChar(u'\n') : event->text()[0];
    const SyntaxKind kind =
        TypingKind(key, CharAt(before), KindAt(before), CharAt(after), KindAt(after));
    EditAs(kind, [&] { QPlainTextEdit::keyPressEvent(event); });
    if (IsStructural(key))
        RecolourAroundCaret();
}

// Backspace and Delete recolour only when a structural character went.
void SourceEdit::EraseKey(QKeyEvent *event) {
    const QTextCursor cursor = textCursor();
    QString going = cursor.selectedText();
    if (going.isEmpty())
        going =
            CharAt(event->key() == Qt::Key_Backspace ? cursor.position() - 1 : cursor.position());
    const bool structural = std::any_of(going.begin(), going.end(), IsStructural);
    const int revision = document()->revision();
    EditAs(SyntaxKind::Text, [&] { QPlainTextEdit::keyPressEvent(event); });
    if (structural && document()->revision() != revision)
        RecolourAroundCaret();
}

void SourceEdit::RecolourAroundCaret() {
    const PositionRange range =
        velmora::RecolourAroundCaret(RawText(), textCursor().position(), kinds_);
    if (range.Empty())
        return;
    MarkStale(range);
    viewport()->update();
    emit Recoloured(range.start, range.end);
}

void SourceEdit::insertFromMimeData(const QMimeData *source) {
    if (isReadOnly() || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    const qsizetype room = Room();
    const bool fits = InsertedLength(text) <= room;
    if (!fits) {
        QApplication::beep();
        text = FittingPart(text, std::max<qsizetype>(0, room));
    }
    if (colouring_) {
        PaintSyntax(text, false);
        ensureCursorVisible();
        return;
    }
    if (fits) {
        EditAs(SyntaxKind::Text, [&] { QPlainTextEdit::insertFromMimeData(source); });
        return;
    }
    QTextCursor cursor = textCursor();
    EditAs(SyntaxKind::Text, [&] { cursor.insertText(text); });
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData *SourceEdit::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    QString text =
        RawText().mid(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
    text.replace(QChar::ParagraphSeparator, u'\n');
    auto *data = new QMimeData;
    data->setText(text);
    if (colouring_)
        data->setData(u"text/rtf"_s, BuildSyntaxRtf(text, colours_));
    return data;
}

// ---- colours ------------------------------------------------------------------

template <typename Edit> void SourceEdit::EditAs(SyntaxKind fill, Edit &&edit) {
    const bool own = std::exchange(ownEdit_, true);
    const SyntaxKind oldFill = std::exchange(fill_, fill);
    edit();
    fill_ = oldFill;
    ownEdit_ = own;
}

QChar SourceEdit::CharAt(qsizetype pos) const {
    if (pos < 0 || pos >= kinds_.Size())
        return QChar(0);
    const QChar c = document()->characterAt(int(pos));
    return c == QChar::ParagraphSeparator ? QChar(u'\n') : c;
}

void SourceEdit::DocumentContentsChange(int pos, int removed, int added) {
    rawFresh_ = false;
    const qsizetype size = document()->characterCount() - 1;
    const PositionRange range = kinds_.Update(pos, removed, added, size, fill_);
    if (!ownEdit_)
        ColourFromContext(RawText(), range, kinds_);
    MarkStale(range);
}

void SourceEdit::SetColouring(bool on) {
    colouring_ = on;
}

void SourceEdit::SetColours(const SyntaxColours &colours) {
    colours_ = colours;
    for (int kind = 0; kind < 4; ++kind) {
        // A colour value out of range in prg.ini shows as black.
        const QColor colour = ColorFromRef(colours.Of(SyntaxKind(kind)));
        formats_[size_t(kind)].setForeground(colour.isValid() ? colour : QColor(Qt::black));
    }
    MarkAllStale();
    viewport()->update();
}

void SourceEdit::RepaintSyntax() {
    if (!colouring_)
        return;
    kinds_.ColourAll(RawText());
    MarkAllStale();
    viewport()->update();
}

qsizetype SourceEdit::PaintSyntax(const QString &text, bool selectAll) {
    if (text.isEmpty())
        return -1;
    QTextCursor cursor = textCursor();
    const qsizetype caret = cursor.selectionStart();
    if (selectAll)
        cursor.select(QTextCursor::Document);
    const qsizetype start = cursor.selectionStart();
    // A whole new text whose numbers need another width gets it while the
    // control is empty, within the one edit (see ShowText).
    const int lines = selectAll && lineNumbers_ ? int(text.count(u'\n')) + 1 : 0;
    const bool resize = lines > 0 && gutter_->WidthFor(lines) != gutter_->WidthFor(gutterLines_);
    EditAs(SyntaxKind::Text, [&] {
        cursor.beginEditBlock();
        if (resize) {
            cursor.removeSelectedText();
            PlaceNotice(lines);
        }
        cursor.insertText(text);
        cursor.endEditBlock();
    });
    const qsizetype end = cursor.position();
    if (colouring_) {
        kinds_.ColourPiece(QStringView(RawText()).mid(start, end - start), start);
        MarkStale({start, end});
    }
    cursor.setPosition(int(std::min(caret, end)));
    setTextCursor(cursor);
    return start;
}

// New kinds or a new palette: every block is painted afresh when shown.
void SourceEdit::MarkAllStale() {
    ++colourStamp_;
    if (colourStamp_ < 1)
        colourStamp_ = 1;
}

void SourceEdit::MarkStale(PositionRange range) {
    // Very long ranges are cheaper to restamp wholesale.
    constexpr qsizetype kBlockWalkLimit = 100000;
    if (range.end - range.start > kBlockWalkLimit) {
        MarkAllStale();
        return;
    }
    QTextBlock block = document()->findBlock(int(range.start));
    while (block.isValid() && block.position() <= range.end) {
        block.setUserState(0);
        block = block.next();
    }
}

void SourceEdit::paintEvent(QPaintEvent *event) {
    ColourVisibleBlocks();
    QPlainTextEdit::paintEvent(event);
}

// The positions of block that get colours. A very long line (a page
// without line breaks) gets them only around the part that is scrolled into
// view, give or take a margin: colouring it all would cost far more than
// laying it out. Scrolling sideways then paints it afresh.
PositionRange SourceEdit::ShownPart(const QTextBlock &block) const {
    constexpr qsizetype kLongLine = 20000;
    constexpr qsizetype kMargin = 4000;
    const qsizetype first = block.position();
    const qsizetype end = first + block.length() - 1;
    const QTextLayout *layout = block.layout();
    if (block.length() <= kLongLine || !layout || layout->lineCount() == 0)
        return {first, end};
    const QTextLine line = layout->lineAt(0);
    const qreal left = horizontalScrollBar()->value();
    const qsizetype from = line.xToCursor(left);
    const qsizetype to = line.xToCursor(left + viewport()->width());
    return {std::max(first, first + from - kMargin), std::min(end, first + to + kMargin)};
}

// The formats of a block's layout are set from the kinds; the layout is
// then redone at once, with the layout's signals held back, so that it
// neither asks for another paint nor leaves a pending change that the next
// edit would report as its own.
void SourceEdit::ColourVisibleBlocks() {
    QTextDocument *doc = document();
    const QSignalBlocker blocker(doc->documentLayout());
    const qreal bottom = viewport()->rect().bottom();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        if (!block.isVisible() || block.userState() == colourStamp_)
            continue;
        QList<QTextLayout::FormatRange> ranges;
        const qsizetype first = block.position();
        kinds_.ForEachStretch(
            ShownPart(block), [&](qsizetype start, qsizetype length, SyntaxKind kind) {
                ranges.append({int(start - first), int(length), formats_[size_t(kind)]});
            });
        block.layout()->setFormats(ranges);
        block.setUserState(colourStamp_);
        doc->markContentsDirty(block.position(), block.length());
    }
}

} // namespace velmora

namespace velmora {

// ---- line numbers, lines and the matching tag ---------------------------------

void SourceEdit::SetLineNumbers(bool on) {
    if (on == lineNumbers_)
        return;
    lineNumbers_ = on;
    PlaceNotice(blockCount());
}

bool SourceEdit::LineNumbers() const {
    return lineNumbers_;
}

std::vector<GutterLine> SourceEdit::VisibleLineNumbers() const {
    return VisibleLineNumbers(0, viewport()->height());
}

// The blocks are walked from the first one in view, each placed below the
// one before it and numbered after it. (Asking the control for a block's
// place walks from the first block in view to it, and looking up a block's
// number searches the document, so neither is done per block.)
template <typename Visit> void SourceEdit::ForEachLineInView(int bottom, Visit &&visit) const {
    QTextBlock block = firstVisibleBlock();
    if (!block.isValid())
        return;
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    for (int number = block.blockNumber(); block.isValid() && top <= bottom;
         block = block.next(), ++number) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible() && !visit(number, qRound(top), qRound(height)))
            return;
        top += height;
    }
}

std::vector<GutterLine> SourceEdit::VisibleLineNumbers(int top, int bottom) const {
    std::vector<GutterLine> lines;
    if (!isEnabled())
        return lines;
    const int current = textCursor().blockNumber();
    ForEachLineInView(std::min(bottom, viewport()->height()), [&](int number, int y, int height) {
        if (y + height > top)
            lines.push_back({number + 1, y, height, number == current});
        return true;
    });
    return lines;
}

void SourceEdit::FollowCurrentLine() {
    const int now = textCursor().blockNumber();
    if (now == currentLine_)
        return;
    UpdateGutterBeside(std::exchange(currentLine_, now));
    UpdateGutterBeside(now);
}

// Nothing is drawn for a line out of view.
void SourceEdit::UpdateGutterBeside(int blockNumber) {
    ForEachLineInView(viewport()->height(), [&](int number, int y, int height) {
        if (number == blockNumber)
            gutter_->update(0, y, gutter_->width(), height);
        return number < blockNumber;
    });
}

// Scrolling moves the numbers with the text; any other repaint of the text
// repaints the numbers beside it.
void SourceEdit::FollowViewportUpdate(const QRect &rect, int dy) {
    if (dy != 0)
        gutter_->scroll(0, dy);
    else
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
}

void SourceEdit::GoToLine(int line) {
    const int target = std::clamp(line, 1, blockCount());
    setTextCursor(QTextCursor(document()->findBlockByNumber(target - 1)));
    ensureCursorVisible();
}

// A cheap look at the characters before the caret, so that typing in text
// does not copy the whole text: the caret can only be in a tag when a '<'
// comes before it sooner than a '>' (other than a '>' just before it). After
// kQuickLook characters without either, the full search decides.
bool SourceEdit::CaretMayBeInTag() const {
    constexpr int kQuickLook = 2000;
    const int caret = textCursor().position();
    const QTextDocument *doc = document();
    for (int i = caret - 1; i >= 0 && i >= caret - kQuickLook; --i) {
        const QChar c = doc->characterAt(i);
        if (c == u'<')
            return true;
        if (c == u'>' && i != caret - 1)
            return false;
    }
    return caret > kQuickLook;
}

// The partner of the tag at the caret gets a background; nothing else does.
void SourceEdit::ShowMatchingTag() {
    matchTimer_.stop();
    editSinceMatch_ = false;
    std::optional<TagPair> found;
    if (isEnabled() && CaretMayBeInTag())
        found = MatchingTag(RawText(), textCursor().position());
    if (!found && !matchedTag_)
        return;
    matchedTag_ = found;
    QList<QTextEdit::ExtraSelection> selections;
    if (found) {
        QTextEdit::ExtraSelection partner;
        partner.cursor = QTextCursor(document());
        partner.cursor.setPosition(int(found->partner.start));
        partner.cursor.setPosition(int(found->partner.end), QTextCursor::KeepAnchor);
        partner.format.setBackground(kMatchingTagBackground);
        selections.append(partner);
    }
    setExtraSelections(selections);
}

bool SourceEdit::JumpToMatchingTag() {
    if (matchTimer_.isActive())
        ShowMatchingTag();
    if (!matchedTag_)
        return false;
    QTextCursor cursor = textCursor();
    cursor.setPosition(int(matchedTag_->partner.start + 1));
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

} // namespace velmora
