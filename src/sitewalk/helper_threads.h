#pragma once
// How many helper threads the file lists' bulk work (stating a search's
// matches, building sort keys) uses beside the calling thread.

#include <algorithm>
#include <thread>

namespace velmora {

// One per processor beyond the caller's own, at most three.
inline unsigned HelperThreadCount() {
    const unsigned processors = std::thread::hardware_concurrency();
    return processors > 1 ? std::min(processors - 1, 3u) : 0u;
}

} // namespace velmora
