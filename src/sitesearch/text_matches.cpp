#include "sitesearch/text_matches.h"

#include "sitesearch/byte_find.h"
#include "sitesearch/page_read.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <limits>

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

// How much of the occurrence at start lies before lineEnd. One that starts
// at the LF of a CR LF starts after its line's end: nothing of it.
qsizetype PartInLine(qsizetype start, qsizetype length, qsizetype lineEnd) {
    return std::max<qsizetype>(0, std::min(start + length, lineEnd) - start);
}

// A line short enough to be shown whole, with the occurrence start
// characters into it: the line is kept as it is, not copied again.
void DescribeWholeLine(QString line, qsizetype start, LineMatch &m) {
    const qsizetype inLine = PartInLine(start, m.length, line.size());
    m.shownStart = start;
    m.shownLength = std::clamp<qsizetype>(line.size() - start, 0, inLine);
    m.shownLine = std::move(line);
    m.wholeLine = true;
}

// A line often holds several occurrences: when the row before showed the
// same line whole, this one shares its text instead of decoding it again.
bool DescribedWithRowBefore(const std::vector<LineMatch> &rows, qsizetype start, LineMatch &m) {
    if (rows.empty() || !rows.back().wholeLine || rows.back().line != m.line)
        return false;
    DescribeWholeLine(rows.back().shownLine, start, m);
    return true;
}

// The line (from lineStart to lineEnd in text), or around a long one the
// part that shows the occurrence at start, with an ellipsis where it was cut.
void DescribeLine(QStringView text, qsizetype lineStart, qsizetype lineEnd, qsizetype start,
                  LineMatch &m) {
    if (lineEnd - lineStart <= kShownLineChars) {
        DescribeWholeLine(text.sliced(lineStart, lineEnd - lineStart).toString(), start - lineStart,
                          m);
        return;
    }
    const qsizetype inLine = PartInLine(start, m.length, lineEnd);
    qsizetype from = lineStart;
    qsizetype to = lineEnd;
    if (to - from > kShownLineChars) {
        const qsizetype context = kShownLineChars / 4;
        from = std::max(lineStart, start - context);
        to = std::min(lineEnd, std::max(start + inLine, from + kShownLineChars));
        to = std::min(to, from + kShownLineChars);
    }
    const QString lead = from > lineStart ? u"\u2026"_s : QString();
    m.shownLine = lead + text.sliced(from, to - from).toString();
    if (to < lineEnd)
        m.shownLine += u'\u2026';
    m.shownStart = lead.size() + (start - from);
    m.shownLength = std::clamp<qsizetype>(to - start, 0, inLine);
}

// Moves lines on to pos a piece at a time, asking stop() between pieces: the
// first occurrence in a page of many megabytes may lie far into it. moved is
// where the cursor was last moved to. False when stopped.
template <class Lines>
bool MoveLinesTo(Lines &lines, qsizetype &moved, qsizetype pos, const std::function<bool()> &stop) {
    while (pos - moved > kSearchPieceChars) {
        moved += kSearchPieceChars;
        lines.MoveTo(moved);
        if (stop && stop())
            return false;
    }
    lines.MoveTo(pos);
    moved = pos;
    return true;
}

// The occurrences of a search in pieces, one after the other: each is
// counted, and the kept ones go to describe, which answers false when Stop
// came while it worked. next(pos, limit) gives the place of the next
// occurrence that starts at pos or after and by limit. Stop is asked at the
// start, after every piece without an occurrence and after every 256
// occurrences: often enough that any page stops at once, seldom enough to
// cost nothing.
template <class Next, class Describe>
MatchCount WalkOccurrences(qsizetype size, const Next &next, const std::function<bool()> &keep,
                           const std::function<bool()> &stop, const Describe &describe) {
    MatchCount count;
    qsizetype pos = 0;
    bool askStop = true;
    while (pos <= size) {
        if (askStop && stop && stop()) {
            count.stopped = true;
            break;
        }
        const PiecePlace place = next(pos, pos + kSearchPieceChars);
        const PatternMatch &found = place.match;
        if (!found.Found()) {
            if (place.resume < 0)
                break;
            pos = place.resume;
            askStop = true;
            continue;
        }
        ++count.found;
        pos = found.End();
        askStop = (count.found & 255) == 0;
        if (keep && !keep())
            continue;
        if (!describe(found)) {
            count.stopped = true;
            break;
        }
    }
    return count;
}

} // namespace

