#include "editor/editor_text.h"

#include <algorithm>
#include <array>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

// Characters that the text control turns into line breaks when it is given
// them: a text holding one of them would come back from the control with a
// line end in its place.
constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kFrameStart = 0xFDD0;
constexpr char16_t kFrameEnd = 0xFDD1;

bool BreaksLines(QChar c) {
    const char16_t u = c.unicode();
    return u == kParagraphSeparator || u == kFrameStart || u == kFrameEnd;
}

const QString kNulNotice = u"This file holds NUL bytes and is shown read-only: saving it from "
                           u"the editor would change it."_s;
const QString kBrokenWideNotice = u"This file is not valid UTF-16 or UTF-32 text and is shown "
                                  u"read-only: saving it from the editor would change it."_s;
const QString kTooLongNotice =
    u"This file holds more than 2,000,000 characters: only the first 2,000,000 are shown, "
    u"read-only, since saving them from the editor would cut the file short."_s;
const QString kSeparatorNotice =
    u"This file holds Unicode paragraph separators (U+2029) or other characters that the "
    u"editor would turn into line ends, so it is shown read-only: saving it from the editor "
    u"would change it."_s;
const QString kInexactNotice = u"The editor cannot hold this file's text exactly, so it is "
                               u"shown read-only: saving it from the editor would change it."_s;

// Replaces every line end of source by '\n' and, with ends given, records
// each in order: for a file's text. Without ends, for a text the control gave
// back, U+2029 counts as a line end too.
QString JoinLines(QStringView source, std::vector<LineEnd> *ends) {
    QString text(source.size(), Qt::Uninitialized);
    QChar *out = text.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        LineEnd end;
        if (c == u'\n') {
            end = LineEnd::Lf;
        } else if (c == u'\r') {
            const bool pair = i + 1 < source.size() && source[i + 1] == u'\n';
            end = pair ? LineEnd::CrLf : LineEnd::Cr;
            i += pair ? 1 : 0;
        } else if (c.unicode() == kParagraphSeparator && !ends) {
            end = LineEnd::Lf; // what the control gives for a line break
        } else {
            out[n++] = c;
            continue;
        }
        out[n++] = u'\n';
        if (ends)
            ends->push_back(end);
    }
    text.truncate(n);
    return text;
}

LineEnd MostCommon(const std::vector<LineEnd> &ends) {
    std::array<qsizetype, 3> counts{};
    for (const LineEnd end : ends)
        ++counts[size_t(end)];
    // Ties go to the first of LF, CR LF, CR, in that order.
    const auto most = std::max_element(counts.begin(), counts.end());
    return LineEnd(most - counts.begin());
}

// Cuts the text after kEditorMaxChars characters, never inside a surrogate
// pair, and drops the line ends that went with the cut lines.
void CutToMaximum(EditorText &t) {
    qsizetype cut = kEditorMaxChars;
    if (t.text[cut - 1].isHighSurrogate() && t.text[cut].isLowSurrogate())
        --cut;
    t.text.truncate(cut);
    t.lineEnds.resize(size_t(t.text.count(u'\n')));
}

void MarkInexact(EditorText &t, const QString &notice) {
    t.exact = false;
    t.notice = notice;
}

void AppendLineEnd(QString &out, LineEnd end) {
    switch (end) {
    case LineEnd::Lf:
        out += u'\n';
        break;
    case LineEnd::CrLf:
        out += u"\r\n";
        break;
    case LineEnd::Cr:
        out += u'\r';
        break;
    }
}

// The edited text with lines joined by '\n', whatever the caller joined them
// with.
QString NormalisedLines(const QString &edited) {
    const bool plain = !edited.contains(u'\r') && !edited.contains(QChar(kParagraphSeparator));
    return plain ? edited : JoinLines(edited, nullptr);
}

// Which old line end each line end of the new text keeps: the ends inside
// the common leading part and inside the common trailing part of the two
// texts were not reached by the edit.
struct SharedEnds {
    qsizetype leading = 0;  // the first ends of both texts
    qsizetype trailing = 0; // the last ends of both texts
};

SharedEnds FindSharedEnds(QStringView before, QStringView after) {
    const qsizetype shorter = std::min(before.size(), after.size());
    const qsizetype head =
        std::mismatch(before.begin(), before.begin() + shorter, after.begin()).first -
        before.begin();
    // The trailing part must not reach into the leading one in either text.
    const qsizetype room = shorter - head;
    const auto tail = std::mismatch(before.rbegin(), before.rbegin() + room, after.rbegin()).first -
                      before.rbegin();
    return {before.first(head).count(u'\n'), before.last(tail).count(u'\n')};
}

