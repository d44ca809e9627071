#pragma once
// The editor's Format command apart from its window: the whole text is
// formatted with the style, each pass is shown on the main window's progress
// bar, and pending events are let through at every step so that the window
// keeps repainting while a large page is formatted.

#include "formatter/formatter_style.h"

#include <QString>

#include <functional>

namespace velmora {

class ProgressBar;

// Formats the editor's text (lines joined by '\n') and gives the result
// joined the same way, every line ended, the last one too. The leading
// blanks of the first line go in front of every indented line. bar, when
// given, runs from 0 to the length of each pass and is back at 0 when this
// returns, however it returns; pump, when given, runs at every progress step
// (about every 1,000 characters of the first pass and 100 lines of the
// second).
QString FormatEditorText(const QString &text, const FormatterStyle &style, ProgressBar *bar,
                         const std::function<void()> &pump);

} // namespace velmora
