#pragma once
// Every file the program writes for the user (edited pages, prg.ini, list
// files, thumbnails, snapshots, copies) is written through here. The bytes go
// to a temporary file beside the target, which replaces the target in one
// step only when everything was written: a failure, or a kill in the middle,
// leaves the old file as it was.
//
// Only what is meant is replaced:
// - a regular file keeps its mode and, where the process may, its owner and
//   group; a file without write permission is not replaced, not even by root;
// - a symbolic link to a regular file (a page or a list the user linked on
//   purpose) is written at the link's target, and the link stays;
// - a link to anything else (a device, FIFO, socket, folder, or nothing) is
//   neither written through nor replaced, and nor is a device, FIFO, socket
//   or folder in the target's place;
// - the program's own cache files (thumbnails) may ask for a link in their
//   place to be replaced by a regular file instead.
//
// On failure *error, when given, receives the reason (the system's own words,
// such as "No space left on device"); callers name the file in their messages.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <mutex>
#include <vector>

namespace velmora {

enum class LinkPolicy {
    WriteToTarget, // files of the user: write where a link to a regular file leads
    ReplaceLink,   // the program's own cache: a link in the file's place is replaced
};

// A file written piece by piece. Nothing is replaced before Commit; an
// object destroyed without a successful Commit removes its temporary file.
class AtomicFile {
public:
    explicit AtomicFile(const QString &path, LinkPolicy links = LinkPolicy::WriteToTarget)
        : path_(path), links_(links) {}
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    bool Open(QString *error = nullptr);
    bool Write(QByteArrayView bytes, QString *error = nullptr);
    bool Commit(QString *error = nullptr);

private:
    friend class AtomicBatch;
    bool Fail(QString *error, const QString &reason);
    void Discard();
    // For a batch: the content is complete but not yet on the disk.
    bool CloseUnsynced(QString *error);
    bool ReplaceTarget(QString *error);
    const QByteArray &Target() const { return target_; }
    const QByteArray &Temporary() const { return temporary_; }

    QString path_;
    LinkPolicy links_;
    QByteArray target_;    // the file that is replaced (a link's target, maybe)
    QByteArray temporary_; // beside it, until Commit renames it
    int fd_ = -1;
};

// Many files replaced together, as a replacement across a whole site does.
// Each file's new content goes to its temporary file at once (Stage, from
// any thread); Commit then makes all of them durable together, their waits
// for the disk overlapping instead of one wait per file in a row, then
// replaces each file in one step and syncs each folder once.
//
// Each file is still replaced whole or not at all: a kill at any moment
// leaves every file old or new, never partial, and a file that fails is left
// as it was, its temporary removed, while the others go on. Temporaries of
// files not replaced are removed when the batch goes.
class AtomicBatch {
public:
    using Ticket = size_t;
    static constexpr Ticket kNoTicket = Ticket(-1);

    explicit AtomicBatch(LinkPolicy links = LinkPolicy::WriteToTarget) : links_(links) {}
    AtomicBatch(const AtomicBatch &) = delete;
    AtomicBatch &operator=(const AtomicBatch &) = delete;

    // Writes the content beside the file; nothing is replaced yet. A file
    // staged "after" another is replaced only once that one was (a backup
    // before its page). Error() tells at once whether staging failed.
    Ticket Stage(const QString &path, QByteArrayView bytes, Ticket after = kNoTicket);
    // Makes every staged file durable, then replaces them, several at once;
    // a file staged "after" another waits for it. Call once, after every
    // Stage returned.
    void Commit();

    bool Replaced(Ticket ticket) const;
    // Why the file was not (or will not be) replaced; empty when it was, or
    // is still waiting for Commit.
    QString Error(Ticket ticket) const;

private:
    struct Entry {
        std::unique_ptr<AtomicFile> file; // null once staging failed
        Ticket after = kNoTicket;
        QString error;
        bool replaced = false;
    };
    // Files replaced at once; each replacement mostly waits for the disk.
    static constexpr size_t kReplacingThreads = 8;
    void SyncEachFile();
    void ReplaceInOrder();
    void ReplaceTogether(const std::vector<size_t> &round);
    void SyncFolders() const;

    const LinkPolicy links_;
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

// The whole content in one call.
bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr,
                         LinkPolicy links = LinkPolicy::WriteToTarget);

} // namespace velmora