// Lines joined by their ends: the shared ends from loaded, the others its
// newLineEnd.
QString WithLineEnds(const EditorText &loaded, const QString &text) {
    const SharedEnds shared = FindSharedEnds(loaded.text, text);
    const qsizetype oldEnds = qsizetype(loaded.lineEnds.size());
    const qsizetype newEnds = text.count(u'\n');
    QString out;
    out.reserve(text.size() + newEnds);
    qsizetype from = 0;
    for (qsizetype j = 0; j < newEnds; ++j) {
        const qsizetype at = text.indexOf(u'\n', from);
        out += QStringView(text).sliced(from, at - from);
        qsizetype old = -1;
        if (j < shared.leading)
            old = j;
        else if (j >= newEnds - shared.trailing)
            old = j - newEnds + oldEnds;
        LineEnd end = old >= 0 && old < oldEnds ? loaded.lineEnds[size_t(old)] : loaded.newLineEnd;
        // An LF right after a CR would read back as one CR LF, and two lines
        // as one: the empty line after a CR ends in CR too.
        if (end == LineEnd::Lf && out.endsWith(u'\r'))
            end = LineEnd::Cr;
        AppendLineEnd(out, end);
        from = at + 1;
    }
    out += QStringView(text).sliced(from);
    return out;
}

// The position of the first character that encoding cannot write, or -1.
qsizetype FirstUnwritable(QStringView text, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be)
        return -1; // lone surrogates are written back as they are
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (encoding == TextEncoding::Latin1 && c.unicode() > 0xFF)
            return i;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return i;
    }
    return -1;
}

char32_t CodePointAt(QStringView text, qsizetype i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[i], text[i + 1]);
    return text[i].unicode();
}

QString UnwritableNotice(QStringView text, qsizetype at) {
    const qsizetype line = text.first(at).count(u'\n') + 1;
    const char32_t c = CodePointAt(text, at);
    const QString code = QString::number(c, 16).toUpper().rightJustified(4, u'0');
    if (QChar::isSurrogate(c)) {
        return u"Line %1 holds a broken character (U+%2) that this file's encoding cannot "
               u"hold: saving would turn it into \"?\". Please remove it."_s.arg(line)
                   .arg(code);
    }
    return u"Line %1 holds the character \"%2\" (U+%3), which this file's encoding, Latin-1, "
           u"cannot hold: saving would turn it into \"?\". Please remove it, or write it as "
           u"&#%4; in HTML."_s.arg(line)
               .arg(QString::fromUcs4(&c, 1), code)
               .arg(quint32(c));
}

} // namespace

EditorText DecodeEditorText(const QByteArray &bytes) {
    DecodedText decoded = DecodeText(bytes);
    EditorText t;
    t.encoding = decoded.encoding;
    t.byteOrderMark = decoded.byteOrderMark;
    t.text = JoinLines(decoded.text, &t.lineEnds);
    decoded.text.clear();
    t.newLineEnd = MostCommon(t.lineEnds);
    if (decoded.binary)
        MarkInexact(t, bytes.contains('\0') ? kNulNotice : kBrokenWideNotice);
    if (t.text.size() > kEditorMaxChars) {
        CutToMaximum(t);
        if (t.exact)
            MarkInexact(t, kTooLongNotice);
    }
    if (t.exact && std::any_of(t.text.cbegin(), t.text.cend(), BreaksLines))
        MarkInexact(t, kSeparatorNotice);
    // Whatever else could go wrong on the way back: only a text that gives
    // back its own bytes may be edited.
    if (t.exact && EncodeEditorText(t, t.text) != bytes)
        MarkInexact(t, kInexactNotice);
    return t;
}

QByteArray EncodeEditorText(const EditorText &loaded, const QString &edited) {
    const QString text = WithLineEnds(loaded, NormalisedLines(edited));
    return EncodeText(text, loaded.encoding, loaded.byteOrderMark);
}

QString EditorSaveProblem(const EditorText &loaded, const QString &edited) {
    if (!loaded.exact)
        return loaded.notice.isEmpty() ? kInexactNotice : loaded.notice;
    const QString text = NormalisedLines(edited);
    const qsizetype at = FirstUnwritable(text, loaded.encoding);
    return at < 0 ? QString() : UnwritableNotice(text, at);
}

} // namespace velmora
