#pragma once
// The colour rules of the editor in one place: a text is cut into runs of
// plain text, tags, quoted values inside tags and comments. The syntax
// highlighter, the Rich Text copy (BuildSyntaxRtf) and the recolouring around
// the caret all use these runs, so they always agree.

#include <QStringView>

#include <vector>

namespace velmora {

enum class SyntaxKind { Text = 0, Tag = 1, Quoted = 2, Comment = 3 };

// A run [start, start + length). A run may be empty: it then only marks a
// colour switch (after a comment, and where a tag continues after a quoted
// value), exactly where the Rich Text writes one.
struct SyntaxRun {
    SyntaxKind kind;
    qsizetype start;
    qsizetype length;
    bool closed = true; // a comment whose "-->" was found
};

// Runs of text in order, covering it without gaps.
std::vector<SyntaxRun> TokenizeSyntax(QStringView text);

// Calls sink(run) for every run in order, without building a list.
template <typename Sink> void ForEachSyntaxRun(QStringView text, Sink &&sink);

namespace detail {
qsizetype NextOf3(QStringView text, qsizetype from, char16_t a, char16_t b, char16_t c);
}

template <typename Sink> void ForEachSyntaxRun(QStringView text, Sink &&sink) {
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        if (text[pos] != u'<') {
            // Text up to the next '<'.
            qsizetype end = text.indexOf(u'<', pos);
            if (end < 0)
                end = n;
            sink(SyntaxRun{SyntaxKind::Text, pos, end - pos});
            pos = end;
        } else if (text.mid(pos + 1).startsWith(u"!--")) {
            // A comment up to and including the first "-->"; nothing inside counts.
            const qsizetype close = text.indexOf(u"-->", pos);
            const qsizetype end = close < 0 ? n : close + 3;
            sink(SyntaxRun{SyntaxKind::Comment, pos, end - pos, close >= 0});
            sink(SyntaxRun{SyntaxKind::Text, end, 0});
            pos = end;
        } else {
            // A tag up to '>' (included) or the next '<' (not included), with
            // quoted values up to the next quote, or to a '<' or '>' that ends
            // them without belonging to them.
            qsizetype start = pos;
            qsizetype at = pos + 1;
            for (;;) {
                const qsizetype q = detail::NextOf3(text, at, u'>', u'<', u'"');
                if (q < 0) {
                    sink(SyntaxRun{SyntaxKind::Tag, start, n - start});
                    pos = n;
                    break;
                }
                if (text[q] == u'>') {
                    sink(SyntaxRun{SyntaxKind::Tag, start, q + 1 - start});
                    pos = q + 1;
                    break;
                }
                if (text[q] == u'<') {
                    sink(SyntaxRun{SyntaxKind::Tag, start, q - start});
                    pos = q;
                    break;
                }
                sink(SyntaxRun{SyntaxKind::Tag, start, q - start});
                const qsizetype r = detail::NextOf3(text, q + 1, u'"', u'<', u'>');
                qsizetype valueEnd;
                if (r < 0)
                    valueEnd = n;
                else if (text[r] == u'"')
                    valueEnd = r + 1;
                else
                    valueEnd = r;
                sink(SyntaxRun{SyntaxKind::Quoted, q, valueEnd - q});
                start = valueEnd;
                at = valueEnd;
                if (valueEnd >= n) {
                    sink(SyntaxRun{SyntaxKind::Tag, n, 0});
                    pos = n;
                    break;
                }
            }
        }
    }
}

} // namespace velmora
