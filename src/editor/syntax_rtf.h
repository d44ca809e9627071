#pragma once
// Page source as coloured Rich Text (the clipboard's text/rtf form).

#include "editor/syntax_palette.h"

#include <QByteArray>
#include <QStringView>

namespace velmora {

// The header with the colour table (0 text, 1 tag, 2 quoted, 3 comment), one
// colour switch at the start of every run, and the characters escaped for
// RTF: '\', '{' and '}' get a backslash, every line end (CR LF, CR or LF)
// becomes CR LF and "\par ". Characters up to U+00FF are written as their
// Latin-1 byte, others as "\uN?".
QByteArray BuildSyntaxRtf(QStringView text, const SyntaxColours &colours);
// The body alone (between the header and the closing brace).
QByteArray SyntaxRtfBody(QStringView text);

} // namespace velmora
