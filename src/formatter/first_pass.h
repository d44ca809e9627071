#pragma once
// The first formatting pass: cuts the input into tag lines, text lines (with
// their inline tags) and references to verbatim blocks set aside unchanged.

#include "formatter/formatter_lines.h"
#include "formatter/formatter_style.h"

#include <QString>

#include <functional>
#include <vector>

namespace velmora {

// Called with (position, maximum) while a pass runs; may process events.
using FormatProgress = std::function<void(qsizetype, qsizetype)>;

// Lines kept end to end in one string: a page of many short lines (deep
// nesting gives one line per tag) would otherwise cost a string allocation and
// a list slot per line, several times the size of the text itself.
class PackedLines {
public:
    // A line that is exactly one blank is kept as an empty line.
    void Append(QStringView line);
    qsizetype size() const { return qsizetype(ends_.size()); }
    QStringView At(qsizetype i) const;
    void Reserve(qsizetype chars, qsizetype lines) {
        text_.reserve(chars);
        ends_.reserve(size_t(lines));
    }
    void Clear();

private:
    QString text_;
    std::vector<qsizetype> ends_; // per line: where it ends in text_
};

// What the first pass leaves for the layout pass. lines holds the lines
// (lists.LinesList is left empty); a line that stands for a verbatim block holds its reference text
// ("###<PRE>:3") and has its block number in blockOfLine. Page text that itself
// begins with "###" is therefore never taken for a reference.
struct FirstPassResult {
    FormatterLists lists;
    PackedLines lines;
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
