#pragma once
// The colour of every character of the editor, kept beside the text as one
// kind (text, tag, quoted value, comment) per document position, line breaks
// included. Keeping kinds here and not as character formats in the document
// keeps a 2,000,000-character page fast to load and recolour; the palette
// turns kinds into colours only when lines are painted.

#include "editor/caret_colouring.h"
#include "editor/syntax_tokenizer.h"

#include <QChar>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace velmora {

// "!", the double quote, "-", "<" and ">": typing or deleting one may change
// where tags, values and comments begin and end.
bool IsStructural(QChar c);

// The kind a key typed between two characters gets (TypingColour worked on
// kinds, so that palettes where several kinds share one colour cannot
// mislead it). A missing neighbour is QChar(0) with the kind Text.
SyntaxKind TypingKind(QChar key, QChar before, SyntaxKind kindBefore, QChar after,
                      SyntaxKind kindAfter);

// A half-open range of document positions.
struct PositionRange {
    qsizetype start = 0;
    qsizetype end = 0;
    bool Empty() const { return end <= start; }
};

class SyntaxKindStore {
public:
    qsizetype Size() const { return qsizetype(kinds_.size()); }
    // Text outside the store.
    SyntaxKind At(qsizetype pos) const;

    // size characters, all plain text.
    void Reset(qsizetype size);
    // The whole text coloured from its start: the full colouring.
    void ColourAll(QStringView text);
    // part coloured on its own, as if it were a whole text, into the
    // positions from at on (a pasted or inserted piece).
    void ColourPiece(QStringView part, qsizetype at);

    // Follows a change of the document: removed characters at pos went,
    // added ones came and get the kind fill; newSize is the document's size
    // after the change. The reported counts may overstate the change (the
    // document counts its final separator in some changes); they are cut to
    // what the sizes allow. Returns the positions of the added characters.
    PositionRange Update(qsizetype pos, qsizetype removed, qsizetype added, qsizetype newSize,
                         SyntaxKind fill);

    // Writes runs (in document positions), only inside clip.
    void Apply(const std::vector<SyntaxRun> &runs, PositionRange clip);
    void Fill(PositionRange range, SyntaxKind kind);

    // Calls sink(start, length, kind) for each stretch of one kind in range.
    template <typename Sink> void ForEachStretch(PositionRange range, Sink &&sink) const;

private:
    std::vector<std::uint8_t> kinds_;
};

// Recolours the tag range around caret in store, as after a structural
// character was typed or deleted; returns the range (empty when no range was
// found around the caret).
PositionRange RecolourAroundCaret(QStringView text, qsizetype caret, SyntaxKindStore &store);

// Colours characters that came back without a known kind (undo, redo, a
// replacement): the text is tokenized from the last '<' before them, so they
// get the kinds their place gives them. Nothing outside range changes.
void ColourFromContext(QStringView text, PositionRange range, SyntaxKindStore &store);

template <typename Sink>
void SyntaxKindStore::ForEachStretch(PositionRange range, Sink &&sink) const {
    const qsizetype end = std::min(range.end, Size());
    qsizetype i = std::max<qsizetype>(0, range.start);
    while (i < end) {
        const std::uint8_t kind = kinds_[size_t(i)];
        qsizetype j = i + 1;
        while (j < end && kinds_[size_t(j)] == kind)
            ++j;
        sink(i, j - i, SyntaxKind(kind));
        i = j;
    }
}

} // namespace velmora
