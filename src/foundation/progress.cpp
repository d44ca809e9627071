#include "foundation/progress.h"

namespace velmora {

void ProgressInit(ProgressBar &bar, bool skip, int maximum) {
    if (!skip)
        bar.SetRange(0, maximum);
}

void ProgressSet(ProgressBar &bar, bool skip, int value) {
    if (!skip)
        bar.SetPosition(value);
}

} // namespace velmora
