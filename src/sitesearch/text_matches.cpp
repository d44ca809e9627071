#include "sitesearch/text_matches.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

bool IsLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r';
}

// The CR LF pairs that lie wholly inside [start, end): each is one character
// in the editor's text.
qsizetype CrLfPairsIn(QStringView text, qsizetype start, qsizetype end) {
    qsizetype pairs = 0;
    for (qsizetype i = start; i + 1 < end; ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n') {
            ++pairs;
            ++i;
        }
    }
    return pairs;
}

// The line, or around a long one the part that shows the occurrence, with
// an ellipsis where it was cut.
void DescribeLine(QStringView text, const LineCursor &lines, LineMatch &m) {
    const qsizetype lineStart = lines.LineStart();
    const qsizetype lineEnd = lines.LineEnd();
    const qsizetype inLine = std::min(m.start + m.length, lineEnd) - m.start;
    qsizetype from = lineStart;
    qsizetype to = lineEnd;
    if (to - from > kShownLineChars) {
        const qsizetype context = kShownLineChars / 4;
        from = std::max(lineStart, m.start - context);
        to = std::min(lineEnd, std::max(m.start + inLine, from + kShownLineChars));
        to = std::min(to, from + kShownLineChars);
    }
    const QString lead = from > lineStart ? u"\u2026"_s : QString();
    m.shownLine = lead + text.sliced(from, to - from).toString();
    if (to < lineEnd)
        m.shownLine += u'\u2026';
    m.shownStart = lead.size() + (m.start - from);
    m.shownLength = std::clamp<qsizetype>(to - m.start, 0, inLine);
}

} // namespace

void LineCursor::MoveTo(qsizetype pos) {
    pos = std::min(pos, text_.size());
    const char16_t *data = reinterpret_cast<const char16_t *>(text_.data());
    for (qsizetype i = scanned_; i < pos; ++i) {
        const char16_t c = data[i];
        if (!IsLineBreak(c))
            continue;
        // A CR right before an LF ends its line together with it.
        if (c == u'\r' && i + 1 < text_.size() && data[i + 1] == u'\n') {
            if (i + 1 >= pos) {
                scanned_ = i;
                return; // pos is at the LF of a CR LF: still this line
            }
            ++i;
        }
        ++line_;
        lineStart_ = i + 1;
    }
    scanned_ = std::max(scanned_, pos);
}

qsizetype LineCursor::LineEnd() const {
    const char16_t *data = reinterpret_cast<const char16_t *>(text_.data());
    qsizetype i = std::max(lineStart_, scanned_);
    while (i < text_.size() && !IsLineBreak(data[i]))
        ++i;
    return i;
}

MatchCount CollectMatches(QStringView text, const TextPattern &pattern, std::vector<LineMatch> &out,
                          const std::function<bool()> &keep, const std::function<bool()> &stop) {
    MatchCount count;
    LineCursor lines(text);
    const TextCheck check = text.isValidUtf16() ? TextCheck::KnownValid : TextCheck::Check;
    qsizetype pos = 0;
    while (pos <= text.size()) {
        // Often enough that even a page full of occurrences stops at once.
        if ((count.found & 255) == 0 && stop && stop()) {
            count.stopped = true;
            break;
        }
        const PatternMatch found = pattern.Next(text, pos, true, check);
        if (!found.Found())
            break;
        ++count.found;
        pos = found.End();
        if (keep && !keep())
            continue;
        lines.MoveTo(found.start);
        LineMatch m;
        m.line = lines.Line();
        m.column = found.start - lines.LineStart() + 1;
        m.start = found.start;
        m.length = found.length;
        m.editorLength = found.length - CrLfPairsIn(text, found.start, found.End());
        DescribeLine(text, lines, m);
        out.push_back(std::move(m));
    }
    return count;
}

} // namespace velmora
