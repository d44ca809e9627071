#include "sitewalk/page_collector.h"

#include "foundation/file_masks.h"
#include "sitewalk/file_search.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace velmora {
namespace {

// Paths compared folder by folder, each name without regard to letter case:
// sorting by it puts every folder's entries in name order and a subfolder's
// pages where the subfolder stands, as a walk through sorted listings would.
bool ComesBefore(const QString &a, const QString &b) {
    const QStringList as = a.split(u'/');
    const QStringList bs = b.split(u'/');
    for (qsizetype i = 0; i < std::min(as.size(), bs.size()); ++i) {
        const int order = as[i].compare(bs[i], Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
    }
    return as.size() < bs.size();
}

void CollectFolder(const QString &folder, const FileMask &mask, QStringList &pages) {
    const QDir dir(folder);
    for (const QFileInfo &entry :
         dir.entryInfoList(QDir::Files | QDir::System, QDir::Name | QDir::IgnoreCase))
        if (entry.isFile() && mask.Matches(entry.fileName()))
            pages << entry.absoluteFilePath();
}

void CollectTree(const QString &folder, const FileMask &mask, const QString &thumbDir,
                 QStringList &pages) {
    FileSearchOptions options;
    options.nameTest = [&mask](const QString &name) { return mask.Matches(name); };
    options.regularFilesOnly = true;
    options.thumbDir = thumbDir;
    options.entryMode = false;
    QStringList found;
    SearchFilesRecursive(folder, options, found);
    std::stable_sort(found.begin(), found.end(), ComesBefore);
    pages << found;
}

} // namespace

CollectedPages CollectPages(const QStringList &paths, const QString &mask, bool recursive,
                            const QString &thumbDir) {
    CollectedPages result;
    const FileMask fileMask(mask);
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isFile())
            result.pages << info.absoluteFilePath();
        else if (info.isDir() && recursive)
            CollectTree(info.absoluteFilePath(), fileMask, thumbDir, result.pages);
        else if (info.isDir())
            CollectFolder(info.absoluteFilePath(), fileMask, result.pages);
        else
            result.problems << path;
    }
    return result;
}

} // namespace velmora
