#include "foundation/file_reader.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

QString KindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return u"a folder"_s;
    if (S_ISFIFO(mode))
        return u"a FIFO"_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"a device"_s;
    if (S_ISSOCK(mode))
        return u"a socket"_s;
    return u"not a regular file"_s;
}

FileRead Refused(ReadStatus status, QString error) {
    FileRead read;
    read.status = status;
    read.error = std::move(error);
    return read;
}

QString TooLargeReason(qint64 maxBytes) {
    return u"the file is larger than %1 bytes"_s.arg(maxBytes);
}

// Opens path for reading if it is a regular file: stat first, so that a FIFO
// or a device is never even opened, then fstat on the open file, in case it
// was replaced in between. Non-blocking, so an open can never wait.
int OpenRegular(const QString &path, struct stat *st, FileRead *refusal) {
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), st) != 0) {
        const int error = errno;
        *refusal = Refused(error == ENOENT ? ReadStatus::Missing : ReadStatus::Failed,
                           SystemReason(error));
        return -1;
    }
    if (!S_ISREG(st->st_mode)) {
        *refusal = Refused(ReadStatus::NotRegularFile, u"it is "_s + KindOf(st->st_mode));
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *refusal = Refused(ReadStatus::Failed, SystemReason(errno));
        return -1;
    }
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        ::close(fd);
        *refusal = Refused(ReadStatus::NotRegularFile, u"it is not a regular file"_s);
        return -1;
    }
    return fd;
}

// Reads up to maxBytes + 1 bytes, so that a file that grew past its cap since
// it was stated is still caught.
FileRead ReadAllFrom(int fd, qint64 sizeHint, qint64 maxBytes) {
    FileRead read;
    QByteArray bytes;
    bytes.resize(qsizetype(std::min(sizeHint, maxBytes) + 1));
    qint64 total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > maxBytes)
                return Refused(ReadStatus::TooLarge, TooLargeReason(maxBytes));
            bytes.resize(
                qsizetype(std::min<qint64>(std::max<qint64>(total * 2, 65536), maxBytes + 1)));
        }
        const ssize_t got = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Refused(ReadStatus::Failed, SystemReason(errno));
        }
        if (got == 0)
            break;
        total += got;
    }
    if (total > maxBytes)
        return Refused(ReadStatus::TooLarge, TooLargeReason(maxBytes));
    bytes.resize(qsizetype(total));
    read.status = ReadStatus::Ok;
    read.bytes = std::move(bytes);
    return read;
}

} // namespace

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FileRead ReadRegularFile(const QString &path, qint64 maxBytes) {
    struct stat st {};
    FileRead refusal;
    const int fd = OpenRegular(path, &st, &refusal);
    if (fd < 0)
        return refusal;
    FileRead read = st.st_size > maxBytes ? Refused(ReadStatus::TooLarge, TooLargeReason(maxBytes))
                                          : ReadAllFrom(fd, qint64(st.st_size), maxBytes);
    ::close(fd);
    return read;
}

FileRead ReadStream(std::FILE *stream, qint64 maxBytes) {
    FileRead read = ReadAllFrom(::fileno(stream), 65536, maxBytes);
    if (read.status == ReadStatus::TooLarge)
        read.error = u"the input is longer than %1 bytes"_s.arg(maxBytes);
    return read;
}

bool IsReadableRegularFile(const QString &path, QString *error) {
    struct stat st {};
    FileRead refusal;
    const int fd = OpenRegular(path, &st, &refusal);
    if (fd < 0) {
        if (error)
            *error = refusal.error;
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace velmora
