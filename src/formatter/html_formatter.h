#pragma once
// The formatter's entry: a text in, the laid-out text out.

#include "formatter/first_pass.h"
#include "formatter/formatter_style.h"
#include "formatter/layout_pass.h"

#include <QString>

namespace velmora {

// Formats text (CR LF, LF or lone CR line ends) with style. Every output line
// ends in CR LF, the last one too; an empty or blank text gives an empty
// result. indentPrefix goes in front of every indented line. progress, when
// set, is called now and then with (position, maximum) of the running pass
// and may process pending events.
// The output lines without line ends.
QStringList FormatHtmlLines(QString text, const FormatterStyle &style,
                            const QString &indentPrefix = QString(),
                            const FormatProgress &progress = {});
// The same, handing each output line to sink as soon as it is laid out, so
// the output is never held as a whole.
void FormatHtmlToSink(QString text, const FormatterStyle &style, const QString &indentPrefix,
                      const FormatProgress &progress, const OutputLineSink &sink);
// lineEnd is written after every line instead of CR LF when given.
QString FormatHtml(QString text, const FormatterStyle &style,
                   const QString &indentPrefix = QString(), const FormatProgress &progress = {},
                   QStringView lineEnd = u"\r\n");

// The leading spaces and TABs of a line: the prefix for a selection that
// starts on that line.
QString LeadingBlanks(const QString &line);

// The editor's Format command: the selected text, formatted with the indent
// of the line that holds the start of the selection.
QString FormatSelection(const QString &selectedText, const QString &lineOfSelectionStart,
                        const FormatterStyle &style, const FormatProgress &progress = {});

} // namespace velmora
