#include "render/display_settings.h"

namespace velmora {

int PixelsFromPoints(int points) {
    return (points * 96 + 36) / 72;
}

} // namespace velmora
