#include "render/process_memory.h"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace velmora {

qint64 ResidentBytes(qint64 pid) {
    if (pid <= 0)
        return -1;
    char path[48];
    std::snprintf(path, sizeof path, "/proc/%lld/statm", static_cast<long long>(pid));
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // "size resident shared text lib data dt", in pages.
    char text[128];
    const ssize_t length = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (length <= 0)
        return -1;
    text[length] = '\0';
    char *end = nullptr;
    std::strtoll(text, &end, 10);
    const char *resident = end;
    const long long pages = std::strtoll(resident, &end, 10);
    if (end == resident)
        return -1;
    static const long pageSize = ::sysconf(_SC_PAGESIZE);
    return qint64(pages) * pageSize;
}

} // namespace velmora
