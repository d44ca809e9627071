#include "foundation/file_utils.h"

#include "foundation/atomic_file.h"
#include "foundation/file_reader.h"

#include "foundation/prompts.h"
#include "foundation/text_utils.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace velmora {

QString WithBackslash(const QString &path) {
    return TrimCharRight(path, u'/') + u'/';
}

QString FileNameNoExt(const QString &path) {
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool ValidFileName(const QString &name, Prompts &prompts) {
    static const QStringList refused{u"\\"_s, u"/"_s, u".."_s, u"?"_s, u"*"_s, u":"_s};
    for (const QString &r : refused) {
        if (name.contains(r)) {
            prompts.BeepAndShowError(u"Invalid Filename: "_s + name);
            return false;
        }
    }
    return true;
}

static QString ExtensionOf(const QString &name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

QString MakeFileName(const QString &folder, const QString &name, QString extension,
                     Prompts &prompts) {
    extension = TrimCharLeft(extension, u'*');
    QString cleaned = TrimSpaces(name);
    cleaned = TrimCharLeft(TrimCharRight(cleaned, u'.'), u'.');
    if (!SameTextAscii(ExtensionOf(cleaned), extension))
        cleaned += extension;
    if (!ValidFileName(cleaned, prompts))
        return {};
    return WithBackslash(folder) + cleaned;
}

static bool HasWildcard(const QString &s) {
    return s.contains(u'*') || s.contains(u'?');
}

bool FileFound(const QString &pathOrPattern, QFileInfo *found) {
    const qsizetype slash = pathOrPattern.lastIndexOf(u'/');
    const QString last = pathOrPattern.mid(slash + 1);
    QFileInfo hit;
    if (HasWildcard(last)) {
        const QDir dir(slash < 0 ? u"."_s : pathOrPattern.left(slash + 1));
        const QFileInfoList entries = dir.entryInfoList(
            {last}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (entries.isEmpty())
            return false;
        hit = entries.first();
    } else {
        hit = QFileInfo(pathOrPattern);
        if (!hit.exists() && !hit.isSymLink())
            return false;
    }
    if (found)
        *found = hit;
    return true;
}

static bool CopyModificationTime(const QString &source, const QString &target) {
    struct stat st {};
    if (::stat(QFile::encodeName(source).constData(), &st) != 0)
        return false;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    return ::utimensat(AT_FDCWD, QFile::encodeName(target).constData(), times, 0) == 0;
}

bool CopyFileKeepDate(const QString &source, const QString &target) {
    // A FIFO or a device would never end, or never begin.
    if (!IsReadableRegularFile(source))
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    AtomicFile out(target);
    if (!out.Open())
        return false;
    constexpr qint64 kBlock = 16384;
    QByteArray buffer(kBlock, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), kBlock);
        if (got < 0)
            return false; // the partial copy is discarded
        if (got == 0)
            break;
        if (!out.Write(QByteArrayView(buffer.constData(), got)))
            return false;
    }
    if (!out.Commit())
        return false;
    CopyModificationTime(source, target);
    return true;
}

void DeleteFileFromDisk(const QString &path, bool &doRecycleBin) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    doRecycleBin = false;
    QFile::remove(path);
}

int IndexOfFileName(const QStringList &items, const QString &name) {
    const QString wanted = name.toUpper();
    for (int i = 0; i < items.size(); ++i)
        if (items[i].toUpper() == wanted)
            return i;
    return -1;
}

// The nearest existing folder at or above path: a thumbnail folder that does
// not exist yet lies on the volume of its parent.
static QString ExistingAncestor(QString path) {
    while (!path.isEmpty() && !QFileInfo::exists(path)) {
        const qsizetype slash = TrimCharRight(path, u'/').lastIndexOf(u'/');
        if (slash < 0)
            return {};
        path = path.left(slash + 1);
    }
    return path;
}

std::optional<qint64> FreeSpaceOfVolume(const QString &path) {
    const QString existing = ExistingAncestor(path);
    if (existing.isEmpty())
        return std::nullopt;
    const QStorageInfo storage(existing);
    if (!storage.isValid() || !storage.isReady())
        return std::nullopt;
    return storage.bytesAvailable();
}

QString VolumeRootOf(const QString &path) {
    const QString existing = ExistingAncestor(path);
    const QStorageInfo storage(existing.isEmpty() ? path : existing);
    return storage.isValid() ? storage.rootPath() : path;
}

bool CheckDiskSpace(const QString &path, qint64 minimumKb, Prompts &prompts,
                    const FreeSpaceQuery &freeSpace) {
    const std::optional<qint64> free = freeSpace(path);
    if (!free || minimumKb * 1000 <= *free)
        return true;
    prompts.ShowInfo(u"Diskspace on drive \""_s + VolumeRootOf(path) + u"\" < "_s +
                     QString::number(minimumKb) + u"Kb!"_s + kMessageBreak + u"Process stopped."_s);
    return false;
}

qint64 FileStamp(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    return info.lastModified().toMSecsSinceEpoch();
}

} // namespace velmora
