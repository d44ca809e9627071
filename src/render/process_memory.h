#pragma once
// The memory a process holds in RAM, read from /proc. Cheap enough to read
// many times a second while a page loads.

#include <QtGlobal>

namespace velmora {

// The resident set of the process (what /proc/PID/status calls VmRSS): its
// own memory plus the shared libraries and shared memory it has touched.
// -1 when there is no such process (or pid is 0 or less).
qint64 ResidentBytes(qint64 pid);

} // namespace velmora
