#pragma once
// Every file the program writes for the user (edited pages, prg.ini, list
// files, thumbnails, snapshots, copies) is written through here. The bytes go
// to a temporary file beside the target, which replaces the target in one
// step only when everything was written: a failure, or a kill in the middle,
// leaves the old file as it was.
//
// On failure *error, when given, receives the reason; callers name the file
// in their own messages.

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

namespace velmora {

// A file written piece by piece. Nothing is replaced before Commit; an
// object destroyed without a successful Commit removes its temporary file.
class AtomicFile {
public:
    explicit AtomicFile(const QString &path) : file_(path) {}
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    bool Open(QString *error = nullptr);
    bool Write(QByteArrayView bytes, QString *error = nullptr);
    bool Commit(QString *error = nullptr);

private:
    bool Failed(QString *error);

    QSaveFile file_;
};

// The whole content in one call.
bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error = nullptr);

} // namespace velmora
