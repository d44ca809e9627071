#pragma once
// Colouring while typing: the colour a typed character gets, the tag range
// around the caret, and the runs that recolour that range.

#include "editor/syntax_palette.h"
#include "editor/syntax_tokenizer.h"

#include <QChar>
#include <QString>

#include <vector>

namespace velmora {

// The characters and colours on both sides of the caret, taken before an
// edit. A missing character (at either end of the text) is QChar(0).
struct CaretNeighbours {
    QChar before;
    ColorRef colourBefore = 0;
    QChar after;
    ColorRef colourAfter = 0;
};

// The likely colour of key typed between the neighbours.
ColorRef TypingColour(QChar key, const CaretNeighbours &around, const SyntaxColours &colours);

// The range from the last '<' before a caret to the first '>' at or after it.
struct RecEditTagInfo {
    qsizetype caret = 0;
    qsizetype start = 0; // of the '<'
    qsizetype end = 0;   // one past the '>'
    qsizetype length = 0;
    QString text;
    int kind = 0; // 0 no range found, 1 range found
};

inline constexpr qsizetype kTagSearchLimit = 1000000;

// p is an editor position (0-based, between characters). Nothing is found at
// position 0, or when either bracket lies more than kTagSearchLimit
// characters away.
RecEditTagInfo TagAroundCaret(QStringView text, qsizetype p);

// The runs that recolour a range found by TagAroundCaret, in text positions:
// the range's own runs, up to (not including) a comment that is not closed
// inside the range, whose characters and everything after it keep their
// colours.
std::vector<SyntaxRun> RecolourRuns(QStringView text, const RecEditTagInfo &range);

} // namespace velmora
