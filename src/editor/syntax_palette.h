#pragma once
// The four editor colours and the four emphasis palettes.

#include "editor/syntax_tokenizer.h"
#include "foundation/settings.h"

namespace velmora {

struct SyntaxColours {
    ColorRef TextCol = clBlack;
    ColorRef TagCol = clBlue;
    ColorRef QuotedCol = clRed;
    ColorRef CommentCol = clTeal;

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
