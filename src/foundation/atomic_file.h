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
    bool Fail(QString *error, const QString &reason);
    void Discard();

    QString path_;
    LinkPolicy links_;
    QByteArray target_;    // the file that is replaced (a link's target, maybe)
    QByteArray temporary_; // beside it, until Commit renames it
    int fd_ = -1;
};

// The whole content in one call.
bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr,
                         LinkPolicy links = LinkPolicy::WriteToTarget);

} // namespace velmora