void LineCursor::MoveTo(qsizetype pos) {
    pos = std::min(pos, text_.size());
    const char16_t *data = reinterpret_cast<const char16_t *>(text_.data());
    for (qsizetype i = scanned_; i < pos; ++i) {
        const char16_t c = data[i];
        if (c > u'\r' || !IsLineBreak(c))
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
    return LineEndWithin(text_.size());
}

qsizetype LineCursor::LineEndWithin(qsizetype limit) const {
    const char16_t *data = reinterpret_cast<const char16_t *>(text_.data());
    limit = std::min(limit, text_.size());
    qsizetype i = std::max(lineStart_, scanned_);
    while (i < limit && !IsLineBreak(data[i]))
        ++i;
    return i;
}

MatchCount CollectMatches(QStringView text, const TextPattern &pattern, std::vector<LineMatch> &out,
                          const std::function<bool()> &keep, const std::function<bool()> &stop,
                          TextCheck check) {
    LineCursor lines(text);
    qsizetype moved = 0;
    // Only a regular expression needs the text checked, and once is enough;
    // a text of ASCII and neutral characters is matched by the quicker form.
    if (pattern.Options().regularExpression)
        check = CheckText(text, check);
    const auto next = [&](qsizetype pos, qsizetype limit) {
        return pattern.NextPlaceStartingBy(text, pos, limit, true, check);
    };
    return WalkOccurrences(text.size(), next, keep, stop, [&](const PatternMatch &found) {
        if (!MoveLinesTo(lines, moved, found.start, stop))
            return false;
        LineMatch m;
        m.line = lines.Line();
        m.column = found.start - lines.LineStart() + 1;
        m.length = found.length;
        m.editorLength = found.length - CrLfPairsIn(text, found.start, found.End());
        if (!DescribedWithRowBefore(out, found.start - lines.LineStart(), m)) {
            // Past this the line is not shown, and whether it goes on is all
            // that matters.
            const qsizetype lineEnd = lines.LineEndWithin(found.start + kShownLineChars + 1);
            DescribeLine(text, lines.LineStart(), lineEnd, found.start, m);
        }
        out.push_back(std::move(m));
        return true;
    });
}

} // namespace velmora

namespace velmora {
namespace {

const QByteArrayView kUtf8Mark("\xEF\xBB\xBF");

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The page's bytes read as the editor reads a page that has no UTF-16/32
// mark and no NUL: UTF-8 (after its optional mark) when valid, else Latin-1.
class NarrowPage {
public:
    // Bytes all below 0x80 are valid UTF-8 without looking again.
    NarrowPage(QByteArrayView bytes, const ByteKinds &kinds)
        : bytes_(bytes), utf8_(!kinds.nonAscii || bytes.isValidUtf8()),
          textStart_(utf8_ && bytes.startsWith(kUtf8Mark) ? kUtf8Mark.size() : 0) {}
    // Bytes already known to be valid UTF-8 (after their optional mark).
    explicit NarrowPage(QByteArrayView bytes)
        : bytes_(bytes), utf8_(true),
          textStart_(bytes.startsWith(kUtf8Mark) ? kUtf8Mark.size() : 0) {}

    qsizetype TextStart() const { return textStart_; }
    bool Utf8() const { return utf8_; }

    // The character of the text that ends right before byte at (a null
    // QChar at the start of the text). A character beyond U+FFFF is a
    // surrogate pair in the text, whose second half is no letter.
    QChar Before(qsizetype at) const {
        if (at <= textStart_)
            return QChar();
        const uchar b = uchar(bytes_[at - 1]);
        if (b < 0x80 || !utf8_)
            return QChar(char16_t(b));
        qsizetype lead = at - 1;
        while (lead > textStart_ && (uchar(bytes_[lead]) & 0xC0) == 0x80)
            --lead;
        return CharAt(lead);
    }

    // The character that starts at byte at; a null QChar past the end.
    QChar At(qsizetype at) const {
        if (at >= bytes_.size())
            return QChar();
        const uchar b = uchar(bytes_[at]);
        if (b < 0x80 || !utf8_)
            return QChar(char16_t(b));
        return CharAt(at);
    }

