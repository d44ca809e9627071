#include "sitecheck/link_reader.h"

#include "sitecheck/html_entities.h"

#include <algorithm>
#include <cstring>
#include <string_view>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool IsSpace16(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

// Lines counted through a text: a line ends with LF, CR LF or a lone CR.
// The count moves from the last position asked for, so asking in order
// costs one pass over the text, and a step back within a tag is short.
template <typename Text> class LineCounter {
public:
    LineCounter(Text text, int firstLine) : text_(text), line_(firstLine) {}

    int LineAt(qsizetype pos) {
        pos = std::min(pos, qsizetype(text_.size()));
        for (; at_ < pos; ++at_) {
            if (EndsLine(at_))
                ++line_;
        }
        for (; at_ > pos; --at_) {
            if (EndsLine(at_ - 1))
                --line_;
        }
        return line_;
    }

private:
    bool EndsLine(qsizetype i) const {
        const auto c = text_[i];
        return c == '\n' || (c == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n'));
    }

    Text text_;
    qsizetype at_ = 0;
    int line_;
};

// ---- style sheets ---------------------------------------------------------------

bool StartsWithAsciiNoCase(QStringView text, qsizetype pos, QStringView lowerWord) {
    if (pos + lowerWord.size() > text.size())
        return false;
    for (qsizetype i = 0; i < lowerWord.size(); ++i) {
        char16_t c = text[pos + i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        if (c != lowerWord[i].unicode())
            return false;
    }
    return true;
}

bool IsCssNameChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
           u == u'-' || u == u'_' || u >= 0x80;
}

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// A backslash escape of CSS at css[pos] == '\\': a hex code of up to six
// digits (and one blank after it) or the next character itself. Returns the
// length taken.
qsizetype TakeCssEscape(QStringView css, qsizetype pos, QString &out) {
    qsizetype at = pos + 1;
    if (at >= css.size())
        return 1;
    char32_t code = 0;
    qsizetype digits = 0;
    for (; at < css.size() && digits < 6 && HexValue(css[at]) >= 0; ++at, ++digits)
        code = code * 16 + char32_t(HexValue(css[at]));
    if (digits == 0) {
        if (css[at] != u'\n')
            out.append(css[at]);
        return 2;
    }
    if (at < css.size() && IsSpace16(css[at]))
        ++at;
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    out.append(QString::fromUcs4(&code, 1));
    return at - pos;
}

// A quoted string starting at css[pos] (the quote); returns the position
// after its closing quote (or the end, or the line break that ends it).
qsizetype TakeCssString(QStringView css, qsizetype pos, QString *value) {
    const QChar quote = css[pos];
    qsizetype at = pos + 1;
    while (at < css.size() && css[at] != quote && css[at] != u'\n') {
        if (css[at] == u'\\') {
            QString ignored;
            at += TakeCssEscape(css, at, value ? *value : ignored);
        } else {
            if (value)
                value->append(css[at]);
            ++at;
        }
    }
    return at < css.size() && css[at] == quote ? at + 1 : at;
}

qsizetype SkipCssSpaces(QStringView css, qsizetype at) {
    while (at < css.size() && IsSpace16(css[at]))
        ++at;
    return at;
}

// url( at css[pos]: the value up to ')', quoted or not.
qsizetype TakeCssUrl(QStringView css, qsizetype pos, QString &value) {
    qsizetype at = SkipCssSpaces(css, pos + 4);
    if (at < css.size() && (css[at] == u'"' || css[at] == u'\'')) {
        at = TakeCssString(css, at, &value);
        while (at < css.size() && css[at] != u')')
            ++at;
        return at < css.size() ? at + 1 : at;
    }
    while (at < css.size() && css[at] != u')') {
        if (css[at] == u'\\')
            at += TakeCssEscape(css, at, value);
        else
            value.append(css[at++]);
    }
    value = value.trimmed();
    return at < css.size() ? at + 1 : at;
}

} // namespace

