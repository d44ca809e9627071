#include "formatter/first_pass.h"

#include "formatter/tag_scanner.h"
#include "foundation/text_utils.h"

#include <utility>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kProgressStep = 1000;

// Whether the text from a position up to the end of a cell holds only tags
// and comments, for every position of a stretch of the page at once. Nested
// cells share their end (the first closer after them), so one table, made
// from the end backwards, answers all of them; asking each cell by scanning
// forward would read the rest of the nest once per cell.
//
// The answer for a position is that of a forward scan starting there outside
// any tag: '<' opens a tag and '>' ends it, and any other character outside a
// tag is text (a blank included). A comment that closes within the cell
// counts as one tag, whatever it holds: a '>' inside it is no tag's end, and a
// generated comment, which the first run drops, must not make the cell look
// like text. A comment that does not close within the cell is only a '<'.
class OnlyTagsTable {
public:
    bool Covers(qsizetype from, qsizetype end) const { return end == end_ && from >= from_; }
    // From from (a position of the cell's opening tag) to end (the '>' that
    // ends the cell).
    void Build(const QString &input, qsizetype from, qsizetype end);
    // pos lies between the table's from and one past its end.
    bool OnlyTagsFrom(qsizetype pos) const { return onlyTags_[size_t(pos - from_)] != 0; }

private:
    qsizetype from_ = 0;
    qsizetype end_ = -1;
    std::vector<char> onlyTags_; // per position from from_ to end_ + 1
};

void OnlyTagsTable::Build(const QString &input, qsizetype from, qsizetype end) {
    from_ = from;
    end_ = end;
    onlyTags_.assign(size_t(end - from + 2), 1); // the end of the cell: no text
    const QStringView text(input);
    auto at = [&](qsizetype pos) -> char & { return onlyTags_[size_t(pos - from)]; };
    // The answer of a scan that starts at pos + 1 inside a tag: it goes on at
    // the tag's '>'.
    char inTagNext = 1;
    // The first "-->" after pos that ends within the cell, or -1.
    qsizetype closeAfter = -1;
    for (qsizetype pos = end; pos >= from; --pos) {
        const QChar c = text[pos];
        if (c == u'<') {
            const bool comment = closeAfter >= 0 && text.mid(pos).startsWith(u"<!--");
            at(pos) = comment ? at(closeAfter + 3) : inTagNext;
        } else if (c == u'>') {
            at(pos) = at(pos + 1);
            inTagNext = at(pos + 1);
        } else {
            at(pos) = 0;
            if (c == u'-' && pos + 2 <= end && text[pos + 1] == u'-' && text[pos + 2] == u'>')
                closeAfter = pos;
        }
    }
}

class LineSplitter {
public:
    LineSplitter(const QString &input, const FormatterStyle &style, FirstPassResult &out)
        : input_(input), style_(style), scan_(input, style), out_(out) {}

    void Run(const FormatProgress &progress);

private:
    void AppendText(qsizetype from, qsizetype to);
    qsizetype EmitTag(qsizetype i);
    qsizetype GeneratedCommentEnd(qsizetype i);
    void FlushText();
    void SettleText();
    void TidyTagAt(qsizetype i, qsizetype end);
    qsizetype EmitBlockTag(qsizetype i, qsizetype end);
    qsizetype EmitInlineTag(qsizetype i, qsizetype end, int k);
    qsizetype EmitVerbatim(qsizetype i, int row);
    qsizetype EmitStyleVerbatim(qsizetype i, QStringView key);
    qsizetype EmitVerbatimBlock(qsizetype i, const QString &blockName, const QString &closing);
    QString CellIfOnlyTags(qsizetype i);
    qsizetype EmitCell(qsizetype i, const QString &cell);
    void StartBlock(const QString &name, bool cell);
    void PutBlockLine(QString line);