    // Characters (UTF-16 units) of the text in bytes [from, to).
    qsizetype Units(qsizetype from, qsizetype to) const {
        if (!utf8_)
            return to - from;
        // Each character's lead byte counts, one beyond U+FFFF twice (a
        // surrogate pair); without branches, so that it goes quickly over
        // the megabytes before an occurrence far along a long line.
        const uchar *data = reinterpret_cast<const uchar *>(bytes_.data());
        qsizetype units = 0;
        for (qsizetype i = from; i < to; ++i)
            units += qsizetype((data[i] & 0xC0) != 0x80) + qsizetype(data[i] >= 0xF0);
        return units;
    }

    // The first byte at or after at that starts a character.
    qsizetype CharStartFrom(qsizetype at) const {
        while (utf8_ && at < bytes_.size() && (uchar(bytes_[at]) & 0xC0) == 0x80)
            ++at;
        return at;
    }

    QString Decode(qsizetype from, qsizetype to) const {
        const QByteArrayView part = bytes_.sliced(from, to - from);
        if (!utf8_)
            return QString::fromLatin1(part);
        // fromUtf8 is quicker than a decoder made for each row, but drops a
        // mark at the start of what it decodes; the editor keeps a mark
        // inside the text as a character.
        if (!part.startsWith(kUtf8Mark))
            return QString::fromUtf8(part);
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                        QStringConverter::Flag::ConvertInitialBom);
        return utf8.decode(part);
    }

private:
    // The character whose UTF-8 sequence starts at lead (the page is valid).
    QChar CharAt(qsizetype lead) const {
        const uchar b = uchar(bytes_[lead]);
        if (b >= 0xF0)
            return QChar(QChar::highSurrogate(0x10000)); // a pair: its half is no letter
        const int count = b >= 0xE0 ? 3 : 2;
        char32_t c = b & (count == 3 ? 0x0F : 0x1F);
        for (int k = 1; k < count; ++k)
            c = (c << 6) | (uchar(bytes_[lead + k]) & 0x3F);
        return QChar(char16_t(c));
    }

    QByteArrayView bytes_;
    bool utf8_;
    qsizetype textStart_;
};

// Follows the lines of the bytes as LineCursor follows those of the text.
class ByteLines {
public:
    ByteLines(QByteArrayView bytes, qsizetype textStart, bool hasCr)
        : bytes_(bytes), hasCr_(hasCr), scanned_(textStart), lineStart_(textStart) {}