void ReadCssLinks(QStringView css, int firstLine, std::vector<PageLink> &out) {
    LineCounter<QStringView> lines(css, firstLine);
    bool afterImport = false; // an @import whose URL may be a plain string
    qsizetype pos = 0;
    while (pos < css.size()) {
        const QChar c = css[pos];
        if (c == u'/' && pos + 1 < css.size() && css[pos + 1] == u'*') {
            const qsizetype end = css.indexOf(u"*/", pos + 2);
            pos = end < 0 ? css.size() : end + 2;
        } else if (c == u'"' || c == u'\'') {
            QString value;
            const qsizetype end = TakeCssString(css, pos, afterImport ? &value : nullptr);
            if (afterImport)
                out.push_back({TrimUrl(value), lines.LineAt(pos)});
            afterImport = false;
            pos = end;
        } else if ((c == u'u' || c == u'U') && StartsWithAsciiNoCase(css, pos, u"url(") &&
                   (pos == 0 || !IsCssNameChar(css[pos - 1]))) {
            QString value;
            const int line = lines.LineAt(pos);
            pos = TakeCssUrl(css, pos, value);
            out.push_back({TrimUrl(value), line});
            afterImport = false;
        } else if (c == u'@' && StartsWithAsciiNoCase(css, pos + 1, u"import") &&
                   (pos + 7 >= css.size() || !IsCssNameChar(css[pos + 7]))) {
            afterImport = true;
            pos += 7;
        } else if (c == u'\\') {
            QString ignored;
            pos += TakeCssEscape(css, pos, ignored);
        } else {
            if (!IsSpace16(c))
                afterImport = false;
            ++pos;
        }
    }
}

// ---- URLs in attribute values --------------------------------------------------

QString TrimUrl(QStringView url) {
    qsizetype from = 0;
    qsizetype to = url.size();
    while (from < to && url[from].unicode() <= 0x20)
        ++from;
    while (to > from && url[to - 1].unicode() <= 0x20)
        --to;
    QString out;
    out.reserve(to - from);
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = url[i].unicode();
        if (c != u'\t' && c != u'\n' && c != u'\r')
            out.append(url[i]);
    }
    return out;
}

QStringList SrcsetUrls(QStringView srcset) {
    QStringList urls;
    qsizetype pos = 0;
    const qsizetype n = srcset.size();
    for (;;) {
        while (pos < n && (IsSpace16(srcset[pos]) || srcset[pos] == u','))
            ++pos;
        if (pos >= n)
            break;
        const qsizetype start = pos;
        while (pos < n && !IsSpace16(srcset[pos]))
            ++pos;
        QStringView url = srcset.mid(start, pos - start);
        if (url.endsWith(u',')) {
            // "a.png,b.png 2x": the URL ends at its commas, no descriptors.
            while (url.endsWith(u','))
                url.chop(1);
            urls.append(TrimUrl(url));
            continue;
        }
        urls.append(TrimUrl(url));
        // The descriptors up to the next comma outside parentheses.
        int depth = 0;
        while (pos < n && (depth > 0 || srcset[pos] != u',')) {
            if (srcset[pos] == u'(')
                ++depth;
            else if (srcset[pos] == u')' && depth > 0)
                --depth;
            ++pos;
        }
    }
    return urls;
}

QString RefreshUrl(QStringView content) {
    qsizetype pos = 0;
    const qsizetype n = content.size();
    while (pos < n && IsSpace16(content[pos]))
        ++pos;
    while (pos < n && (content[pos].isDigit() || content[pos] == u'.'))
        ++pos;
    while (pos < n && IsSpace16(content[pos]))
        ++pos;
    if (pos < n && (content[pos] == u';' || content[pos] == u','))
        ++pos;
    while (pos < n && IsSpace16(content[pos]))
        ++pos;
    if (pos >= n)
        return {};
    if (StartsWithAsciiNoCase(content, pos, u"url")) {
        qsizetype at = pos + 3;
        while (at < n && IsSpace16(content[at]))
            ++at;
        if (at < n && content[at] == u'=') {
            pos = at + 1;
            while (pos < n && IsSpace16(content[pos]))
                ++pos;
        }
    }
    if (pos < n && (content[pos] == u'"' || content[pos] == u'\'')) {
        const QChar quote = content[pos++];
        const qsizetype end = content.indexOf(quote, pos);
        return TrimUrl(content.mid(pos, (end < 0 ? n : end) - pos));
    }
    return TrimUrl(content.mid(pos));
}

// ---- HTML -----------------------------------------------------------------------

