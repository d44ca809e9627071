#include "page_collector.h"

#include "program_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

bool MatchesWildcard(const QString &fileName, const QString &pattern) {
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(fileName).hasMatch();
}

bool MatchesPattern(const QString &fileName, QString pattern) {
    pattern = pattern.trimmed();
    if (pattern.isEmpty())
        return false;
    if (MatchesWildcard(fileName, pattern))
        return true;
    // "*.htm" also takes "index.html": a pattern extension of three plain
    // characters stands for every extension that begins with them.
    const qsizetype patternDot = pattern.lastIndexOf(u'.');
    const QString ext = patternDot >= 0 ? pattern.mid(patternDot + 1) : QString();
    const qsizetype nameDot = fileName.lastIndexOf(u'.');
    if (ext.size() != 3 || ext.contains(u'*') || ext.contains(u'?') || nameDot < 0)
        return false;
    const QString nameExt = fileName.mid(nameDot + 1);
    return nameExt.size() > 3 && nameExt.startsWith(ext, Qt::CaseInsensitive) &&
           MatchesWildcard(fileName.left(nameDot + 4), pattern);
}

struct Search {
    QString mask;
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
        if (entry.isFile() && HasAllowedExtension(entry.fileName(), search.mask))
            search.pages->append(entry.absoluteFilePath());
    }
}

} // namespace

QString FirstFilterMask(const QString &filterDefinition) {
    const QStringList fields = filterDefinition.split(u'|');
    const QString mask = fields.size() >= 2 ? fields.at(1).trimmed() : QString();
    return mask.isEmpty() ? u"*.*"_s : mask;
}

bool MatchesFileMask(const QString &fileName, const QString &mask) {
    for (const QString &pattern : mask.split(u';'))
        if (MatchesPattern(fileName, pattern))
            return true;
    return false;
}

bool HasAllowedExtension(const QString &fileName, const QString &mask) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString ext = fileName.mid(dot).toUpper().left(4);
    if (ext == u"."_s)
        return false;
    QString reduced = mask.toUpper();
    reduced.remove(u'*');
    return reduced.contains(ext);
}

CollectedPages CollectPages(const QStringList &paths, const QString &mask, bool recursive,
                            const QString &thumbDir) {
    CollectedPages result;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isFile()) {
            result.pages << info.absoluteFilePath();
        } else if (info.isDir()) {
            if (recursive) {
                Search search{mask, thumbDir, {}, &result.pages};
                SearchRecursive(search, info.absoluteFilePath());
                continue;
            }
            for (const QFileInfo &entry : Listing(info.absoluteFilePath()))
                if (entry.isFile() && !entry.isHidden() && MatchesFileMask(entry.fileName(), mask))
                    result.pages << entry.absoluteFilePath();
        } else {
            result.problems << path;
        }
    }
    return result;
}

} // namespace velmora
