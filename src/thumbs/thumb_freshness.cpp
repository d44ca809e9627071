#include "thumbs/thumb_freshness.h"

#include "thumbs/thumbnail_names.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace velmora {

ThumbFreshness ThumbFreshnessOf(qint64 pageStamp, qint64 thumbStamp) {
    if (pageStamp == 0)
        return ThumbFreshness::PageGone;
    if (thumbStamp == 0)
        return ThumbFreshness::Missing;
    return thumbStamp < pageStamp ? ThumbFreshness::Outdated : ThumbFreshness::UpToDate;
}

bool NeedsThumbnail(ThumbFreshness state) {
    return state == ThumbFreshness::Missing || state == ThumbFreshness::Outdated;
}

qint64 RegularFileStamp(const QString &path) {
    // A bare stat rather than QFileInfo: a site-wide check makes two of
    // these per page, and QFileInfo costs several times more per file.
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return 0;
    const qint64 stamp = qint64(st.st_mtim.tv_sec) * 1000 + qint64(st.st_mtim.tv_nsec) / 1'000'000;
    // A file dated exactly at the epoch still exists: 0 means "no file".
    return stamp == 0 ? 1 : stamp;
}

namespace {

// The thumbnail path of an absolute page path, without asking the file
// system: the folder part is everything before the last '/'.
QString ThumbOfAbsolutePage(const QString &thumbDir, const QString &pagePath) {
    const qsizetype slash = pagePath.lastIndexOf(u'/');
    return ThumbFileName(thumbDir, slash <= 0 ? QStringLiteral("/") : pagePath.left(slash),
                         pagePath.mid(slash + 1));
}

} // namespace

ThumbFreshness ThumbFreshnessOfPage(const QString &thumbDir, const QString &pagePath) {
    // Named as the thumbnail store names it: absolute and clean.
    const QString page = QDir::cleanPath(QDir().absoluteFilePath(pagePath));
    const qint64 pageStamp = RegularFileStamp(page);
    if (pageStamp == 0)
        return ThumbFreshness::PageGone;
    return ThumbFreshnessOf(pageStamp, RegularFileStamp(ThumbOfAbsolutePage(thumbDir, page)));
}

ChangedPages PagesNeedingThumbnails(const QString &thumbDir, const QStringList &pages) {
    ChangedPages changed;
    for (const QString &page : pages) {
        if (NeedsThumbnail(ThumbFreshnessOfPage(thumbDir, page)))
            changed.pages << page;
        else
            ++changed.skipped;
    }
    return changed;
}

} // namespace velmora
