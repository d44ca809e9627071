#include "editor/tag_match.h"

#include <QString>

#include <algorithm>
#include <array>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

// How far from the caret its tag's '<' may lie: a longer "tag" is taken for
// text with a stray bracket.
constexpr qsizetype kMaxTagLength = 100000;

bool IsAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsNameChar(QChar c) {
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u':' || c == u'-' || c == u'_' ||
           c == u'.';
}

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// Names are ASCII (IsNameChar), so folding ASCII letters is enough; this is
// the innermost comparison of the scans and much cheaper than a Unicode one.
bool SameName(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i].unicode()) != FoldAscii(b[i].unicode()))
            return false;
    return true;
}

// Whether text at pos begins with name (any case) as a whole tag name.
bool NameAt(QStringView text, qsizetype pos, QStringView name) {
    if (pos + name.size() > text.size() || !SameName(text.mid(pos, name.size()), name))
        return false;
    const qsizetype after = pos + name.size();
    return after == text.size() || !IsNameChar(text[after]);
}

bool CommentAt(QStringView text, qsizetype pos) {
    return pos + 3 < text.size() && text[pos] == u'<' && text[pos + 1] == u'!' &&
           text[pos + 2] == u'-' && text[pos + 3] == u'-';
}

bool CommentEndsAt(QStringView text, qsizetype gt) {
    return gt >= 2 && text[gt - 1] == u'-' && text[gt - 2] == u'-';
}

// Elements whose content is not markup: tags inside them are no tags.
constexpr std::array<QStringView, 2> kRawTextNames{u"script", u"style"};

// The raw-text element whose name starts at pos, or an empty view.
QStringView RawNameAt(QStringView text, qsizetype pos) {
    for (QStringView name : kRawTextNames)
        if (NameAt(text, pos, name))
            return name;
    return {};
}

bool IsRawTextName(QStringView name) {
    for (QStringView raw : kRawTextNames)
        if (SameName(name, raw))
            return true;
    return false;
}

// A tag from its '<' to the next '>'. The name is empty for anything that is
// no element tag ("<!DOCTYPE", "<?xml", "< b", a '<' with no '>' after it).
struct Tag {
    TagSpan span;
    QStringView name;
    bool closing = false;
    bool selfClosing = false;

    bool Found() const { return span.end > span.start; }
    bool Element() const { return !name.isEmpty(); }
    bool Opens() const { return Element() && !closing && !selfClosing; }
};

Tag ReadTag(QStringView text, qsizetype lt, qsizetype gt) {
    Tag tag;
    if (gt < 0)
        return tag;
    tag.span = {lt, gt + 1};
    qsizetype first = lt + 1;
    if (first < gt && text[first] == u'/') {
        tag.closing = true;
        ++first;
    }
    if (first >= gt || !IsAsciiLetter(text[first]))
        return tag;
    qsizetype last = first;
    while (last < gt && IsNameChar(text[last]))
        ++last;
    tag.name = text.mid(first, last - first);
    tag.selfClosing = !tag.closing && text[gt - 1] == u'/';
    return tag;
}

Tag ReadTag(QStringView text, qsizetype lt) {
    return ReadTag(text, lt, text.indexOf(u'>', lt + 1));
}

// The "</name" of a raw-text element at or after from, or -1.
qsizetype RawTextEnd(QStringView text, qsizetype from, QStringView name) {
    for (qsizetype i = text.indexOf(u"</", from); i >= 0; i = text.indexOf(u"</", i + 2))
        if (NameAt(text, i + 2, name))
            return i;
    return -1;
}

// The "<name" of a raw-text element before pos, or -1.
qsizetype RawTextStart(QStringView text, qsizetype pos, QStringView name) {
    for (qsizetype i = pos - 1; i >= 0; --i) {
        i = text.lastIndexOf(u'<', i);
        if (i < 0)
            return -1;
        if (NameAt(text, i + 1, name))
            return i;
    }
    return -1;
}

// The '<' of the tag around caret: caret lies after it and at most just
// after its '>'. -1 when there is none within kMaxTagLength.
qsizetype TagStartAround(QStringView text, qsizetype caret) {
    if (caret <= 0 || caret > text.size())
        return -1;
    qsizetype i = caret - 1;
    if (text[i] == u'>')
        --i; // the caret just after the tag's own '>'
    const qsizetype lowest = std::max<qsizetype>(0, caret - kMaxTagLength);
    for (; i >= lowest; --i) {
        if (text[i] == u'<')
            return i;
        if (text[i] == u'>')
            return -1;
    }
    return -1;
}

// Whether the tag at lt lies inside a comment or (unless it is one of their
// own tags) inside a script or style element. The nearer of a comment's
// start and a comment's end before it decides, and likewise for the
// raw-text elements.
bool InsideCommentOrRawText(QStringView text, qsizetype lt, bool checkRawText) {
    bool commentDecided = false;
    bool rawDecided = !checkRawText;
    for (qsizetype i = lt - 1; i >= 0 && !(commentDecided && rawDecided); --i) {
        const QChar c = text[i];
        if (c == u'>' && !commentDecided && CommentEndsAt(text, i)) {
            commentDecided = true;
        } else if (c == u'<' && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == u'!') {
                if (!commentDecided && CommentAt(text, i))
                    return true;
            } else if (rawDecided) {
                continue;
            } else if (next == u'/') {
                rawDecided = !RawNameAt(text, i + 2).isEmpty();
            } else if (FoldAscii(next.unicode()) == u's' && !RawNameAt(text, i + 1).isEmpty()) {
                return true;
            }
        }
    }
    return false;
}

