#include "foundation/program_version.h"

// Given to this one file by the build (src/foundation/CMakeLists.txt), so that
// a new version rebuilds nothing else.
#ifndef VELMORA_VERSION
#error "VELMORA_VERSION is defined by the build, from the project version"
#endif

namespace velmora {

const char *ProgramVersion() {
    return VELMORA_VERSION;
}

} // namespace velmora