    const QString &input_;
    const FormatterStyle &style_;
    TagScanner scan_;
    FirstPassResult &out_;
    QString curLine_;
    qsizetype blockCount_ = 0;
    OnlyTagsTable cellTable_;
    // Buffers reused for every tag and line: the page is read without an
    // allocation per tag.
    QString key_;     // the key of the tag at hand, as TagKey gives it
    QString tag_;     // the tag at hand, tidied
    QString scratch_; // a text line being flushed
    // What the first pass asks of a tag's key, and the answer for the tag at
    // hand whether a blank after it is dropped.
    struct KeyFacts {
        int verbatimRow = 0;
        int inlineRule = 0;
        bool styleVerbatim = false;
        bool noSpace = false;
    };
    KeyMemo<KeyFacts> keyFacts_;
    bool noSpaceKey_ = false;
};

void LineSplitter::Run(const FormatProgress &progress) {
    const qsizetype n = input_.size();
    qsizetype i = 0;
    qsizetype nextReport = 0;
    while (i < n) {
        if (progress && i >= nextReport) {
            progress(i, n);
            nextReport = (i / kProgressStep + 1) * kProgressStep;
        }
        if (input_[i] == u'<') {
            i = EmitTag(i);
            continue;
        }
        // Running text is taken up to the next '<' in one piece (stopping
        // where progress is due, so that it is reported where it always was).
        qsizetype lt = input_.indexOf(u'<', i);
        if (lt < 0)
            lt = n;
        const qsizetype to = progress ? std::min(lt, nextReport) : lt;
        AppendText(i, to);
        i = to;
    }
    FlushText();
    if (progress) {
        progress(n, n);
        progress(0, n);
    }
}

// Running text joins the pending line with its TABs made blanks.
void LineSplitter::AppendText(qsizetype from, qsizetype to) {
    const qsizetype start = curLine_.size();
    curLine_.append(input_.constData() + from, to - from);
    QChar *const data = curLine_.data();
    for (qsizetype k = start; k < curLine_.size(); ++k)
        if (data[k] == u'\t')
            data[k] = u' ';
}

qsizetype LineSplitter::EmitTag(qsizetype i) {
    const qsizetype gt = scan_.NextGreater(i);
    const qsizetype end = gt < 0 ? input_.size() : gt + 1;
    TagKeyInto(QStringView(input_).sliced(i, end - i), key_);
    // Decided by the key of the tag as it will be written (see
    // WrittenKeyAt), so that a second run decides the same way: a tag cut off
    // by the end of the page is written without its '>'.
    QStringView key(key_);
    if (gt < 0 && key.endsWith(u'>'))
        key.chop(1);
    if (key == u"<!--~" && QStringView(input_).sliced(i).startsWith(u"<!--~")) {
        const qsizetype commentEnd = GeneratedCommentEnd(i);
        if (commentEnd > i) {
            SettleText();
            return commentEnd;
        }
    }
    // The answers for a key cut off by the end of the page are not kept: it
    // differs from the key of the same tag closed.
    const auto facts = [&] {
        return KeyFacts{VerbatimIndex(key), scan_.InlineRuleFor(key),
                        IsStyleVerbatimKey(style_.Options, key), IsNoSpaceKey(key_)};
    };
    const KeyFacts known = gt < 0 ? facts() : keyFacts_.Get(key, facts);
    noSpaceKey_ = known.noSpace;
    const int row = known.verbatimRow;
    const int k = known.inlineRule;
    if (k == 0)
        FlushText();
    if (row == kTableCellRow) {
        const QString cell = CellIfOnlyTags(i);
        if (!cell.isEmpty())
            return EmitCell(i, cell);
    } else if (row > 0) {
        return EmitVerbatim(i, row);
    } else if (known.styleVerbatim) {
        return EmitStyleVerbatim(i, key);
    }
    return k > 0 ? EmitInlineTag(i, end, k) : EmitBlockTag(i, end);
}

// A comment an earlier run generated ends in "~-->" and is dropped (the
// layout pass generates it anew). Like every verbatim block it ends the text
// before it, which becomes a line of its own. Anything else that merely
// starts like one ends, as every comment does, at its first "-->" and is
// kept: an unclosed "<!--~" must not swallow the rest of the page. Returns
// the index after the comment, or -1.
qsizetype LineSplitter::GeneratedCommentEnd(qsizetype i) {
    const qsizetype close = scan_.FindClosing(i + 1, u"-->"_s);
    if (close > i + 4 && input_[close - 1] == u'~')
        return close + 3;
    return -1;
}

