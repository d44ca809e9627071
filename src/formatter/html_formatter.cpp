#include "formatter/html_formatter.h"

#include "formatter/layout_pass.h"

namespace velmora {

using namespace Qt::StringLiterals;

void FormatHtmlToSink(QString text, const FormatterStyle &style, const QString &indentPrefix,
                      const FormatProgress &progress, const OutputLineSink &sink) {
    text.replace(u"\r\n"_s, u"\n"_s);
    FirstPassResult pass = SplitIntoLines(std::move(text), style, progress);
    LayoutLines(pass, style, indentPrefix, progress, sink);
}

QStringList FormatHtmlLines(QString text, const FormatterStyle &style, const QString &indentPrefix,
                            const FormatProgress &progress) {
    text.replace(u"\r\n"_s, u"\n"_s);
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
