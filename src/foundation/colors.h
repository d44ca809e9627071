#pragma once
// Colour values as the settings keep them: 32-bit $00BBGGRR, red in the low
// byte. clNone is the value for "no colour".

#include <QColor>

namespace velmora {

using ColorRef = int;
inline constexpr ColorRef clNone = 0x1FFFFFFF;

// The named colours of the standard colour boxes.
inline constexpr ColorRef clBlack = 0x000000;
inline constexpr ColorRef clMaroon = 0x000080;
inline constexpr ColorRef clGreen = 0x008000;
inline constexpr ColorRef clOlive = 0x008080;
inline constexpr ColorRef clNavy = 0x800000;
inline constexpr ColorRef clPurple = 0x800080;
inline constexpr ColorRef clTeal = 0x808000;
inline constexpr ColorRef clGray = 0x808080;
inline constexpr ColorRef clSilver = 0xC0C0C0;
inline constexpr ColorRef clRed = 0x0000FF;
inline constexpr ColorRef clLime = 0x00FF00;
inline constexpr ColorRef clYellow = 0x00FFFF;
inline constexpr ColorRef clBlue = 0xFF0000;
inline constexpr ColorRef clFuchsia = 0xFF00FF;
inline constexpr ColorRef clAqua = 0xFFFF00;
inline constexpr ColorRef clWhite = 0xFFFFFF;

constexpr int RedOf(ColorRef color) {
    return color & 0xFF;
}
constexpr int GreenOf(ColorRef color) {
    return (color >> 8) & 0xFF;
}
constexpr int BlueOf(ColorRef color) {
    return (color >> 16) & 0xFF;
}

// The colour of a value; clNone, and any value outside 24 bits, give an
// invalid colour, which callers take as "no colour of its own".
inline QColor ColorFromRef(ColorRef color) {
    if (color < 0 || color > 0xFFFFFF)
        return {};
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

} // namespace velmora