namespace {

// An attribute's value as written and where it stands; its lower-case name
// is kept beside it, in the scanner's list of names.
struct Attribute {
    std::string_view value;
    qsizetype valuePos = 0;
};

// Which attributes of which tags hold a link. Tags not named here are looked
// at only for id and style.
enum class LinkAttr { None, Url, Srcset };

LinkAttr LinkAttributeOf(std::string_view tag, std::string_view attr) {
    struct Row {
        std::string_view tag, attr;
        LinkAttr kind;
    };
    static constexpr Row kRows[] = {
        {"a", "href", LinkAttr::Url},           {"area", "href", LinkAttr::Url},
        {"img", "src", LinkAttr::Url},          {"img", "srcset", LinkAttr::Srcset},
        {"link", "href", LinkAttr::Url},        {"script", "src", LinkAttr::Url},
        {"iframe", "src", LinkAttr::Url},       {"frame", "src", LinkAttr::Url},
        {"object", "data", LinkAttr::Url},      {"embed", "src", LinkAttr::Url},
        {"video", "src", LinkAttr::Url},        {"video", "poster", LinkAttr::Url},
        {"audio", "src", LinkAttr::Url},        {"source", "src", LinkAttr::Url},
        {"source", "srcset", LinkAttr::Srcset}, {"track", "src", LinkAttr::Url},
        {"body", "background", LinkAttr::Url},  {"table", "background", LinkAttr::Url},
        {"td", "background", LinkAttr::Url},    {"th", "background", LinkAttr::Url},
    };
    for (const Row &row : kRows) {
        if (row.tag == tag && row.attr == attr)
            return row.kind;
    }
    return LinkAttr::None;
}

// Elements whose content holds no tags: it runs to the matching end tag.
bool IsRawTextElement(std::string_view tag) {
    static constexpr std::string_view kNames[] = {"script", "style",   "textarea", "title",
                                                  "xmp",    "noembed", "noframes", "iframe"};
    for (std::string_view name : kNames) {
        if (name == tag)
            return true;
    }
    return false;
}

class HtmlScanner {
public:
    HtmlScanner(QByteArrayView bytes, bool utf8, const std::atomic_bool *stop)
        : bytes_(bytes), utf8_(utf8), stop_(stop), lines_(bytes, 1) {}

    PageLinks Run() {
        const qsizetype n = bytes_.size();
        qsizetype pos = 0;
        qsizetype nextStopCheck = kStopCheckBytes;
        while (pos < n) {
            if (pos >= nextStopCheck) {
                if (stop_ && stop_->load(std::memory_order_relaxed))
                    break;
                nextStopCheck = pos + kStopCheckBytes;
            }
            const void *lt = std::memchr(bytes_.data() + pos, '<', size_t(n - pos));
            if (!lt)
                break;
            pos = static_cast<const char *>(lt) - bytes_.data();
            pos = AfterMarkup(pos);
        }
        return std::move(result_);
    }

private:
    static constexpr qsizetype kStopCheckBytes = 1 << 20;

    char At(qsizetype pos) const { return pos < bytes_.size() ? bytes_[pos] : '\0'; }

    qsizetype Find(std::string_view what, qsizetype from) const {
        const std::string_view all(bytes_.data(), size_t(bytes_.size()));
        const size_t found = from < bytes_.size() ? all.find(what, size_t(from)) : all.npos;
        return found == all.npos ? -1 : qsizetype(found);
    }

    qsizetype SkipPast(char c, qsizetype from) const {
        const qsizetype n = bytes_.size();
        if (from >= n)
            return n;
        const void *hit = std::memchr(bytes_.data() + from, c, size_t(n - from));
        return hit ? static_cast<const char *>(hit) - bytes_.data() + 1 : n;
    }

    QString Decode(std::string_view raw) const {
        return utf8_ ? QString::fromUtf8(raw.data(), qsizetype(raw.size()))
                     : QString::fromLatin1(raw.data(), qsizetype(raw.size()));
    }

