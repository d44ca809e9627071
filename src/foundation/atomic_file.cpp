#include "foundation/atomic_file.h"

#include "foundation/file_reader.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

// The permission bits a new file gets: 0666 less the process's umask, which
// can only be read by setting it.
mode_t NewFileMode() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return 0666 & ~mask;
}

QByteArray FolderOf(const QByteArray &path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray NameOf(const QByteArray &path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

bool WriteAll(int fd, const char *data, qsizetype size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size_t(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
}

} // namespace

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
}

bool AtomicFile::Fail(QString *error, const QString &reason) {
    if (error)
        *error = reason;
    Discard();
    return false;
}

bool AtomicFile::Open(QString *error) {
    Discard();
    const QByteArray path = QFile::encodeName(path_);
    struct stat st {};
    bool exists = true;
    target_ = path;
    if (::lstat(path.constData(), &st) != 0) {
        if (errno != ENOENT)
            return Fail(error, SystemReason(errno));
        exists = false;
    } else if (S_ISLNK(st.st_mode) && links_ == LinkPolicy::ReplaceLink) {
        exists = false; // the link itself gives way to a regular file
    } else if (S_ISLNK(st.st_mode)) {
        if (::stat(path.constData(), &st) != 0)
            return Fail(error, u"it is a link to something that does not exist"_s);
        if (!S_ISREG(st.st_mode))
            return Fail(error, u"it is a link to something that is not a regular file"_s);
        char resolved[PATH_MAX];
        if (!::realpath(path.constData(), resolved))
            return Fail(error, SystemReason(errno));
        target_ = resolved;
    }
    if (exists && !S_ISREG(st.st_mode))
        return Fail(error,
                    S_ISDIR(st.st_mode) ? u"it is a folder"_s : u"it is not a regular file"_s);
    // Root may write anything; a file that nobody may write is still kept.
    if (exists && ((st.st_mode & 0222) == 0 || ::access(target_.constData(), W_OK) != 0))
        return Fail(error, SystemReason(EACCES));

    QByteArray pattern = FolderOf(target_) + "/." + NameOf(target_) + ".XXXXXX";
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0)
        return Fail(error, SystemReason(errno));
    temporary_ = pattern;
    if (exists) {
        // The owner first: changing it may clear the set-id bits of the mode.
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
            // Only root may give a file away; others keep it as their own.
        }
        if (::fchmod(fd_, st.st_mode & 07777) != 0)
            return Fail(error, SystemReason(errno));
    } else if (::fchmod(fd_, NewFileMode()) != 0) {
        return Fail(error, SystemReason(errno));
    }
    return true;
}

bool AtomicFile::Write(QByteArrayView bytes, QString *error) {
    if (fd_ < 0)
        return Fail(error, u"the file is not open"_s);
    if (!WriteAll(fd_, bytes.data(), bytes.size()))
        return Fail(error, SystemReason(errno));
    return true;
}

bool AtomicFile::Commit(QString *error) {
    if (fd_ < 0)
        return Fail(error, u"the file is not open"_s);
    // The data must be on the disk before the new name points at it, or a
    // crash could leave an empty file where the old one was.
    if (::fdatasync(fd_) != 0)
        return Fail(error, SystemReason(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return Fail(error, SystemReason(errno));
    if (::rename(temporary_.constData(), target_.constData()) != 0)
        return Fail(error, SystemReason(errno));
    temporary_.clear();
    return true;
}

bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error,
                         LinkPolicy links) {
    AtomicFile file(path, links);
    return file.Open(error) && file.Write(bytes, error) && file.Commit(error);
}

} // namespace velmora
