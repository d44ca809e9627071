#include "formatter/html_formatter.h"

#include "formatter/layout_pass.h"

#include <cstring>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

// The first CR at or after from that a LF follows, or -1. The CRs are looked
// for one character at a time (a fast search); a pair is no such search.
qsizetype NextCrLf(const QString &text, qsizetype from) {
    for (qsizetype cr = text.indexOf(u'\r', from); cr >= 0; cr = text.indexOf(u'\r', cr + 1))
        if (cr + 1 < text.size() && text[cr + 1] == u'\n')
            return cr;
    return -1;
}

// Every CR LF pair becomes a LF, in place and in one pass: the text is moved
// down only from the first pair on, in runs between the pairs.
void CrLfToLf(QString &text) {
    qsizetype cr = NextCrLf(text, 0);
    if (cr < 0)
        return;
    char16_t *const data = reinterpret_cast<char16_t *>(text.data());
    const qsizetype size = text.size();
    qsizetype out = cr;
    while (cr >= 0) {
        const qsizetype in = cr + 1; // the LF of the pair starts the next run
        cr = NextCrLf(text, in);
        const qsizetype end = cr < 0 ? size : cr;
        std::memmove(data + out, data + in, size_t(end - in) * sizeof(char16_t));
        out += end - in;
    }
    text.truncate(out);
}

} // namespace

void FormatHtmlToSink(QString text, const FormatterStyle &style, const QString &indentPrefix,
                      const FormatProgress &progress, const OutputLineSink &sink) {
    CrLfToLf(text);
    FirstPassResult pass = SplitIntoLines(std::move(text), style, progress);
    LayoutLines(pass, style, indentPrefix, progress, sink);
}

QStringList FormatHtmlLines(QString text, const FormatterStyle &style, const QString &indentPrefix,
                            const FormatProgress &progress) {
    CrLfToLf(text);
    // The input moves into the first pass and is freed when it ends.
    FirstPassResult pass = SplitIntoLines(std::move(text), style, progress);
    LayoutLines(pass, style, indentPrefix, progress);
    return std::move(pass.lists.OutList);
}

QString FormatHtml(QString text, const FormatterStyle &style, const QString &indentPrefix,
                   const FormatProgress &progress, QStringView lineEnd) {
    QString result;
    // The output is about the size of the input plus its indentation.
    result.reserve(text.size() + text.size() / 4);
    FormatHtmlToSink(std::move(text), style, indentPrefix, progress, [&](QStringView line) {
        result += line;
        result += lineEnd;
    });
    return result;
}

QString LeadingBlanks(const QString &line) {
    qsizetype n = 0;
    while (n < line.size() && (line[n] == u' ' || line[n] == u'\t'))
        ++n;
    return line.left(n);
}

QString FormatSelection(const QString &selectedText, const QString &lineOfSelectionStart,
                        const FormatterStyle &style, const FormatProgress &progress) {
    return FormatHtml(selectedText, style, LeadingBlanks(lineOfSelectionStart), progress);
}

} // namespace velmora