    // The markup at bytes_[pos] == '<'; returns where the text goes on.
    qsizetype AfterMarkup(qsizetype pos) {
        const char next = At(pos + 1);
        if (next == '!') {
            if (At(pos + 2) == '-' && At(pos + 3) == '-') {
                // "<!-->" and "<!--->" are empty comments.
                if (At(pos + 4) == '>')
                    return pos + 5;
                if (At(pos + 4) == '-' && At(pos + 5) == '>')
                    return pos + 6;
                const qsizetype end = Find("-->", pos + 4);
                return end < 0 ? bytes_.size() : end + 3;
            }
            return SkipPast('>', pos + 2); // a doctype, a CDATA section, ...
        }
        if (next == '?')
            return SkipPast('>', pos + 2);
        if (next == '/') {
            if (!IsAsciiLetter(At(pos + 2)))
                return SkipPast('>', pos + 2);
            std::vector<Attribute> ignored;
            return ReadTag(pos + 2, nullptr, ignored);
        }
        if (!IsAsciiLetter(next))
            return pos + 1;
        std::string tag;
        attributes_.clear();
        const qsizetype after = ReadTag(pos + 1, &tag, attributes_);
        HandleStartTag(tag);
        if (IsRawTextElement(tag))
            return AfterRawText(tag, after);
        if (tag == "plaintext")
            return bytes_.size();
        return after;
    }

    // The name and attributes of a tag starting at its name; returns the
    // position after its '>'. A repeated attribute counts once, the first.
    qsizetype ReadTag(qsizetype pos, std::string *tag, std::vector<Attribute> &attrs) {
        const qsizetype n = bytes_.size();
        const qsizetype nameFrom = pos;
        while (pos < n && !IsSpace(bytes_[pos]) && bytes_[pos] != '/' && bytes_[pos] != '>')
            ++pos;
        if (tag) {
            tag->resize(size_t(pos - nameFrom));
            for (qsizetype i = nameFrom; i < pos; ++i)
                (*tag)[size_t(i - nameFrom)] = LowerAscii(bytes_[i]);
        }
        names_.clear();
        for (;;) {
            while (pos < n && (IsSpace(bytes_[pos]) || bytes_[pos] == '/'))
                ++pos;
            if (pos >= n)
                return n;
            if (bytes_[pos] == '>')
                return pos + 1;
            const qsizetype attrFrom = pos++;
            while (pos < n && !IsSpace(bytes_[pos]) && bytes_[pos] != '/' && bytes_[pos] != '>' &&
                   bytes_[pos] != '=')
                ++pos;
            const std::string_view rawName(bytes_.data() + attrFrom, size_t(pos - attrFrom));
            while (pos < n && IsSpace(bytes_[pos]))
                ++pos;
            std::string_view value;
            qsizetype valuePos = pos;
            if (pos < n && bytes_[pos] == '=') {
                ++pos;
                while (pos < n && IsSpace(bytes_[pos]))
                    ++pos;
                valuePos = pos;
                if (pos < n && (bytes_[pos] == '"' || bytes_[pos] == '\'')) {
                    valuePos = pos + 1;
                    const void *close =
                        std::memchr(bytes_.data() + valuePos, bytes_[pos], size_t(n - valuePos));
                    const qsizetype valueEnd =
                        close ? static_cast<const char *>(close) - bytes_.data() : n;
                    value = std::string_view(bytes_.data() + valuePos, size_t(valueEnd - valuePos));
                    pos = close ? valueEnd + 1 : n;
                } else {
                    while (pos < n && !IsSpace(bytes_[pos]) && bytes_[pos] != '>')
                        ++pos;
                    value = std::string_view(bytes_.data() + valuePos, size_t(pos - valuePos));
                }
            }
            if (tag)
                AddAttribute(rawName, value, valuePos, attrs);
        }
    }

    void AddAttribute(std::string_view rawName, std::string_view value, qsizetype valuePos,
                      std::vector<Attribute> &attrs) {
        std::string lower(rawName);
        for (char &c : lower)
            c = LowerAscii(c);
        for (const std::string &seen : names_) {
            if (seen == lower)
                return;
        }
        names_.push_back(std::move(lower));
        attrs.push_back({value, valuePos});
    }

    // The attribute's name as read (lower case), by index.
    std::string_view NameOf(size_t index) const { return names_[index]; }

    const Attribute *FindAttribute(std::string_view name) const {
        for (size_t i = 0; i < attributes_.size(); ++i) {
            if (NameOf(i) == name)
                return &attributes_[i];
        }
        return nullptr;
    }

    QString ValueOf(const Attribute &attr) const {
        return DecodeAttributeEntities(Decode(attr.value));
    }

