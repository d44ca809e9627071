#include "sitecheck/disk_lookup.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace velmora {

namespace {

enum class Kind { None, File, Folder };

Kind KindOf(const QByteArray &path) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return Kind::None;
    return S_ISDIR(st.st_mode) ? Kind::Folder : Kind::File;
}

bool SameIgnoringCase(const QByteArray &a, const QByteArray &b) {
    return QFile::decodeName(a).compare(QFile::decodeName(b), Qt::CaseInsensitive) == 0;
}

} // namespace

const TargetLookup &DiskLookup::Look(const QByteArray &path) {
    auto found = answers_.find(path);
    if (found == answers_.end())
        found = answers_.insert(path, LookUncached(path));
    return *found;
}

TargetLookup DiskLookup::LookUncached(const QByteArray &path) {
    switch (KindOf(path)) {
    case Kind::File:
        return {TargetState::File, path};
    case Kind::Folder:
        return WithIndexPage(path);
    case Kind::None:
        break;
    }
    const QByteArray onDisk = FindInOtherCase(path);
    if (onDisk.isEmpty())
        return {TargetState::Missing, {}};
    return {TargetState::WrongCase, onDisk};
}

TargetLookup DiskLookup::WithIndexPage(const QByteArray &folder) {
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    for (const char *name : kIndexPages) {
        const QByteArray page = prefix + name;
        if (KindOf(page) == Kind::File)
            return {TargetState::Folder, page};
    }
    return {TargetState::FolderWithoutIndex, folder};
}

QByteArray DiskLookup::FindInOtherCase(const QByteArray &path) {
    if (!path.startsWith(root_))
        return {};
    QByteArray onDisk = root_.chopped(1);
    const QList<QByteArray> names = path.mid(root_.size()).split('/');
    bool changed = false;
    for (const QByteArray &name : names) {
        if (name.isEmpty())
            continue;
        const QByteArray spelt = onDisk + '/' + name;
        if (KindOf(spelt) != Kind::None) {
            onDisk = spelt;
            continue;
        }
        QByteArray match;
        for (const QByteArray &candidate : NamesIn(onDisk + '/')) {
            if (SameIgnoringCase(candidate, name) &&
                KindOf(onDisk + '/' + candidate) != Kind::None) {
                match = candidate;
                break;
            }
        }
        if (match.isEmpty())
            return {};
        onDisk += '/' + match;
        changed = true;
    }
    return changed ? onDisk : QByteArray();
}

const QList<QByteArray> &DiskLookup::NamesIn(const QByteArray &folder) {
    auto found = listings_.find(folder);
    if (found != listings_.end())
        return *found;
    QList<QByteArray> names;
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return *listings_.insert(folder, names);
}

} // namespace velmora
