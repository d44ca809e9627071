#include "formatter/layout_pass.h"

#include "formatter/tag_scanner.h"
#include "foundation/text_utils.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kProgressStep = 100;
// Fill runs of generated comments beyond this are not useful and would let a
// style value of two billion exhaust memory.
constexpr qint64 kMaxCommentFill = 4096;
// The widest indentation as TABs and then up to seven blanks: every indent is
// a piece of it, so none is built as a string of its own.
constexpr qsizetype kMostTabs = kIndentColumnsLimit / 8;
constexpr auto kIndentChars = [] {
    std::array<char16_t, size_t(kMostTabs + 7)> chars{};
    for (size_t k = 0; k < chars.size(); ++k)
        chars[k] = k < size_t(kMostTabs) ? u'\t' : u' ';
    return chars;
}();

class LineLayout {
public:
    LineLayout(FirstPassResult &pass, const FormatterStyle &style, const QString &indentPrefix,
               const OutputLineSink &sink)
        : pass_(pass), style_(style), options_(style.Options), prefix_(indentPrefix), sink_(sink),
          rules_(style), defaultTag_(DefaultTag()), cur_(&defaultTag_) {}

    void Run(const FormatProgress &progress);

private:
    void Add(QStringView line) {
        if (!line.isEmpty())
            Put(line);
    }
    void Put(QStringView line);
    // The line indented (a line starting with a TAB is kept as it is).
    void PutIndented(QStringView line);
    void AddIndented(QStringView line) {
        if (!line.isEmpty())
            PutIndented(line);
    }

    void LayoutTagLine(QStringView line);
    void WrapLine(QStringView line);
    void BlankLines(int side);
    void GeneratedComment(int side);
    void EmitBlock(int block);
    void Raise(int steps);
    void Lower(int steps);
    int FindRule(QStringView line);
    QStringView LastTagKey(QStringView line);

    FirstPassResult &pass_;
    const FormatterStyle &style_;
    const FormatterOptions &options_;
    const QString &prefix_;
    const OutputLineSink &sink_;
    const RuleIndex rules_;
    const RecTAGInfo defaultTag_;
    const RecTAGInfo *cur_;
    CommentCounters counters_;
    int indentLevel_ = 0;
    // Buffers reused for every line: laying out allocates nothing per line.
    QString out_;     // the output line being made
    QString key_;     // FindRule's key
    QString lastKey_; // LastTagKey's key
    QString comment_; // GeneratedComment's line
    KeyMemo<RuleIndex::BlockMatch> blockRules_;
    std::vector<qsizetype> breaks_; // WrapLine's break points
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
        // the page (a huge attribute value).
        const QStringView line = lines.At(i);
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
void LineLayout::Put(QStringView line) {
    while (!line.isEmpty() && line.back() == u' ')
        line.chop(1);
    if (sink_)
        sink_(line);
    else
        pass_.lists.OutList.append(line.toString());
}

void LineLayout::PutIndented(QStringView line) {
    if (line.isEmpty() || line.startsWith(u'\t')) {
        Put(line);
        return;
    }
    const qint64 n =
        std::min<qint64>(qint64(indentLevel_) * options_.Spacing, options_.IndentColumnsCap());
    // n is at most kIndentColumnsLimit, so the TABs are all there. The line
    // is put together in place, sized once.
    const qsizetype tabs = qsizetype(std::max<qint64>(n, 0) / 8);
    const qsizetype blanks = qsizetype(std::max<qint64>(n, 0) % 8);
    out_.resize(prefix_.size() + tabs + blanks + line.size());
    char16_t *at = reinterpret_cast<char16_t *>(out_.data());
    const auto copy = [&at](const char16_t *from, qsizetype count) {
        std::memcpy(at, from, size_t(count) * sizeof(char16_t));
        at += count;
    };
    copy(QStringView(prefix_).utf16(), prefix_.size());
    copy(kIndentChars.data() + kMostTabs - tabs, tabs);
    copy(kIndentChars.data() + kMostTabs, blanks);
    copy(line.utf16(), line.size());
    Put(out_);
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

// FindTagRule, with the rules looked up in the index.
int LineLayout::FindRule(QStringView line) {
    cur_ = &defaultTag_;
    const int side = (line.size() > 1 && line[1] == u'/') ? -1 : 1;
    TagKeyInto(line, key_);
    // A tag cut off by the end of the page ("<B" without '>') matches no
    // rule: nothing may be generated after it, or a second run would read
    // the generated lines as part of the open tag.
    if (!key_.endsWith(u'>') || !line.contains(u'>'))
        return side;
    const RuleIndex::BlockMatch match =
        blockRules_.Get(key_, [&] { return rules_.BlockRule(key_); });
    if (match.slot == 0)
        return side;
    cur_ = &style_.Rule(match.slot);
    return match.side;
}

// LastTagName, into a reused buffer.
QStringView LineLayout::LastTagKey(QStringView line) {
    lastKey_.resize(0);
    while (!line.isEmpty() && line.back() == u' ')
        line.chop(1);
    if (line.size() <= 1 || line.back() != u'>')
        return {};
    const qsizetype open = line.lastIndexOf(u'<');
    if (open < 0)
        return {};
    TagKeyInto(line.sliced(open), lastKey_);
    return lastKey_;
}

void LineLayout::LayoutTagLine(QStringView line) {
    const int side = FindRule(line);
    if (side > 0 && cur_->TreatAsText) {
        // A text line that starts with an inline tag.
        const QStringView last = LastTagKey(line);
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
        AddIndented(line);
        Raise(cur_->isContentIndent);
    } else {
        Lower(cur_->isContentIndent);
        // A line that starts with a closing tag is kept whole, even when the
        // tag is inline and text follows it.
        AddIndented(line);
        GeneratedComment(-1);
        Lower(cur_->isSelfIndent);
        BlankLines(-1);
    }
}

// Spaces that may break a line: not inside a double-quoted string (or, with
// another BreakExcluder, not inside a tag). Whether a space is protected
// depends only on the characters before it, so the candidates are found in one
// scan and every piece is cut at the last candidate within LineSize, or at the
// first one beyond it when there is none.
void LineLayout::WrapLine(QStringView line) {
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
        AddIndented(line.first(size));
        return;
    }
    const bool quotes = options_.BreakExcluder == u"\"";
    std::vector<qsizetype> &candidates = breaks_;
    candidates.clear();
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
        AddIndented(line.sliced(start, cut - start + 1));
        start = cut + 1;
        next = k > next ? k : k + 1;
    }
    if (start < size)
        AddIndented(line.sliced(start, size - start));
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
    // The symbol is one character or none; the line is made in a buffer
    // reused for every comment.
    const qsizetype run = tag.CommentSymbol.isEmpty() ? 0 : qsizetype(fill);
    const QChar symbol = tag.CommentSymbol.isEmpty() ? QChar() : tag.CommentSymbol[0];
    QString &line = comment_;
    line.resize(0);
    line += u"<!--~";
    line.resize(line.size() + run, symbol);
    if (!text.isEmpty()) {
        line += u' ';
        line += text;
        line += number;
        line += u' ';
    }
    line.resize(line.size() + run, symbol);
    line += u"~-->";
    if (tag.Cindent)
        AddIndented(line);
    else
        Add(line);
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
        PutIndented(line);
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