// The closing tag of name after from at the depth of an opening tag.
std::optional<TagSpan> ClosingTagAfter(QStringView text, qsizetype from, QStringView name) {
    int depth = 1;
    for (qsizetype i = text.indexOf(u'<', from); i >= 0; i = text.indexOf(u'<', i)) {
        if (CommentAt(text, i)) {
            const qsizetype end = text.indexOf(u"-->", i + 4);
            if (end < 0)
                return std::nullopt;
            i = end + 3;
            continue;
        }
        const Tag tag = ReadTag(text, i);
        if (!tag.Found())
            return std::nullopt;
        if (!tag.Element()) {
            ++i;
            continue;
        }
        if (SameName(tag.name, name)) {
            if (tag.closing && --depth == 0)
                return tag.span;
            if (tag.Opens())
                ++depth;
        } else if (tag.Opens() && IsRawTextName(tag.name)) {
            i = RawTextEnd(text, tag.span.end, tag.name);
            if (i < 0)
                return std::nullopt;
            continue;
        }
        i = tag.span.end;
    }
    return std::nullopt;
}

// The opening tag of name before pos at the depth of a closing tag, in one
// pass backwards: a '>' marks the end of the tag whose '<' comes next. Going
// backwards, a comment is recognised by its "-->" and a script or style
// element by its closing tag; reaching the start of either without having
// passed its end means the closing tag is inside it, and has no partner.
std::optional<TagSpan> OpeningTagBefore(QStringView text, qsizetype pos, QStringView name) {
    int depth = 1;
    qsizetype gt = -1; // the '>' of the tag being passed, when one was seen
    for (qsizetype i = pos - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (c == u'>') {
            if (!CommentEndsAt(text, i)) {
                gt = i;
                continue;
            }
            i = text.lastIndexOf(u"<!--", i - 2);
            if (i < 0)
                return std::nullopt;
            gt = -1;
            continue;
        }
        if (c != u'<')
            continue;
        if (CommentAt(text, i))
            return std::nullopt;
        if (gt < 0)
            continue;
        const Tag tag = ReadTag(text, i, gt);
        gt = -1;
        if (!tag.Element())
            continue;
        if (SameName(tag.name, name)) {
            if (tag.Opens() && --depth == 0)
                return tag.span;
            if (tag.closing)
                ++depth;
        } else if (IsRawTextName(tag.name)) {
            if (!tag.closing)
                return std::nullopt;
            i = RawTextStart(text, i, tag.name);
            if (i < 0)
                return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<TagSpan> PartnerOf(QStringView text, const Tag &tag) {
    // Inside a script or style element nothing is markup: its end is the
    // first closing tag of its name, its start the last opening one.
    if (IsRawTextName(tag.name)) {
        if (!tag.closing) {
            const qsizetype end = RawTextEnd(text, tag.span.end, tag.name);
            return end < 0 ? std::nullopt : std::optional(ReadTag(text, end).span);
        }
        const qsizetype start = RawTextStart(text, tag.span.start, tag.name);
        return start < 0 ? std::nullopt : std::optional(ReadTag(text, start).span);
    }
    return tag.closing ? OpeningTagBefore(text, tag.span.start, tag.name)
                       : ClosingTagAfter(text, tag.span.end, tag.name);
}

} // namespace

bool IsVoidTagName(QStringView name) {
    static constexpr std::array<QStringView, 18> kVoid{
        u"area",  u"base",    u"basefont", u"br",   u"col",  u"embed", u"frame",  u"hr",    u"img",
        u"input", u"isindex", u"keygen",   u"link", u"meta", u"param", u"source", u"track", u"wbr"};
    for (QStringView v : kVoid)
        if (SameName(name, v))
            return true;
    return false;
}

std::optional<TagPair> MatchingTag(QStringView text, qsizetype caret) {
    const qsizetype lt = TagStartAround(text, caret);
    if (lt < 0 || CommentAt(text, lt))
        return std::nullopt;
    const Tag tag = ReadTag(text, lt);
    if (!tag.Found() || !tag.Element() || caret > tag.span.end)
        return std::nullopt;
    if (tag.selfClosing || IsVoidTagName(tag.name))
        return std::nullopt;
    // A closing tag's search backwards notices a comment or script around
    // it on the way; from its partner on, and for an opening tag from the
    // tag itself, the text before is looked at once.
    const bool checkRawText = !IsRawTextName(tag.name);
    if (!tag.closing && InsideCommentOrRawText(text, lt, checkRawText))
        return std::nullopt;
    const std::optional<TagSpan> partner = PartnerOf(text, tag);
    if (!partner || partner->end <= partner->start)
        return std::nullopt;
    if (tag.closing && InsideCommentOrRawText(text, partner->start, checkRawText))
        return std::nullopt;
    return TagPair{tag.span, *partner};
}

} // namespace velmora
