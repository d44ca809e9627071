#pragma once
// The second formatting pass: indents, wraps, adds empty lines and generated
// comments, and copies verbatim blocks, giving the output lines.

#include "formatter/first_pass.h"
#include "formatter/formatter_style.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

// Takes each finished output line (without a line end), in order. The view
// is valid only during the call.
using OutputLineSink = std::function<void(QStringView line)>;

// Fills pass.lists.OutList from the lines of the first pass, emptying
// pass.lines when done; with a sink, hands each output line to it
// instead and leaves OutList empty. indentPrefix goes in front of every line
// the pass indents.
void LayoutLines(FirstPassResult &pass, const FormatterStyle &style, const QString &indentPrefix,
                 const FormatProgress &progress = {}, const OutputLineSink &sink = {});

} // namespace velmora