    void AddLink(const QString &url, qsizetype pos) {
        result_.links.push_back({url, lines_.LineAt(pos)});
    }

    void HandleStartTag(const std::string &tag) {
        for (size_t i = 0; i < attributes_.size(); ++i) {
            const Attribute &attr = attributes_[i];
            const std::string_view name = NameOf(i);
            if (name == "id" || (name == "name" && tag == "a")) {
                result_.anchors.append(ValueOf(attr));
            } else if (name == "style") {
                // Lines are counted in the decoded value; an entity for a
                // line break must not move a link below the attribute.
                const size_t first = result_.links.size();
                ReadCssLinks(ValueOf(attr), lines_.LineAt(attr.valuePos), result_.links);
                const int last = lines_.LineAt(attr.valuePos + qsizetype(attr.value.size()));
                for (size_t k = first; k < result_.links.size(); ++k)
                    result_.links[k].line = std::min(result_.links[k].line, last);
            } else if (name == "href" && tag == "base") {
                if (!result_.hasBase) {
                    result_.hasBase = true;
                    result_.base = TrimUrl(ValueOf(attr));
                }
            } else {
                switch (LinkAttributeOf(tag, name)) {
                case LinkAttr::Url:
                    AddLink(TrimUrl(ValueOf(attr)), attr.valuePos);
                    break;
                case LinkAttr::Srcset:
                    for (const QString &url : SrcsetUrls(ValueOf(attr)))
                        AddLink(url, attr.valuePos);
                    break;
                case LinkAttr::None:
                    break;
                }
            }
        }
        if (tag == "input") {
            const Attribute *type = FindAttribute("type");
            const Attribute *src = FindAttribute("src");
            if (type && src &&
                ValueOf(*type).trimmed().compare(u"image"_s, Qt::CaseInsensitive) == 0)
                AddLink(TrimUrl(ValueOf(*src)), src->valuePos);
        } else if (tag == "meta") {
            const Attribute *equiv = FindAttribute("http-equiv");
            const Attribute *content = FindAttribute("content");
            if (equiv && content &&
                ValueOf(*equiv).trimmed().compare(u"refresh"_s, Qt::CaseInsensitive) == 0) {
                const QString url = RefreshUrl(ValueOf(*content));
                if (!url.isEmpty())
                    AddLink(url, content->valuePos);
            }
        }
    }

    // The content of a raw text element up to its end tag "</name" (any
    // letter case) followed by a blank, '/' or '>'. A <style> block's content
    // is read as a style sheet.
    qsizetype AfterRawText(const std::string &tag, qsizetype from) {
        const qsizetype n = bytes_.size();
        qsizetype end = n;
        for (qsizetype pos = from; pos < n;) {
            const void *lt = std::memchr(bytes_.data() + pos, '<', size_t(n - pos));
            if (!lt)
                break;
            pos = static_cast<const char *>(lt) - bytes_.data();
            if (EndTagAt(pos, tag)) {
                end = pos;
                break;
            }
            ++pos;
        }
        if (tag == "style") {
            const QString css = Decode(std::string_view(bytes_.data() + from, size_t(end - from)));
            ReadCssLinks(css, lines_.LineAt(from), result_.links);
        }
        return end;
    }

    bool EndTagAt(qsizetype pos, const std::string &tag) const {
        if (At(pos + 1) != '/' || pos + 2 + qsizetype(tag.size()) > bytes_.size())
            return false;
        for (size_t i = 0; i < tag.size(); ++i) {
            if (LowerAscii(bytes_[pos + 2 + qsizetype(i)]) != tag[i])
                return false;
        }
        const char after = At(pos + 2 + qsizetype(tag.size()));
        return IsSpace(after) || after == '/' || after == '>' || after == '\0';
    }

    QByteArrayView bytes_;
    bool utf8_;
    const std::atomic_bool *stop_;
    LineCounter<QByteArrayView> lines_;
    PageLinks result_;
    std::vector<Attribute> attributes_;
    std::vector<std::string> names_;
};

} // namespace

PageLinks ReadHtmlLinks(QByteArrayView bytes, bool utf8, const std::atomic_bool *stop) {
    return HtmlScanner(bytes, utf8, stop).Run();
}

} // namespace velmora