// A run of text becomes one line with single blanks (LF and TAB are blanks),
// none in front; blanks alone stay pending.
void LineSplitter::FlushText() {
    if (IsBlank(curLine_))
        return;
    // Written through a pointer: the line is at most as long as the text.
    scratch_.resize(curLine_.size());
    char16_t *const begin = reinterpret_cast<char16_t *>(scratch_.data());
    char16_t *out = begin;
    const char16_t *in = QStringView(curLine_).utf16();
    for (qsizetype k = 0; k < curLine_.size(); ++k) {
        char16_t c = in[k];
        if (c == u'\n' || c == u'\t')
            c = u' ';
        if (c == u' ' && (out == begin || out[-1] == u' '))
            continue;
        *out++ = c;
    }
    scratch_.truncate(out - begin);
    out_.lines.Append(scratch_);
    out_.blockOfLine.push_back(-1);
    curLine_.truncate(0); // keeps its buffer for the next run of text
}

// Before a block: pending text becomes a line, pending blanks are dropped.
void LineSplitter::SettleText() {
    FlushText();
    curLine_.truncate(0);
}

// The tag from i to end (its '>' included) as it is written: tidied, with
// one blank after it when the source had one there and the tag keeps it, and
// its name case-changed, so that a second run finds nothing left to change.
// key_ holds its key.
void LineSplitter::TidyTagAt(qsizetype i, qsizetype end) {
    const bool blankAfter = end < input_.size() && !noSpaceKey_ &&
                            (input_[end] == u' ' || input_[end] == u'\n' || input_[end] == u'\t');
    TidyTagInto(QStringView(input_).sliced(i, end - i), blankAfter, true, tag_);
    // A declaration such as the doctype may be kept in the case it was
    // written in ("<!DOCTYPE html>" is how pages spell it).
    if (!(style_.Options.DoctypeAsWritten && tag_.startsWith(u"<!")))
        SetWordCase(tag_, 1, style_.Options.TagCase);
}

qsizetype LineSplitter::EmitBlockTag(qsizetype i, qsizetype end) {
    if (IsBlank(curLine_))
        curLine_.truncate(0);
    TidyTagAt(i, end);
    out_.lines.Append(tag_);
    out_.blockOfLine.push_back(-1);
    return end;
}

qsizetype LineSplitter::EmitInlineTag(qsizetype i, qsizetype end, int k) {
    if (end - i < 2) {
        curLine_ += u'<';
        return i + 1;
    }
    const RecTAGInfo &rule = style_.Rule(k);
    TidyTagAt(i, end);
    // Opening or closing is told from the tag as written ("<</b>" closes).
    const bool opening = tag_.size() > 1 && tag_[1] != u'/';
    if (rule.CRLFLeading > 0 && opening)
        FlushText();
    curLine_ += tag_;
    if (rule.CRLFFollowed > 0 && tag_.size() > 1 && !opening)
        FlushText();
    return end;
}

void LineSplitter::StartBlock(const QString &name, bool cell) {
    ++blockCount_;
    out_.blockOfLine.push_back(int(out_.blockStarts.size()));
    out_.blockStarts.push_back(out_.lists.BlocksList.size());
    out_.blockIsCell.push_back(cell);
    QString ref = u"###"_s + name + u':' + QString::number(blockCount_);
    out_.lines.Append(ref);
    PutLine(out_.lists, 3, ref, false);
}

void LineSplitter::PutBlockLine(QString line) {
    PutLine(out_.lists, 3, line, false);
}

qsizetype LineSplitter::EmitVerbatim(qsizetype i, int row) {
    // A "<!--~" that is not a generated comment is an ordinary comment.
    if (row == kGeneratedCommentRow)
        row = 1;
    return EmitVerbatimBlock(i, QString::fromUtf16(VerbatimRow(row).opening),
                             QString::fromUtf16(VerbatimRow(row).closing));
}

// A block of one of the style's own verbatim tags ("<SVG>" up to "</SVG").
qsizetype LineSplitter::EmitStyleVerbatim(qsizetype i, QStringView key) {
    const QStringView name = key.sliced(1, key.size() - 2);
    return EmitVerbatimBlock(i, key.toString(), u"</"_s + name.toString());
}

