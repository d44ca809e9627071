#include "formatter/layout_pass.h"

#include "formatter/tag_scanner.h"
#include "foundation/text_utils.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kProgressStep = 100;
// Fill runs of generated comments beyond this are not useful and would let a
// style value of two billion exhaust memory.
constexpr qint64 kMaxCommentFill = 4096;

class LineLayout {
public:
    LineLayout(FirstPassResult &pass, const FormatterStyle &style, const QString &indentPrefix,
               const OutputLineSink &sink)
        : pass_(pass), style_(style), options_(style.Options), prefix_(indentPrefix), sink_(sink),
          defaultTag_(DefaultTag()), cur_(&defaultTag_) {}

    void Run(const FormatProgress &progress);

private:
    void Add(QString line) {
        if (!line.isEmpty())
            Put(std::move(line));
    }
    void Put(QString line);

    void LayoutTagLine(const QString &line);
    QString Indent(const QString &line) const;
    void WrapLine(const QString &line);
    void BlankLines(int side);
    void GeneratedComment(int side);
    void EmitBlock(int block);
    void Raise(int steps);
    void Lower(int steps);
    int FindRule(QStringView line) { return FindTagRule(style_, line, defaultTag_, cur_); }

    FirstPassResult &pass_;
    const FormatterStyle &style_;
    const FormatterOptions &options_;
    const QString &prefix_;
    const OutputLineSink &sink_;
    const RecTAGInfo defaultTag_;
    const RecTAGInfo *cur_;
    CommentCounters counters_;
    int indentLevel_ = 0;
};

void LineLayout::Run(const FormatProgress &progress) {
    counters_.ResetCounters(style_.TagCount);
    indentLevel_ = 0;
    const PackedLines &lines = pass_.lines;
    const qsizetype count = lines.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (progress && i % kProgressStep == 0)
            progress(i, count);
        // The line is read in place, not copied: a single line can be most of
        // the page (a huge attribute value). Put() copies what it keeps.
        const QStringView view = lines.At(i);
        const QString line = QString::fromRawData(view.data(), view.size());
        const int block = size_t(i) < pass_.blockOfLine.size() ? pass_.blockOfLine[size_t(i)] : -1;
        if (block >= 0)
            EmitBlock(block);
        else if (line.startsWith(u'<'))
            LayoutTagLine(line);
        else
            WrapLine(line);
    }
    // The lines are laid out: their memory goes before the caller's next step.
    pass_.lines.Clear();
    if (progress) {
        progress(count, count);
        progress(0, count);
    }
}

// A line is final once laid out, so its trailing blanks go now and it leaves
// at once: to the sink when there is one (the output is then never held as a
// list), else to OutList.
void LineLayout::Put(QString line) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == u' ')
        --end;
    line.truncate(end);
    // A line may still point into the packed input lines, freed after the
    // pass: what leaves must own its characters.
    line.detach();
    if (sink_)
        sink_(std::move(line));
    else
        pass_.lists.OutList.append(std::move(line));
}

void LineLayout::Raise(int steps) {
    if (steps > 0)
        indentLevel_ =
            int(std::min<qint64>(qint64(indentLevel_) + steps, std::numeric_limits<int>::max()));
}

// The level only shrinks by what fits, so it never becomes negative.
void LineLayout::Lower(int steps) {
    if (steps > 0 && steps <= indentLevel_ && !cur_->TreatAsText)
        indentLevel_ -= steps;
}

void LineLayout::LayoutTagLine(const QString &line) {
    const int side = FindRule(line);
    if (side > 0 && cur_->TreatAsText) {
        // A text line that starts with an inline tag.
        const QString last = LastTagName(line);
        BlankLines(1);
        GeneratedComment(1);
        WrapLine(line);
        if (!last.isEmpty() && last != cur_->TagOpen) {
            const int side2 = FindRule(last);
            GeneratedComment(side2);
            BlankLines(side2);
        }
    } else if (side > 0) {
        BlankLines(1);
        Raise(cur_->isSelfIndent);
        GeneratedComment(1);
        Add(Indent(line));
        Raise(cur_->isContentIndent);
    } else {
        Lower(cur_->isContentIndent);
        // A line that starts with a closing tag is kept whole, even when the
        // tag is inline and text follows it.
        Add(Indent(line));
        GeneratedComment(-1);
        Lower(cur_->isSelfIndent);
        BlankLines(-1);
    }
}

QString LineLayout::Indent(const QString &line) const {
    if (line.isEmpty() || line.startsWith(u'\t'))
        return line;
    const qint64 n =
        std::min<qint64>(qint64(indentLevel_) * options_.Spacing, options_.IndentColumnsCap());
    if (n <= 0)
        return prefix_ + line;
    QString out;
    out.reserve(prefix_.size() + n / 8 + 8 + line.size());
    out += prefix_;
    out += QString(qsizetype(n / 8), u'\t');
    out += QString(qsizetype(n % 8), u' ');
    out += line;
    return out;
}

