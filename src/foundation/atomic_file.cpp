#include "foundation/atomic_file.h"

#include "foundation/file_reader.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

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
    return ReplaceTarget(error);
}

bool AtomicFile::CloseUnsynced(QString *error) {
    if (fd_ < 0)
        return Fail(error, u"the file is not open"_s);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return Fail(error, SystemReason(errno));
    return true;
}

bool AtomicFile::ReplaceTarget(QString *error) {
    if (temporary_.isEmpty())
        return Fail(error, u"the file is not open"_s);
    if (::rename(temporary_.constData(), target_.constData()) != 0)
        return Fail(error, SystemReason(errno));
    temporary_.clear();
    return true;
}

AtomicBatch::Ticket AtomicBatch::Stage(const QString &path, QByteArrayView bytes, Ticket after) {
    // The slow part, writing the temporary file, runs outside the lock so
    // that several threads stage at once.
    Entry entry;
    entry.after = after;
    entry.file = std::make_unique<AtomicFile>(path, links_);
    if (!entry.file->Open(&entry.error) || !entry.file->Write(bytes, &entry.error) ||
        !entry.file->CloseUnsynced(&entry.error))
        entry.file.reset();
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
    return entries_.size() - 1;
}

void AtomicBatch::Commit() {
    std::lock_guard lock(mutex_);
    SyncEachFile();
    ReplaceInOrder();
    SyncFolders();
}

// Every temporary is on the disk before any name points at it, or a crash
// could leave an empty file where the old one was. They are synced several
// at once, so that their waits for the disk overlap; one sync of the whole
// file system was tried and was slower on a busy disk, since it also writes
// everything else waiting there. A file that cannot be synced is left as it
// was.
void AtomicBatch::SyncEachFile() {
    std::atomic<size_t> next = 0;
    const auto work = [&] {
        for (size_t k = next++; k < entries_.size(); k = next++) {
            Entry &entry = entries_[k];
            if (!entry.file)
                continue;
            const int fd =
                ::open(entry.file->Temporary().constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            const int failure = fd < 0 ? errno : ::fdatasync(fd) != 0 ? errno : 0;
            if (fd >= 0)
                ::close(fd);
            if (failure != 0) {
                entry.error = SystemReason(failure);
                entry.file.reset(); // removes the temporary
            }
        }
    };
    std::vector<std::jthread> helpers;
    for (size_t t = 1; t < std::min(kReplacingThreads, entries_.size() / 8); ++t)
        helpers.emplace_back(work);
    work();
}

// Replacing a file waits on the file system (the old file's space is
// freed), so several files are replaced at once. A file that must wait for
// another (a page for its backup) goes in a later round than that one.
void AtomicBatch::ReplaceInOrder() {
    std::vector<bool> settled(entries_.size(), false);
    std::vector<size_t> round;
    do {
        round.clear();
        for (size_t k = 0; k < entries_.size(); ++k) {
            Entry &entry = entries_[k];
            if (settled[k] || (entry.after != kNoTicket && !settled[entry.after]))
                continue;
            if (entry.file && entry.after != kNoTicket && !entries_[entry.after].replaced) {
                entry.error = u"what had to be written before it was not"_s;
                entry.file.reset();
            }
            if (entry.file)
                round.push_back(k);
            else
                settled[k] = true; // failed before: nothing more to do
        }
        ReplaceTogether(round);
        for (const size_t k : round)
            settled[k] = true;
    } while (!round.empty());
}

void AtomicBatch::ReplaceTogether(const std::vector<size_t> &round) {
    std::atomic<size_t> next = 0;
    const auto work = [&] {
        for (size_t k = next++; k < round.size(); k = next++) {
            Entry &entry = entries_[round[k]];
            entry.replaced = entry.file->ReplaceTarget(&entry.error);
        }
    };
    const size_t threads = std::min(kReplacingThreads, round.size() / 8);
    std::vector<std::jthread> helpers;
    for (size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
} // the helpers are joined here

// The new names are made durable too, once per folder.
void AtomicBatch::SyncFolders() const {
    std::set<QByteArray> folders;
    for (const Entry &entry : entries_)
        if (entry.replaced)
            folders.insert(FolderOf(entry.file->Target()));
    for (const QByteArray &folder : folders) {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue; // the files are replaced; only their names' durability is at stake
        ::fsync(fd);
        ::close(fd);
    }
}

bool AtomicBatch::Replaced(Ticket ticket) const {
    std::lock_guard lock(mutex_);
    return ticket < entries_.size() && entries_[ticket].replaced;
}

QString AtomicBatch::Error(Ticket ticket) const {
    std::lock_guard lock(mutex_);
    if (ticket >= entries_.size())
        return u"it was not written"_s;
    return entries_[ticket].error;
}

bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error,
                         LinkPolicy links) {
    AtomicFile file(path, links);
    return file.Open(error) && file.Write(bytes, error) && file.Commit(error);
}

} // namespace velmora
