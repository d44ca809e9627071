#include "syntax_palette.h"

namespace velmora {

namespace {
constexpr ColorRef kBlack = 0x000000;
constexpr ColorRef kBlue = 0xFF0000;
constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kTeal = 0x808000;
constexpr ColorRef kSilver = 0xC0C0C0;
} // namespace

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
        return {kSilver, kBlue, kSilver, kSilver};
    case 3:
        return {kSilver, kSilver, kRed, kSilver};
    case 4:
        return {kBlack, kSilver, kSilver, kSilver};
    default:
        return {kBlack, kBlue, kRed, kTeal};
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
