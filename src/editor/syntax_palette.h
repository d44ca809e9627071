#pragma once
// The four editor colours and the four emphasis palettes.

#include "settings.h"
#include "syntax_tokenizer.h"

namespace velmora {

struct SyntaxColours {
    ColorRef TextCol = 0x000000;
    ColorRef TagCol = 0xFF0000;
    ColorRef QuotedCol = 0x0000FF;
    ColorRef CommentCol = 0x808000;

    ColorRef Of(SyntaxKind kind) const;
    static SyntaxColours FromSettings(const Settings &settings);
};

inline constexpr int kPaletteCount = 4;
// Mode 1 colours everything, 2 emphasises tags, 3 quoted strings, 4 text;
// an unknown mode gives mode 1.
SyntaxColours SyntaxPalette(int mode);
// Overwrites the four colours of settings with palette mode (1 to 4); any
// other mode changes nothing.
void SetSyntaxPalette(Settings &settings, int mode);

} // namespace velmora
