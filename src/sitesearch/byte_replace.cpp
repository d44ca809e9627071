#include "sitesearch/byte_replace.h"

#include "foundation/text_codec.h"
#include "sitesearch/text_matches.h"

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

qsizetype MarkSize(TextEncoding encoding, bool byteOrderMark) {
    if (!byteOrderMark)
        return 0;
    switch (encoding) {
    case TextEncoding::Utf8:
        return 3;
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        return 2;
    case TextEncoding::Utf32Le:
    case TextEncoding::Utf32Be:
        return 4;
    case TextEncoding::Latin1:
        break;
    }
    return 0;
}

// Walks the text from the start, turning character positions (which only
// grow) into byte offsets in the bytes it was decoded from.
class ByteOffsets {
public:
    ByteOffsets(QStringView text, TextEncoding encoding, bool byteOrderMark)
        : text_(text), encoding_(encoding), byte_(MarkSize(encoding, byteOrderMark)) {}

    qsizetype At(qsizetype pos) {
        while (char_ < pos) {
            const char16_t c = text_[char_].unicode();
            const bool pair = QChar::isHighSurrogate(c) && char_ + 1 < text_.size() &&
                              text_[char_ + 1].isLowSurrogate();
            byte_ += BytesOf(c, pair);
            char_ += pair ? 2 : 1;
        }
        return byte_;
    }

private:
    qsizetype BytesOf(char16_t c, bool pair) const {
        switch (encoding_) {
        case TextEncoding::Latin1:
            return 1;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return pair ? 4 : 2;
        case TextEncoding::Utf32Le:
        case TextEncoding::Utf32Be:
            return 4;
        case TextEncoding::Utf8:
            break;
        }
        if (pair)
            return 4;
        return c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
    }

    QStringView text_;
    TextEncoding encoding_;
    qsizetype char_ = 0;
    qsizetype byte_;
};