// Spaces that may break a line: not inside a double-quoted string (or, with
// another BreakExcluder, not inside a tag). Whether a space is protected
// depends only on the characters before it, so the candidates are found in one
// scan and every piece is cut at the last candidate within LineSize, or at the
// first one beyond it when there is none.
void LineLayout::WrapLine(const QString &line) {
    // Trailing blanks are removed from the output anyway; they must not make
    // a line count as longer, or the result would depend on whether a blank
    // followed the text in the source, and a second run would wrap it anew.
    qsizetype size = line.size();
    while (size > 0 && line[size - 1] == u' ')
        --size;
    if (size == 0)
        return;
    const qsizetype limit = std::max(options_.LineSize, 0);
    if (size <= limit) {
        Add(Indent(line.left(size)));
        return;
    }
    const bool quotes = options_.BreakExcluder == u"\"";
    std::vector<qsizetype> candidates;
    bool protectedRun = false;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = line[i];
        if (quotes) {
            if (c == u'"')
                protectedRun = !protectedRun;
        } else if (c == u'<') {
            protectedRun = true;
        } else if (c == u'>') {
            protectedRun = false;
        }
        if (c == u' ' && !protectedRun)
            candidates.push_back(i);
    }

    qsizetype start = 0;
    size_t next = 0; // first candidate at or after start
    while (size - start > limit) {
        // The last candidate within the limit, else the first one beyond it.
        const qsizetype edge = start + limit - 1;
        size_t k = next;
        while (k < candidates.size() && candidates[k] <= edge)
            ++k;
        // The end of the line counts as a break point beyond the limit, so a
        // line whose last word crosses the limit is wrapped too.
        if (k == candidates.size() && k == next)
            break; // no break point at all: the rest stays whole
        const qsizetype cut = k > next ? candidates[k - 1] : candidates[k];
        Add(Indent(line.mid(start, cut - start + 1)));
        start = cut + 1;
        next = k > next ? k : k + 1;
    }
    if (start < size)
        Add(Indent(line.mid(start, size - start)));
}

void LineLayout::BlankLines(int side) {
    const int n = side > 0 ? cur_->CRLFLeading : cur_->CRLFFollowed;
    for (int k = 1; k < n; ++k)
        Put(QString());
}

void LineLayout::GeneratedComment(int side) {
    const RecTAGInfo &tag = *cur_;
    if (options_.DoDisableComments)
        return;
    if (tag.TreatAsText && (side > 0 ? tag.CRLFLeading < 1 : tag.CRLFFollowed < 1))
        return;
    QString text;
    QString number;
    if (side > 0) {
        if (!tag.DoGenerateSComment)
            return;
        text = tag.StartComment;
        number = counters_.NextStartNumber(style_, tag);
    } else {
        if (!tag.DoGenerateEComment)
            return;
        text = tag.EndComment;
        number = counters_.PopEndNumber(style_, tag);
    }
    qint64 fill = (qint64(tag.CommentLength) - text.size() - number.size() - 10) / 2;
    fill = std::clamp<qint64>(fill, 0, kMaxCommentFill);
    QString run;
    for (qint64 k = 0; k < fill; ++k)
        run += tag.CommentSymbol;
    QString line = u"<!--~"_s + run;
    if (!text.isEmpty())
        line += u' ' + text + number + u' ';
    line += run + u"~-->"_s;
    Add(tag.Cindent ? Indent(line) : line);
}

void LineLayout::EmitBlock(int block) {
    const QStringList lines = pass_.BlockLines(block);
    if (!pass_.blockIsCell[size_t(block)]) {
        for (const QString &line : lines)
            Put(line);
        return;
    }
    // A table cell holding only tags: one line, laid out like the cell tag.
    FindRule(u"<TD>");
    BlankLines(1);
    Raise(cur_->isSelfIndent);
    GeneratedComment(1);
    for (const QString &line : lines)
        Put(Indent(line));
    GeneratedComment(-1);
    if (cur_->isSelfIndent > 0 && cur_->isSelfIndent <= indentLevel_)
        indentLevel_ -= cur_->isSelfIndent;
    BlankLines(-1);
}

} // namespace

void LayoutLines(FirstPassResult &pass, const FormatterStyle &style, const QString &indentPrefix,
                 const FormatProgress &progress, const OutputLineSink &sink) {
    pass.lists.OutList.clear();
    LineLayout(pass, style, indentPrefix, sink).Run(progress);
}

} // namespace velmora
