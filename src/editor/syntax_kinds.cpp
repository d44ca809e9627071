#include "editor/syntax_kinds.h"

#include <algorithm>

namespace velmora {

namespace {

// Colours whose values are the kinds themselves: TypingColour then answers
// with a kind.
constexpr SyntaxColours kKindColours{0, 1, 2, 3};

} // namespace

bool IsStructural(QChar c) {
    return c == u'!' || c == u'"' || c == u'-' || c == u'<' || c == u'>';
}

SyntaxKind TypingKind(QChar key, QChar before, SyntaxKind kindBefore, QChar after,
                      SyntaxKind kindAfter) {
    const CaretNeighbours around{before, ColorRef(kindBefore), after, ColorRef(kindAfter)};
    const ColorRef kind = TypingColour(key, around, kKindColours);
    return kind <= 3 ? SyntaxKind(kind) : SyntaxKind::Text;
}

SyntaxKind SyntaxKindStore::At(qsizetype pos) const {
    if (pos < 0 || pos >= Size())
        return SyntaxKind::Text;
    return SyntaxKind(kinds_[size_t(pos)]);
}

void SyntaxKindStore::Reset(qsizetype size) {
    kinds_.assign(size_t(std::max<qsizetype>(0, size)), std::uint8_t(SyntaxKind::Text));
}

void SyntaxKindStore::ColourAll(QStringView text) {
    Reset(text.size());
    ColourPiece(text, 0);
}

void SyntaxKindStore::ColourPiece(QStringView part, qsizetype at) {
    ForEachSyntaxRun(part, [&](const SyntaxRun &run) {
        Fill({at + run.start, at + run.start + run.length}, run.kind);
    });
}

PositionRange SyntaxKindStore::Update(qsizetype pos, qsizetype removed, qsizetype added,
                                      qsizetype newSize, SyntaxKind fill) {
    const qsizetype oldSize = Size();
    pos = std::clamp<qsizetype>(pos, 0, oldSize);
    removed = std::clamp<qsizetype>(removed, 0, oldSize - pos);
    added = newSize - oldSize + removed;
    if (added < 0 || pos + added > newSize) {
        // Counts that do not fit the sizes: take everything from pos as new.
        removed = oldSize - pos;
        added = std::max<qsizetype>(0, newSize - pos);
    }
    const auto first = kinds_.begin() + pos;
    kinds_.erase(first, first + removed);
    kinds_.insert(kinds_.begin() + pos, size_t(added), std::uint8_t(fill));
    return {pos, pos + added};
}

void SyntaxKindStore::Fill(PositionRange range, SyntaxKind kind) {
    const qsizetype start = std::max<qsizetype>(0, range.start);
    const qsizetype end = std::min(range.end, Size());
    if (start < end)
        std::fill(kinds_.begin() + start, kinds_.begin() + end, std::uint8_t(kind));
}

void SyntaxKindStore::Apply(const std::vector<SyntaxRun> &runs, PositionRange clip) {
    for (const SyntaxRun &run : runs)
        Fill({std::max(run.start, clip.start), std::min(run.start + run.length, clip.end)},
             run.kind);
}

PositionRange RecolourAroundCaret(QStringView text, qsizetype caret, SyntaxKindStore &store) {
    const RecEditTagInfo range = TagAroundCaret(text, caret);
    if (range.kind != 1)
        return {};
    store.Apply(RecolourRuns(text, range), {range.start, range.end});
    return {range.start, range.end};
}

void ColourFromContext(QStringView text, PositionRange range, SyntaxKindStore &store) {
    range.end = std::min(range.end, text.size());
    if (range.Empty())
        return;
    // A character's kind depends only on the text before it, back to the
    // '<' that opened its token: tokenizing from there to the range's end
    // gives the kinds of the range.
    const qsizetype lowest = std::max<qsizetype>(0, range.start - kTagSearchLimit);
    qsizetype from = range.start;
    for (qsizetype i = range.start - 1; i >= lowest; --i) {
        if (text[i] == u'<') {
            from = i;
            break;
        }
    }
    // Whether a '<' opens a comment shows only in the three characters
    // after it.
    constexpr qsizetype kLookAhead = 3;
    const qsizetype to = std::min(text.size(), range.end + kLookAhead);
    ForEachSyntaxRun(text.mid(from, to - from), [&](const SyntaxRun &run) {
        const qsizetype start = std::max(from + run.start, range.start);
        store.Fill({start, std::min(range.end, from + run.start + run.length)}, run.kind);
    });
}

} // namespace velmora