// A character that the encoding cannot hold would be written as '?'.
QString EncodingProblem(const QString &inserted, TextEncoding encoding) {
    if (encoding == TextEncoding::Latin1) {
        for (QChar c : inserted)
            if (c.unicode() > 0xFF)
                return u"the replacement holds characters that its encoding (Latin-1) cannot hold"_s;
        return {};
    }
    for (qsizetype i = 0; i < inserted.size(); ++i) {
        const QChar c = inserted[i];
        if (c.isHighSurrogate() && i + 1 < inserted.size() && inserted[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return u"the replacement holds a broken character"_s;
    }
    return {};
}

QString Shown(QStringView text) {
    QString shown = text.toString();
    shown.replace(u"\r\n"_s, u"\u21b5"_s).replace(u'\n', u'\u21b5').replace(u'\r', u'\u21b5');
    return shown;
}

// A run of lines longer than this (a minified page is one long line) is not
// shown whole: each group of nearby replacements in it is shown with some
// text either side, cut off with an ellipsis. Less goes before than after,
// so that the change itself is in sight at the start of a narrow column.
constexpr qsizetype kWholeRunChars = 400;
constexpr qsizetype kContextBefore = 20;
constexpr qsizetype kContextAfter = 60;

// Moves a cut off the middle of a surrogate pair, outwards.
qsizetype CutBefore(QStringView text, qsizetype at, qsizetype floor) {
    at = std::max(at, floor);
    return at > floor && text[at].isLowSurrogate() ? at - 1 : at;
}
qsizetype CutAfter(QStringView text, qsizetype at, qsizetype ceiling) {
    at = std::min(at, ceiling);
    return at < ceiling && at > 0 && text[at - 1].isHighSurrogate() ? at + 1 : at;
}

// Replacements first..last shown over [from, to) of the text, marked as cut
// where that is less than the run [runStart, runEnd).
ChangedLine DescribePart(QStringView text, const std::vector<PatternReplacement> &found,
                         size_t first, size_t last, qsizetype from, qsizetype to, int line,
                         qsizetype runStart, qsizetype runEnd) {
    QString after;
    qsizetype pos = from;
    for (size_t j = first; j <= last; ++j) {
        after += text.sliced(pos, found[j].start - pos);
        after += found[j].text;
        pos = found[j].start + found[j].length;
    }
    after += text.sliced(pos, to - pos);
    const QString head = from > runStart ? u"\u2026"_s : QString();
    const QString tail = to < runEnd ? u"\u2026"_s : QString();
    return {line, head + Shown(text.sliced(from, to - from)) + tail, head + Shown(after) + tail};
}

// Adds what the replacements first..last of one run of lines change to out:
// the whole run when it is short, else each group of nearby replacements.
void DescribeRun(QStringView text, const std::vector<PatternReplacement> &found, size_t first,
                 size_t last, qsizetype runStart, qsizetype runEnd, LineCursor &lines,
                 int maxChanges, ByteReplacement &out) {
    // Past maxChanges a change is only counted: no text is copied for it.
    const auto full = [&] {
        if (maxChanges <= 0 || int(out.changes.size()) < maxChanges)
            return false;
        ++out.changesLeftOut;
        return true;
    };
    if (runEnd - runStart <= kWholeRunChars) {
        if (full())
            return;
        lines.MoveTo(found[first].start);
        out.changes.push_back(DescribePart(text, found, first, last, runStart, runEnd, lines.Line(),
                                           runStart, runEnd));
        return;
    }
    for (size_t k = first; k <= last;) {
        size_t end = k;
        while (end < last && found[end + 1].start - (found[end].start + found[end].length) <=
                                 kContextBefore + kContextAfter)
            ++end;
        if (!full()) {
            lines.MoveTo(found[k].start);
            const qsizetype from = CutBefore(text, found[k].start - kContextBefore, runStart);
            const qsizetype to =
                CutAfter(text, found[end].start + found[end].length + kContextAfter, runEnd);
            out.changes.push_back(
                DescribePart(text, found, k, end, from, to, lines.Line(), runStart, runEnd));
        }
        k = end + 1;
    }
}

// The lines the replacements touch, before and after, as runs of whole
// lines; replacements that touch the same lines make one run.
void DescribeChanges(QStringView text, const std::vector<PatternReplacement> &found, int maxChanges,
                     ByteReplacement &out) {
    LineCursor lines(text);
    LineCursor endLines(text); // the line where a replacement ends
    // The end of endLines' line, looked for once per line: many
    // replacements on one long line would otherwise each scan to its end.
    qsizetype endLineStart = -1;
    qsizetype endLineEnd = 0;
    size_t k = 0;
    while (k < found.size()) {
        lines.MoveTo(found[k].start);
        const qsizetype runStart = lines.LineStart();
        qsizetype runEnd = 0;
        size_t last = k;
        // Take in every replacement that begins before the run's end.
        for (;;) {
            endLines.MoveTo(found[last].start + found[last].length);
            if (endLines.LineStart() != endLineStart) {
                endLineStart = endLines.LineStart();
                endLineEnd = endLines.LineEnd();
            }
            runEnd = std::max(runEnd, endLineEnd);
            if (last + 1 < found.size() && found[last + 1].start <= runEnd)
                ++last;
            else
                break;
        }
        DescribeRun(text, found, k, last, runStart, runEnd, lines, maxChanges, out);
        k = last + 1;
    }
}

} // namespace

namespace {

// Puts into out the page's bytes with the found occurrences replaced; the
// reason when the page cannot take them.
QString ReplaceDecoded(const QByteArray &bytes, const DecodedText &decoded,
                       const std::vector<PatternReplacement> &found, QByteArray &out) {
    if (decoded.binary)
        return u"it is not a text file"_s;
    out.resize(0);
    out.reserve(bytes.size() + bytes.size() / 8);
    ByteOffsets offsets(decoded.text, decoded.encoding, decoded.byteOrderMark);
    qsizetype copied = 0;
    for (const PatternReplacement &r : found) {
        if (QString problem = EncodingProblem(r.text, decoded.encoding); !problem.isEmpty())
            return problem;
        const qsizetype from = offsets.At(r.start);
        const qsizetype to = offsets.At(r.start + r.length);
        out.append(bytes.constData() + copied, from - copied);
        out.append(EncodeText(r.text, decoded.encoding, false));
        copied = to;
    }
    out.append(bytes.constData() + copied, bytes.size() - copied);
    return {};
}

// The same for occurrences found in the bytes: each is needleSize bytes at
// its start, and every one takes the same replacement.
QString ReplaceNarrow(const QByteArray &bytes, NarrowEncoding narrow,
                      const std::vector<qsizetype> &starts, qsizetype needleSize,
                      const QString &replacement, QByteArray &out) {
    const TextEncoding encoding =
        narrow == NarrowEncoding::Utf8 ? TextEncoding::Utf8 : TextEncoding::Latin1;
    if (QString problem = EncodingProblem(replacement, encoding); !problem.isEmpty())
        return problem;
    const QByteArray inserted = EncodeText(replacement, encoding, false);
    out.resize(0);
    out.reserve(bytes.size() + qsizetype(starts.size()) * (inserted.size() - needleSize));
    qsizetype copied = 0;
    for (const qsizetype at : starts) {
        out.append(bytes.constData() + copied, at - copied);
        out.append(inserted);
        copied = at + needleSize;
    }
    out.append(bytes.constData() + copied, bytes.size() - copied);
    return {};
}

} // namespace

ByteReplacement ReplaceInBytes(const QByteArray &bytes, const TextPattern &pattern,
                               const QString &replacement, int maxChanges) {
    ByteReplacement out;
    out.bytes = bytes;
    const DecodedText decoded = DecodeText(bytes);
    const std::vector<PatternReplacement> found =
        pattern.Replacements(decoded.text, 0, replacement);
    if (found.empty())
        return out;
    QByteArray result;
    out.problem = ReplaceDecoded(bytes, decoded, found, result);
    if (!out.problem.isEmpty())
        return out;
    out.bytes = std::move(result);
    out.count = int(found.size());
    DescribeChanges(decoded.text, found, maxChanges, out);
    return out;
}

ReplacementCount ReplaceInBytesForWriting(const QByteArray &bytes, const TextPattern &pattern,
                                          const QString &replacement, QByteArray &out) {
    ReplacementCount result;
    std::vector<qsizetype> starts;
    if (const auto narrow = FindReplacementsInBytes(bytes, pattern, replacement, starts)) {
        if (starts.empty())
            return result;
        result.problem =
            ReplaceNarrow(bytes, *narrow, starts, pattern.Find().size(), replacement, out);
        result.count = result.problem.isEmpty() ? int(starts.size()) : 0;
        return result;
    }
    const DecodedText decoded = DecodeText(bytes);
    const std::vector<PatternReplacement> found =
        pattern.Replacements(decoded.text, 0, replacement);
    if (found.empty())
        return result;
    result.problem = ReplaceDecoded(bytes, decoded, found, out);
    result.count = result.problem.isEmpty() ? int(found.size()) : 0;
    return result;
}

} // namespace velmora
