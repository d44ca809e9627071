#pragma once
// The version of Velmora that every program of it belongs to: the version of
// its package, set once by the build from the project version.

namespace velmora {

// Such as "1.0b".
const char *ProgramVersion();

} // namespace velmora