    void MoveTo(qsizetype pos) {
        const char *data = bytes_.data();
        if (!hasCr_) {
            // Only LF ends lines: memchr finds them fast.
            while (scanned_ < pos) {
                const void *lf = std::memchr(data + scanned_, '\n', size_t(pos - scanned_));
                if (!lf)
                    break;
                scanned_ = static_cast<const char *>(lf) - data + 1;
                ++line_;
                lineStart_ = scanned_;
            }
            scanned_ = pos;
            return;
        }
        for (qsizetype i = scanned_; i < pos; ++i) {
            const char c = data[i];
            if (c != '\n' && c != '\r')
                continue;
            if (c == '\r' && i + 1 < bytes_.size() && data[i + 1] == '\n') {
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

    int Line() const { return line_; }
    qsizetype LineStart() const { return lineStart_; }
    // The end of the line from byte from on, or limit when it goes on past.
    qsizetype LineEnd(qsizetype from, qsizetype limit) const {
        const char *data = bytes_.data();
        qsizetype i = from;
        limit = std::min(limit, bytes_.size());
        while (i < limit && data[i] != '\n' && data[i] != '\r')
            ++i;
        return i;
    }

private:
    QByteArrayView bytes_;
    bool hasCr_;
    qsizetype scanned_;
    qsizetype lineStart_;
    int line_ = 1;
};

// Characters (UTF-16 units) from a line's start to places further along it,
// counted on from the last place asked for on the same line, not from the
// line's start each time: a page of one long line holds many occurrences.
class LineUnits {
public:
    explicit LineUnits(const NarrowPage &page) : page_(page) {}

    qsizetype To(qsizetype lineStart, qsizetype at) {
        if (lineStart != lineStart_ || at < pos_) {
            lineStart_ = lineStart;
            pos_ = lineStart;
            units_ = 0;
        }
        units_ += page_.Units(pos_, at);
        pos_ = at;
        return units_;
    }

private:
    const NarrowPage &page_;
    qsizetype lineStart_ = -1;
    qsizetype pos_ = 0;
    qsizetype units_ = 0;
};

// Stands for the end of a line that goes on further than a row can show.
constexpr qsizetype kLineGoesOn = std::numeric_limits<qsizetype>::max() / 4;

// Describes the occurrence of length bytes at byte at, startInLine
// characters into the line that starts at byte lineStart, as DescribeLine
// does for the decoded line; a line longer than a row is decoded only around
// the occurrence, as far as the row can show.
void DescribeInBytes(QByteArrayView bytes, const NarrowPage &page, const ByteLines &lines,
                     qsizetype lineStart, qsizetype at, qsizetype startInLine, LineMatch &m) {
    // Even at four bytes a character, enough for the longest row.
    const qsizetype reach = std::min(bytes.size(), at + m.length + 4 * (kShownLineChars + 2));
    // At the LF of a CR LF the line (as the text's lines have it) ended at
    // the CR.
    const bool atCrLf = at > lineStart && bytes[at] == '\n' && bytes[at - 1] == '\r';
    const qsizetype lineEnd = atCrLf ? at - 1 : lines.LineEnd(at, reach);
    const bool endSeen = lineEnd < reach || reach == bytes.size();
    const qsizetype lineUnits =
        endSeen ? startInLine + (atCrLf ? -1 : page.Units(at, lineEnd)) : kLineGoesOn;
    if (lineUnits <= kShownLineChars) {
        DescribeWholeLine(page.Decode(lineStart, lineEnd), startInLine, m);
        return;
    }
    // From more characters before the occurrence than a row shows there,
    // in the coordinates of the part decoded.
    const qsizetype from =
        page.CharStartFrom(std::max(lineStart, at - 4 * (kShownLineChars / 4 + 1)));
    const qsizetype fromUnits = startInLine - page.Units(from, at);
    const QString part = page.Decode(from, endSeen ? lineEnd : reach);
    DescribeLine(part, -fromUnits, endSeen ? lineUnits - fromUnits : kLineGoesOn,
                 startInLine - fromUnits, m);
}

// True when a plain text is found in a page's bytes just as in its decoded
// text: an ASCII text without line breaks, searched with Match case, in a
// page without a UTF-16/32 mark. The page's NULs are for the caller to see.
bool FoundAlikeInBytes(QByteArrayView bytes, const TextPattern &pattern) {
    const PatternOptions options = pattern.Options();
    const QString &find = pattern.Find();
    if (options.regularExpression || !options.matchCase || find.isEmpty())
        return false;
    for (QChar c : find)
        if (c.unicode() >= 0x80 || c == u'\n' || c == u'\r')
            return false;
    return !(bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
             bytes.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4)));
}

bool IsWordBoundary(QChar before, QChar after) {
    return (before.isNull() || !IsWordChar(before)) && (after.isNull() || !IsWordChar(after));
}

} // namespace

std::optional<NarrowEncoding> FindReplacementsInBytes(QByteArrayView bytes,
                                                      const TextPattern &pattern,
                                                      const QString &replacement,
                                                      std::vector<qsizetype> &starts) {
    starts.clear();
    if (!FoundAlikeInBytes(bytes, pattern))
        return std::nullopt;
    const ByteKinds kinds = ScanByteKinds(bytes);
    if (kinds.nul)
        return std::nullopt;
    const NarrowPage page(bytes, kinds);
    const QByteArray needle = pattern.Find().toLatin1();
    const bool wholeWord = pattern.Options().wholeWord;
    // As Replace All sees it: an occurrence right after a replacement has
    // the replacement's last character before it (or, for an empty one, the
    // character before the occurrence replaced).
    qsizetype pos = page.TextStart(); // where the last replacement ended
    QChar lastOut;
    for (qsizetype at = FindBytes(bytes, needle, pos); at >= 0;) {
        const qsizetype end = at + needle.size();
        if (wholeWord) {
            const QChar before = !starts.empty() && at == pos ? lastOut : page.Before(at);
            if (!IsWordBoundary(before, page.At(end))) {
                at = FindBytes(bytes, needle, at + 1);
                continue;
            }
        }
        if (!replacement.isEmpty())
            lastOut = replacement.back();
        else if (at > pos || starts.empty())
            lastOut = page.Before(at);
        starts.push_back(at);
        pos = end;
        at = FindBytes(bytes, needle, pos);
    }
    return page.Utf8() ? NarrowEncoding::Utf8 : NarrowEncoding::Latin1;
}

namespace {

// A plain text with Match case: its bytes are found as they stand.
std::optional<MatchCount> CollectTextInBytes(QByteArrayView bytes, const TextPattern &pattern,
                                             std::vector<LineMatch> &out,
                                             const std::function<bool()> &keep,
                                             const std::function<bool()> &stop) {
    const PatternOptions options = pattern.Options();
    const QString &find = pattern.Find();
    if (!FoundAlikeInBytes(bytes, pattern))
        return std::nullopt;
    // One pass tells the NULs, the CRs and whether any byte is beyond ASCII.
    const ByteKinds kinds = ScanByteKinds(bytes);
    if (kinds.nul)
        return std::nullopt;

    const QByteArray needle = find.toLatin1();
    const NarrowPage page(bytes, kinds);
    ByteLines lines(bytes, page.TextStart(), kinds.cr);
    LineUnits units(page);
    MatchCount count;
    qsizetype pos = page.TextStart();
    qsizetype moved = page.TextStart();
    const auto stopped = [&] {
        count.stopped = stop && stop();
        return count.stopped;
    };
    bool askStop = true;   // as in CollectMatches
    qint64 passedOver = 0; // occurrences that are no whole word
    while (pos < bytes.size()) {
        if (askStop && stopped())
            break;
        // An occurrence starting in this piece lies wholly in it.
        const qsizetype pieceEnd = std::min(bytes.size(), pos + kSearchPieceChars + needle.size());
        const qsizetype at = FindBytes(bytes.first(pieceEnd), needle, pos);
        if (at < 0) {
            if (pieceEnd == bytes.size())
                break;
            pos = pieceEnd - needle.size() + 1;
            askStop = true;
            continue;
        }
        const qsizetype end = at + needle.size();
        if (options.wholeWord) {
            const QChar before = page.Before(at);
            const QChar after = page.At(end);
            if ((!before.isNull() && IsWordChar(before)) ||
                (!after.isNull() && IsWordChar(after))) {
                pos = at + 1;
                askStop = (++passedOver & 255) == 0; // a page full of them
                continue;
            }
        }
        ++count.found;
        pos = end;
        askStop = (count.found & 255) == 0;
        if (keep && !keep())
            continue;
        if (!MoveLinesTo(lines, moved, at, stop)) {
            count.stopped = true;
            break;
        }
        const qsizetype startInLine = units.To(lines.LineStart(), at);
        LineMatch m;
        m.line = lines.Line();
        m.column = startInLine + 1;
        m.length = find.size();
        m.editorLength = find.size();
        if (!DescribedWithRowBefore(out, startInLine, m))
            DescribeInBytes(bytes, page, lines, lines.LineStart(), at, startInLine, m);
        out.push_back(std::move(m));
    }
    return count;
}

// The CR LF pairs that lie wholly inside bytes [start, end).
qsizetype CrLfPairsInBytes(QByteArrayView bytes, qsizetype start, qsizetype end) {
    qsizetype pairs = 0;
    for (qsizetype i = start; i + 1 < end; ++i) {
        if (bytes[i] == '\r' && bytes[i + 1] == '\n') {
            ++pairs;
            ++i;
        }
    }
    return pairs;
}

// How much a search may rely on: ASCII most, then neutral, then valid.
int Trust(TextCheck check) {
    switch (check) {
    case TextCheck::KnownAscii:
        return 3;
    case TextCheck::KnownNeutral:
        return 2;
    case TextCheck::KnownValid:
        return 1;
    default:
        return 0;
    }
}

// CheckUtf8Text a piece at a time, asking stop() between the pieces: on a
// page of many megabytes beyond ASCII the scan reads every character and
// takes long enough to hold up a Stop. Pieces end before the lead byte of a
// character, so valid bytes fall into valid pieces, and bytes that are not
// valid leave at least one piece that is not. Nothing when stopped.
std::optional<TextCheck> CheckUtf8InPieces(QByteArrayView body, const std::function<bool()> &stop) {
    TextCheck whole = TextCheck::KnownAscii;
    for (qsizetype pos = 0; pos < body.size();) {
        if (pos > 0 && stop && stop())
            return std::nullopt;
        qsizetype end = std::min(body.size(), pos + kSearchPieceChars);
        for (int k = 0; k < 3 && end < body.size() && (uchar(body[end]) & 0xC0) == 0x80; ++k)
            --end;
        const TextCheck piece = CheckUtf8Text(body.sliced(pos, end - pos));
        if (Trust(piece) < Trust(whole))
            whole = piece;
        if (whole == TextCheck::Check)
            break;
        pos = end;
    }
    return whole;
}

// What a regular expression search of the page's bytes may rely on, or
// Check when the page is to be decoded: a NUL or a UTF-16/32 mark, or bytes
// that are not UTF-8 (Latin-1 then). Nothing when stopped.
std::optional<TextCheck> Utf8PageCheck(QByteArrayView bytes, const ByteKinds &kinds,
                                       const std::function<bool()> &stop) {
    if (kinds.nul || StartsWithWideMark(bytes))
        return TextCheck::Check;
    if (!kinds.nonAscii)
        return TextCheck::KnownAscii;
    const qsizetype textStart = bytes.startsWith(kUtf8Mark) ? kUtf8Mark.size() : 0;
    return CheckUtf8InPieces(bytes.sliced(textStart), stop);
}

// A regular expression matched in the bytes of a page of valid UTF-8: the
// same walk as CollectMatches, with places turned into UTF-16 units only for
// the occurrences described.
std::optional<MatchCount> CollectRegexInBytes(QByteArrayView bytes, const TextPattern &pattern,
                                              std::vector<LineMatch> &out,
                                              const std::function<bool()> &keep,
                                              const std::function<bool()> &stop) {
    if (pattern.Find().isEmpty() || !pattern.Valid() ||
        !pattern.SearchesUtf8(TextCheck::KnownAscii))
        return std::nullopt;
    const ByteKinds kinds = ScanByteKinds(bytes);
    const std::optional<TextCheck> checked = Utf8PageCheck(bytes, kinds, stop);
    if (!checked)
        return MatchCount{.found = 0, .stopped = true};
    const TextCheck check = *checked;
    if (!pattern.SearchesUtf8(check))
        return std::nullopt;

    const NarrowPage page(bytes);
    const qsizetype textStart = page.TextStart();
    // The matcher sees the text without its mark, as the decoded text is.
    const QByteArrayView body = bytes.sliced(textStart);
    ByteLines lines(bytes, textStart, kinds.cr);
    LineUnits units(page);
    qsizetype moved = textStart;
    const auto next = [&](qsizetype pos, qsizetype limit) {
        return pattern.NextPlaceInUtf8StartingBy(body, pos, limit, true, check);
    };
    return WalkOccurrences(body.size(), next, keep, stop, [&](const PatternMatch &found) {
        const qsizetype at = textStart + found.start;
        const qsizetype end = textStart + found.End();
        if (!MoveLinesTo(lines, moved, at, stop))
            return false;
        const qsizetype startInLine = units.To(lines.LineStart(), at);
        LineMatch m;
        m.line = lines.Line();
        m.column = startInLine + 1;
        m.length = page.Units(at, end);
        m.editorLength = m.length - CrLfPairsInBytes(bytes, at, end);
        if (!DescribedWithRowBefore(out, startInLine, m))
            DescribeInBytes(bytes, page, lines, lines.LineStart(), at, startInLine, m);
        out.push_back(std::move(m));
        return true;
    });
}

} // namespace

std::optional<MatchCount> CollectMatchesInBytes(QByteArrayView bytes, const TextPattern &pattern,
                                                std::vector<LineMatch> &out,
                                                const std::function<bool()> &keep,
                                                const std::function<bool()> &stop) {
    return pattern.Options().regularExpression
               ? CollectRegexInBytes(bytes, pattern, out, keep, stop)
               : CollectTextInBytes(bytes, pattern, out, keep, stop);
}

} // namespace velmora
