#pragma once
// Whether a page's thumbnail still shows the page. A thumbnail is outdated
// when its file is older than the page's: the page was saved after the
// thumbnail was made. Times are compared to the millisecond; equal times
// count as up to date, so a file system that keeps whole seconds does not
// make every thumbnail of the same second look outdated.

#include <QString>
#include <QStringList>

namespace velmora {

enum class ThumbFreshness {
    UpToDate, // the thumbnail is as new as the page, or newer
    Missing,  // the page has no thumbnail file
    Outdated, // the thumbnail is older than the page
    PageGone, // there is no page (any more): nothing to make
};

// From the modification times in milliseconds since the epoch, 0 for a file
// that is not there.
ThumbFreshness ThumbFreshnessOf(qint64 pageStamp, qint64 thumbStamp);

// True for the states a thumbnail run makes a thumbnail for.
bool NeedsThumbnail(ThumbFreshness state);

// The modification time of a regular file (links followed) in milliseconds;
// 0 for anything else. One stat call.
qint64 RegularFileStamp(const QString &path);

// The state of the page's thumbnail in the thumbnail folder thumbDir (with
// its trailing '/'); two stat calls.
ThumbFreshness ThumbFreshnessOfPage(const QString &thumbDir, const QString &pagePath);

// The pages whose thumbnail is missing or outdated, in their order, and how
// many were passed over (up to date, or the page is gone).
struct ChangedPages {
    QStringList pages;
    int skipped = 0;
};
ChangedPages PagesNeedingThumbnails(const QString &thumbDir, const QStringList &pages);

} // namespace velmora
