#pragma once
// The first formatting pass: cuts the input into tag lines, text lines (with
// their inline tags) and references to verbatim blocks set aside unchanged.

#include "formatter_lines.h"
#include "formatter_style.h"

#include <QString>

#include <functional>
#include <vector>

namespace velmora {

// Called with (position, maximum) while a pass runs; may process events.
using FormatProgress = std::function<void(qsizetype, qsizetype)>;

// What the first pass leaves for the layout pass. lists.LinesList holds the
// lines; a line that stands for a verbatim block holds its reference text
// ("###<PRE>:3") and has its block number in blockOfLine. Page text that itself
// begins with "###" is therefore never taken for a reference.
struct FirstPassResult {
    FormatterLists lists;
    std::vector<int> blockOfLine;       // per line of LinesList: block index or -1
    std::vector<qsizetype> blockStarts; // per block: index of its reference in BlocksList
    std::vector<bool> blockIsCell;      // per block: a table cell holding only tags

    // Lines of block b in BlocksList, after its reference line.
    QStringList BlockLines(int b) const;
};

// input: the text with CR LF pairs already turned into LF.
FirstPassResult SplitIntoLines(QString input, const FormatterStyle &style,
                               const FormatProgress &progress = {});

} // namespace velmora
