#pragma once
// The six display settings a user can change for the internal browser (and
// that page captures copy from it). They act as a browser's defaults: a page's
// own fonts and colours still win.

#include "foundation/colors.h"

#include <QColor>
#include <QString>

namespace velmora {

struct DisplaySettings {
    QString fontName = QStringLiteral("Times New Roman");
    ColorRef fontColor = 0x000000;       // black
    int fontSize = 12;                   // points
    ColorRef linkColor = 0xFF0000;       // blue ($00BBGGRR)
    ColorRef backgroundColor = 0xFFFFFF; // white
    bool showImages = true;

    bool operator==(const DisplaySettings &) const = default;
};

// Point size to the CSS pixel size the engine takes (96 pixels per inch).
int PixelsFromPoints(int points);

} // namespace velmora
