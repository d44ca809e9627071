#include "foundation/atomic_file.h"

namespace velmora {

bool AtomicFile::Failed(QString *error) {
    if (error)
        *error = file_.errorString();
    file_.cancelWriting();
    return false;
}

bool AtomicFile::Open(QString *error) {
    return file_.open(QIODevice::WriteOnly) || Failed(error);
}

bool AtomicFile::Write(QByteArrayView bytes, QString *error) {
    return file_.write(bytes.data(), bytes.size()) == bytes.size() || Failed(error);
}

bool AtomicFile::Commit(QString *error) {
    if (file_.commit())
        return true;
    if (error)
        *error = file_.errorString();
    return false;
}

bool WriteFileAtomically(const QString &path, QByteArrayView bytes, QString *error) {
    AtomicFile file(path);
    return file.Open(error) && file.Write(bytes, error) && file.Commit(error);
}

} // namespace velmora
