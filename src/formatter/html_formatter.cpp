#include "html_formatter.h"

#include "layout_pass.h"

namespace velmora {

using namespace Qt::StringLiterals;

QString FormatHtml(const QString &text, const FormatterStyle &style, const QString &indentPrefix,
                   const FormatProgress &progress) {
    QString input = text;
    input.replace(u"\r\n"_s, u"\n"_s);
    FirstPassResult pass = SplitIntoLines(std::move(input), style, progress);
    LayoutLines(pass, style, indentPrefix, progress);

    const QStringList &out = pass.lists.OutList;
    qsizetype total = 0;
    for (const QString &line : out)
        total += line.size() + 2;
    QString result;
    result.reserve(total);
    for (const QString &line : out) {
        result += line;
        result += u"\r\n"_s;
    }
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
