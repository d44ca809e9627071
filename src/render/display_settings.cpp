#include "display_settings.h"

namespace velmora {

QColor EngineColor(ColorRef color) {
    if (color < 0 || color > 0xFFFFFF)
        return {};
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

int PixelsFromPoints(int points) {
    return (points * 96 + 36) / 72;
}

} // namespace velmora
