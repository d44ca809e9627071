#include "thumbs/capture/page_collector.h"

#include "foundation/file_masks.h"
#include "foundation/program_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

struct Search {
    const FileMask &mask;
    QString thumbDir;
    QSet<QString> visited;
    QStringList *pages;
};

QFileInfoList Listing(const QString &folder) {
    QDir dir(folder);
    return dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                             QDir::Name | QDir::IgnoreCase);
}

void SearchRecursive(Search &search, const QString &folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || search.visited.contains(canonical))
        return;
    search.visited.insert(canonical);
    const bool mayDescend = !IsInThumbFolder(folder, search.thumbDir);
    for (const QFileInfo &entry : Listing(folder)) {
        if (entry.isDir()) {
            if (mayDescend && !entry.fileName().toUpper().contains(u"_VTI_CNF"_s))
                SearchRecursive(search, entry.absoluteFilePath());
            continue;
        }
        if (entry.isFile() && search.mask.Matches(entry.fileName()))
            search.pages->append(entry.absoluteFilePath());
    }
}

} // namespace

QString FirstFilterMask(const QString &filterDefinition) {
    const QStringList fields = filterDefinition.split(u'|');
    const QString mask = fields.size() >= 2 ? fields.at(1).trimmed() : QString();
    return mask.isEmpty() ? u"*.*"_s : mask;
}

CollectedPages CollectPages(const QStringList &paths, const QString &mask, bool recursive,
                            const QString &thumbDir) {
    CollectedPages result;
    const FileMask fileMask(mask);
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isFile()) {
            result.pages << info.absoluteFilePath();
        } else if (info.isDir()) {
            if (recursive) {
                Search search{fileMask, thumbDir, {}, &result.pages};
                SearchRecursive(search, info.absoluteFilePath());
                continue;
            }
            for (const QFileInfo &entry : Listing(info.absoluteFilePath()))
                if (entry.isFile() && fileMask.Matches(entry.fileName()))
                    result.pages << entry.absoluteFilePath();
        } else {
            result.problems << path;
        }
    }
    return result;
}

} // namespace velmora