qsizetype LineSplitter::EmitVerbatimBlock(qsizetype i, const QString &blockName,
                                          const QString &closing) {
    SettleText();
    qsizetype e = scan_.FindBlockEnd(i + 1, closing);
    if (input_[e] != u'>') {
        // A block that is never closed runs to the end of the page, without
        // the page's final line breaks: they would otherwise become empty
        // lines of the block and grow by one on every run.
        while (e > i && IsSpaceChar(input_[e]))
            --e;
    }
    StartBlock(blockName, false);
    // Line breaks are looked for within the block only: searching the rest of
    // the page for the next one would read it once per block.
    const QStringView block = QStringView(input_).mid(i, e + 1 - i);
    qsizetype from = 0;
    for (qsizetype lf = block.indexOf(u'\n'); lf >= 0; lf = block.indexOf(u'\n', from)) {
        PutBlockLine(block.mid(from, lf - from).toString());
        from = lf + 1;
    }
    PutBlockLine(block.mid(from).toString());
    return e + 1;
}

QString LineSplitter::CellIfOnlyTags(qsizetype i) {
    // A cell that is never closed is not known to hold only tags: it is laid
    // out as any other (it would otherwise swallow the end of the page and
    // whatever a run generates after it).
    const qsizetype e = scan_.FindBlockEnd(i + 1, u"</TD"_s);
    if (input_[e] != u'>' || scan_.FindClosing(i + 1, u"</TD"_s) < 0)
        return {};
    qsizetype j = scan_.NextGreater(i);
    if (j < 0 || j > e)
        j = e;
    ++j;
    // A lone CR counts as a blank here too: the text pass drops it as one, so
    // a second run would otherwise see a cell the first one did not.
    while (j <= e && IsSpaceChar(input_[j]))
        ++j;
    if (!cellTable_.Covers(i, e))
        cellTable_.Build(input_, i, e);
    if (!cellTable_.OnlyTagsFrom(j))
        return {}; // text (a blank included) between the tags
    return input_.mid(i, e - i + 1);
}

// A table cell holding only tags becomes one line of its own.
qsizetype LineSplitter::EmitCell(qsizetype i, const QString &cell) {
    SettleText();
    StartBlock(u"<TD>"_s, true);
    QString line = cell;
    for (qsizetype p = line.indexOf(u'<'); p >= 0; p = line.indexOf(u'<', p + 1))
        SetWordCase(line, int(p + 1), style_.Options.TagCase);
    for (QChar &c : line)
        if (c == u'\t' || c == u'\n')
            c = u' ';
    PutBlockLine(CollapseBlanks(line));
    return i + cell.size();
}

} // namespace

void PackedLines::Append(QStringView line) {
    if (line != u" ")
        text_ += line;
    ends_.push_back(text_.size());
}

QStringView PackedLines::At(qsizetype i) const {
    const qsizetype start = i > 0 ? ends_[size_t(i - 1)] : 0;
    return QStringView(text_).mid(start, ends_[size_t(i)] - start);
}

void PackedLines::Clear() {
    text_ = QString();
    ends_ = std::vector<qsizetype>();
}

QStringList FirstPassResult::BlockLines(int b) const {
    const QStringList &blocks = lists.BlocksList;
    const qsizetype first = blockStarts[size_t(b)] + 1;
    const qsizetype end =
        size_t(b + 1) < blockStarts.size() ? blockStarts[size_t(b + 1)] : blocks.size();
    return blocks.mid(first, end - first);
}

FirstPassResult SplitIntoLines(QString input, const FormatterStyle &style,
                               const FormatProgress &progress) {
    FirstPassResult result;
    // The lines hold about the text of the input, seldom more; pages have
    // a line for about every twenty characters, seldom one for every eight.
    // Reserved room that is never written costs no memory.
    const qsizetype lines = input.size() / 8 + 1;
    result.lines.Reserve(input.size(), lines);
    result.blockOfLine.reserve(size_t(lines));
    LineSplitter(input, style, result).Run(progress);
    return result;
}

} // namespace velmora
