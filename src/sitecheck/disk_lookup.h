#pragma once
// What a resolved link finds on the disk: a file, a folder with its index
// page, a folder without one, a file spelt in another letter case (found on a
// disk that ignores case, missing on a Linux server), or nothing. Answers are
// kept, so a target that many pages link to is looked up once.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace velmora {

enum class TargetState { File, Folder, FolderWithoutIndex, WrongCase, Missing };

struct TargetLookup {
    TargetState state = TargetState::Missing;
    // File: the file; Folder: its index page; WrongCase: the path as it is
    // spelt on the disk.
    QByteArray file;
};

// The index pages a link to a folder finds, in the order they are looked for.
inline const char *const kIndexPages[] = {"index.html", "index.htm", "default.htm", "index.shtml"};

class DiskLookup {
public:
    // root: the site's folder, with its trailing '/'; names below it are
    // looked up in other letter cases when not found as spelt.
    explicit DiskLookup(const QByteArray &root) : root_(root) {}

    const TargetLookup &Look(const QByteArray &path);

private:
    TargetLookup LookUncached(const QByteArray &path);
    TargetLookup WithIndexPage(const QByteArray &folder);
    // The path with each name below the root that does not exist as spelt
    // replaced by one that exists in another letter case; empty when some
    // name exists in no case.
    QByteArray FindInOtherCase(const QByteArray &path);
    const QList<QByteArray> &NamesIn(const QByteArray &folder);

    QByteArray root_;
    QHash<QByteArray, TargetLookup> answers_;
    QHash<QByteArray, QList<QByteArray>> listings_;
};

} // namespace velmora
