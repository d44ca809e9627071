#include "html_generator.h"

#include "formatter/html_formatter.h"

#include <QStringList>

#include <random>

namespace velmora::testing {

using namespace Qt::StringLiterals;

namespace {

class PageWriter {
public:
    PageWriter(PageShape shape, std::uint32_t seed) : shape_(shape), rng_(seed) {}

    QString Write(qsizetype size) {
        if (shape_ == PageShape::Garbage)
            return Garbage(size);
        out_ += u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<html><head>"_s
                u"<title>Generated page</title>\n<meta name=\"x\" content=\"a b\"></head>\n"
                u"<body bgcolor=\"#ffffff\">\n"_s;
        while (out_.size() < size)
            Block(0);
        out_ += u"</body></html>\n"_s;
        return out_;
    }

private:
    int Pick(int n) { return int(rng_() % unsigned(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }
    bool Messy() { return shape_ == PageShape::Messy; }

    QString Blank() {
        static const QString blanks[] = {u" "_s, u"\n"_s, u"  "_s, u"\t"_s, u" \n  "_s, u""_s};
        return Messy() ? blanks[Pick(6)] : (Chance(80) ? u" "_s : u"\n"_s);
    }

    QString Word() {
        static const QStringList words = {
            u"lake"_s,  u"holiday"_s, u"the"_s,     u"and"_s,   u"picture"_s, u"of"_s,
            u"a"_s,     u"morning"_s, u"&amp;"_s,   u"über"_s,  u"1999"_s,    u"page"_s,
            u"index"_s, u"(see"_s,    u"below)."_s, u"###"_s,   u"x=\"y\""_s, u"--"_s,
            u"~"_s,     u"a>b"_s,     u"café"_s,    u"well,"_s, u"\"quoted"_s};
        return words[Pick(int(words.size()))];
    }

    void Text(int words) {
        for (int k = 0; k < words; ++k) {
            if (Chance(12))
                Inline();
            else
                out_ += Word();
            out_ += Blank();
        }
        if (Messy() && Chance(5))
            out_ += u"a < b "_s;
    }

    void Inline() {
        static const char16_t *tags[] = {u"b", u"i", u"em", u"font size=-1", u"span class=\"k\""};
        switch (Pick(4)) {
        case 0:
            out_ += u"<a href=\"page%1.htm\" title=\"go to page %1\">%2</a>"_s.arg(Pick(100)).arg(
                Word());
            break;
        case 1:
            out_ += u"<img src=\"t%1.jpg\" width=130 height=100 alt=\"a %2\">"_s.arg(Pick(9)).arg(
                Word());
            break;
        default: {
            const QString tag = QString::fromUtf16(tags[Pick(5)]);
            const QString name = tag.section(u' ', 0, 0);
            out_ += u'<' + tag + u'>' + Word() + u' ' + Word();
            if (!Messy() || Chance(80))
                out_ += u"</"_s + name + u'>';
        }
        }
    }

    void Table(int depth) {
        out_ += u"<table border=0 cellpadding=\"4\">"_s + Blank();
        const int rows = 1 + Pick(4);
        for (int r = 0; r < rows; ++r) {
            out_ += u"<tr>"_s;
            const int cells = 1 + Pick(4);
            for (int c = 0; c < cells; ++c) {
                out_ += Chance(30) ? u"<td valign=top>"_s : u"<td>"_s;
                if (Chance(30))
                    out_ += u"<img src=\"c.gif\" alt=\"\">"_s;
                else if (depth < 3 && Chance(10))
                    Block(depth + 1);
                else
                    Text(1 + Pick(8));
                if (!Messy() || Chance(70))
                    out_ += u"</td>"_s;
                out_ += Blank();
            }
            out_ += u"</tr>\n"_s;
        }
        out_ += u"</table>\n"_s;
    }

    void Block(int depth) {
        switch (Pick(depth >= 4 ? 4 : 9)) {
        case 0:
        case 1:
            out_ += u"<p>"_s;
            Text(5 + Pick(60));
            if (!Messy() || Chance(50))
                out_ += u"</p>"_s;
            out_ += u"\n"_s;
            break;
        case 2:
            out_ += u"<h%1>"_s.arg(1 + Pick(6));
            Text(2 + Pick(5));
            out_ += u"</h%1>\n"_s.arg(1 + Pick(6));
            break;
        case 3:
            out_ += u"<!-- "_s + Word() + u" > "_s + Word() + u" -->\n"_s;
            break;
        case 4:
            Table(depth);
            break;
        case 5:
            out_ += u"<ul>\n"_s;
            for (int k = Pick(5); k >= 0; --k) {
                out_ += u"<li>"_s;
                Text(1 + Pick(10));
            }
            out_ += u"</ul>\n"_s;
            break;
        case 6:
            out_ += u"<div class=\"box\">"_s;
            Block(depth + 1);
            Block(depth + 1);
            out_ += u"</div>\n"_s;
            break;
        case 7:
            out_ += u"<script language=\"JavaScript\">\n\tif (a<b && c>d) {\n\t\tgo();\n\t}\n"
                    u"</script>\n"_s;
            break;
        default:
            out_ += u"<pre>\n  keep\tthis  \n\n    and this\n</pre>\n"_s;
            break;
        }
        if (Messy() && Chance(3))
            out_ += u"<!--~ not generated -->"_s;
        if (Messy() && Chance(3))
            out_ += u"<!--~ old ~-->"_s;
        if (Messy() && Chance(2))
            out_ += u"</div></table>"_s;
    }

    QString Garbage(qsizetype size) {
        static const QStringList pieces = {
            u"<"_s,        u">"_s,         u"/"_s,     u"!"_s,     u"-"_s,       u"~"_s,
            u"\""_s,       u" "_s,         u"\n"_s,    u"\t"_s,    u"\r"_s,      u"\r\n"_s,
            u"a"_s,        u"td"_s,        u"TD"_s,    u"pre"_s,   u"<!--"_s,    u"-->"_s,
            u"<!--~"_s,    u"~-->"_s,      u"<td>"_s,  u"</td>"_s, u"<table>"_s, u"</table>"_s,
            u"<b>"_s,      u"</b>"_s,      u"<pre>"_s, u"</pre"_s, u"###"_s,     u"###<TD>:1"_s,
            u"<script>"_s, u"</script>"_s, u"ü"_s,     u"x"_s};
        QString out;
        while (out.size() < size)
            out += pieces[Pick(int(pieces.size()))];
        return out;
    }

    PageShape shape_;
    std::mt19937 rng_;
    QString out_;
};

} // namespace

QString GenerateHtml(PageShape shape, qsizetype size, std::uint32_t seed) {
    return PageWriter(shape, seed).Write(size);
}

QString NestedDivs(int depth) {
    return NestedPage(NestKind::Divs, depth);
}

namespace {

struct NestLevel {
    const char *name;
    QStringView opening;
    QStringView closing;
    int tags;
};

NestLevel LevelOf(NestKind kind) {
    switch (kind) {
    case NestKind::Cells:
        return {"cells", u"<td>", u"</td>", 1};
    case NestKind::CellsWithComments:
        return {"cells with comments", u"<td><!-- cell -->", u"</td>", 1};
    case NestKind::TablesInCells:
        return {"tables in cells", u"<table><tr><td>", u"</td></tr></table>", 3};
    case NestKind::Lists:
        return {"lists", u"<ul><li>", u"</li></ul>", 2};
    case NestKind::Divs:
        return {"divs", u"<div>", u"</div>", 1};
    case NestKind::InlineTags:
        return {"inline tags", u"<b><i><font size=2>", u"</font></i></b>", 3};
    }
    return {"", u"", u"", 1};
}

} // namespace

const char *NestKindName(NestKind kind) {
    return LevelOf(kind).name;
}

int NestTagsPerLevel(NestKind kind) {
    return LevelOf(kind).tags;
}

QString NestedPage(NestKind kind, int depth) {
    const NestLevel level = LevelOf(kind);
    QString out;
    out.reserve(depth * (level.opening.size() + level.closing.size()) + 16);
    for (int k = 0; k < depth; ++k)
        out += level.opening;
    out += u"deep text"_s;
    for (int k = 0; k < depth; ++k)
        out += level.closing;
    return out;
}

QString LongAttribute(qsizetype valueLength) {
    QString value;
    value.reserve(valueLength);
    while (value.size() < valueLength)
        value += u"word "_s;
    value.truncate(valueLength);
    return u"<p>before <a title=\""_s + value + u"\" href=\"x.htm\">link</a> after</p>\n"_s;
}

// The blanks of page source: space, TAB, LF and CR (not other Unicode spaces).
static bool IsBlankChar(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The key of the tag at i as the formatter decides by it: leading brackets
// and blanks skipped, then the name in upper case.
// The name runs from the '<' itself: a blank or a second '<' right after it
// is no part of a tag name ("< pre" opens no block).
static QString KeyAt(const QString &html, qsizetype i) {
    if (QStringView(html).mid(i).startsWith(u"<!--"))
        return u"<!--"_s;
    QString key;
    qsizetype j = i;
    while (j < html.size() && html[j].unicode() < 128 &&
           (html[j].isLetterOrNumber() || html[j] == u'/' || html[j] == u'<'))
        key += html[j++].toUpper();
    // A tag that the end of the page cuts off opens no block.
    return html.indexOf(u'>', j) >= 0 ? key + u'>' : key;
}

static qsizetype FindNoCase(const QString &html, const QString &what, qsizetype from) {
    return html.indexOf(what, from, Qt::CaseInsensitive);
}

// The end of a table cell at i that holds nothing but tags, or -1.
static qsizetype TagsOnlyCellEnd(const QString &html, qsizetype i) {
    const qsizetype close = FindNoCase(html, u"</TD"_s, i + 1);
    const qsizetype e = close < 0 ? -1 : html.indexOf(u'>', close + 3);
    if (e < 0)
        return -1; // never closed: not a cell of tags
    qsizetype j = html.indexOf(u'>', i);
    j = (j < 0 || j > e) ? e + 1 : j + 1;
    while (j <= e && IsBlankChar(html[j]))
        ++j;
    bool inTag = false;
    for (; j <= e; ++j) {
        if (html[j] == u'<')
            inTag = true;
        else if (html[j] == u'>')
            inTag = false;
        else if (!inTag)
            return -1;
    }
    return e + 1;
}

QString PageText(const QString &html) {
    static const QList<std::pair<QString, QString>> blocks = {{u"<!--"_s, u"-->"_s},
                                                              {u"<PRE>"_s, u"</PRE"_s},
                                                              {u"<SCRIPT>"_s, u"</SCRIPT"_s},
                                                              {u"<STYLE>"_s, u"</STYLE"_s},
                                                              {u"<TEXTAREA>"_s, u"</TEXTAREA"_s}};
    QString text;
    const qsizetype n = html.size();
    auto keep = [&](qsizetype from, qsizetype to) {
        for (qsizetype k = from; k < to; ++k)
            if (!html[k].isSpace())
                text += html[k];
    };
    qsizetype i = 0;
    while (i < n) {
        if (html[i] != u'<') {
            keep(i, i + 1);
            ++i;
            continue;
        }
        if (QStringView(html).mid(i).startsWith(u"<!--~")) {
            const qsizetype close = html.indexOf(u"-->"_s, i + 1);
            if (close > i + 4 && html[close - 1] == u'~') {
                i = close + 3; // a generated comment
                continue;
            }
        }
        const QString key = KeyAt(html, i);
        qsizetype end = -1;
        if (key == u"<TD>")
            end = TagsOnlyCellEnd(html, i); // a cell of tags only holds no text
        for (const auto &[opening, closing] : blocks) {
            if (key != opening || end >= 0)
                continue;
            // A verbatim block: all of it is kept as it stands.
            const qsizetype close = FindNoCase(html, closing, i + 1);
            const qsizetype gt = close < 0 ? -1 : html.indexOf(u'>', close + closing.size() - 1);
            end = gt < 0 ? n : gt + 1;
            keep(i, end);
        }
        if (end < 0) {
            const qsizetype gt = html.indexOf(u'>', i);
            end = gt < 0 ? n : gt + 1; // a tag
        }
        i = end;
    }
    return text;
}

SettledRuns FormatUntilSettled(const QString &page, const QString &once,
                               const FormatterStyle &style) {
    SettledRuns runs{once, FormatHtml(once, style)};
    if (page.contains(u"~-->"_s)) {
        runs.expected = runs.actual;
        runs.actual = FormatHtml(runs.expected, style);
        runs.run = 3;
    }
    return runs;
}

} // namespace velmora::testing
