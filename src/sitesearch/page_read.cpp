#include "sitesearch/page_read.h"

#include "foundation/file_reader.h"

#include <QFile>
#include <QHashFunctions>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

// Closes the file on every path out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

PageRead Refused(PageReadOutcome outcome, QString error, PageStamp stamp = {}) {
    return {outcome, stamp, std::move(error)};
}

// Reads exactly count bytes at offset into out; false on an error or a file
// that turned out shorter than its size said.
bool ReadFully(int fd, char *out, qint64 offset, qint64 count, int *error) {
    while (count > 0) {
        const ssize_t got = ::pread(fd, out, size_t(count), off_t(offset));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        if (got == 0) {
            *error = EIO;
            return false;
        }
        out += got;
        offset += got;
        count -= got;
    }
    return true;
}

// Reads the rest of a page after its first bytes, a piece at a time: from a
// slow disk one read of 64 MB could take seconds.
constexpr qint64 kReadPiece = qint64(1) << 20;

bool ReadInPieces(int fd, char *out, qint64 offset, qint64 count, int *error,
                  const std::function<bool()> &stop, bool *stopped) {
    while (count > 0) {
        if (stop && stop()) {
            *stopped = true;
            return false;
        }
        const qint64 piece = std::min(count, kReadPiece);
        if (!ReadFully(fd, out, offset, piece, error))
            return false;
        out += piece;
        offset += piece;
        count -= piece;
    }
    return true;
}

} // namespace

bool StartsWithWideMark(QByteArrayView bytes) {
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
           bytes.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4));
}

quint64 PageFingerprint(QByteArrayView bytes) {
    return quint64(qHashBits(bytes.data(), size_t(bytes.size()), 0x5eed));
}

PageRead ReadPageForSearch(const QString &path, QByteArray &bytes,
                           const std::function<bool()> &stop, PageLinks links) {
    // Emptied, but its memory kept for the next page: fresh memory for every
    // page costs more than reading it.
    bytes.resize(0);
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking: opening a FIFO for reading must not wait for a writer.
    const int noFollow = links == PageLinks::DoNotFollow ? O_NOFOLLOW : 0;
    const FileDescriptor file(
        ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | noFollow));
    if (file.get() < 0) {
        // Without following, a link as the last part of the name is ELOOP.
        if (noFollow && errno == ELOOP)
            return Refused(PageReadOutcome::Link, u"it is a symbolic link"_s);
        return Refused(PageReadOutcome::Unreadable, SystemReason(errno));
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0)
        return Refused(PageReadOutcome::Unreadable, SystemReason(errno));
    if (S_ISDIR(st.st_mode))
        return Refused(PageReadOutcome::Folder, u"it is a folder"_s);
    if (!S_ISREG(st.st_mode))
        return Refused(PageReadOutcome::NotRegular, u"it is not a regular file"_s);
    const PageStamp stamp{qint64(st.st_size),
                          qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    if (stamp.size > kMaxSearchedFileBytes)
        return Refused(PageReadOutcome::TooLarge, u"it is larger than 64 MB"_s, stamp);

    bytes.resize(stamp.size);
    int error = 0;
    const qint64 probe = std::min(stamp.size, kBinaryProbeBytes);
    if (!ReadFully(file.get(), bytes.data(), 0, probe, &error)) {
        bytes.resize(0);
        return Refused(PageReadOutcome::Unreadable, SystemReason(error), stamp);
    }
    const QByteArrayView head(bytes.constData(), probe);
    if (head.contains('\0') && !StartsWithWideMark(head)) {
        bytes.resize(0);
        return Refused(PageReadOutcome::Binary, u"it is not a text file"_s, stamp);
    }
    bool stopped = false;
    if (!ReadInPieces(file.get(), bytes.data() + probe, probe, stamp.size - probe, &error, stop,
                      &stopped)) {
        bytes.resize(0);
        if (stopped)
            return Refused(PageReadOutcome::Stopped, u"the search was stopped"_s, stamp);
        return Refused(PageReadOutcome::Unreadable, SystemReason(error), stamp);
    }
    return {PageReadOutcome::Read, stamp, {}};
}

} // namespace velmora
