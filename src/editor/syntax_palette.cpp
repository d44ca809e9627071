#include "editor/syntax_palette.h"

namespace velmora {

ColorRef SyntaxColours::Of(SyntaxKind kind) const {
    switch (kind) {
    case SyntaxKind::Tag:
        return TagCol;
    case SyntaxKind::Quoted:
        return QuotedCol;
    case SyntaxKind::Comment:
        return CommentCol;
    case SyntaxKind::Text:
        break;
    }
    return TextCol;
}

SyntaxColours SyntaxColours::FromSettings(const Settings &settings) {
    return {settings.TextCol, settings.TagCol, settings.QuotedCol, settings.CommentCol};
}

SyntaxColours SyntaxPalette(int mode) {
    switch (mode) {
    case 2:
        return {clSilver, clBlue, clSilver, clSilver};
    case 3:
        return {clSilver, clSilver, clRed, clSilver};
    case 4:
        return {clBlack, clSilver, clSilver, clSilver};
    default:
        return {clBlack, clBlue, clRed, clTeal};
    }
}

void SetSyntaxPalette(Settings &settings, int mode) {
    if (mode < 1 || mode > kPaletteCount)
        return;
    const SyntaxColours c = SyntaxPalette(mode);
    settings.TextCol = c.TextCol;
    settings.TagCol = c.TagCol;
    settings.QuotedCol = c.QuotedCol;
    settings.CommentCol = c.CommentCol;
}

} // namespace velmora
