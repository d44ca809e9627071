#include "thumbs/capture/thumb_batch.h"

#include "thumbs/capture/thumbnail_maker.h"

#include <QCoreApplication>

namespace velmora {

BatchSummary RunThumbBatch(ThumbnailMaker &maker, const QStringList &pages, BatchMode mode,
                           const BatchReport &report, const StopCheck &stopRequested,
                           const BatchStart &starting) {
    BatchSummary summary;
    for (int i = 0; i < pages.size(); ++i) {
        if (starting)
            starting(i, int(pages.size()), pages.at(i));
        if (mode == BatchMode::Make && !maker.HasRoomForThumbnail()) {
            summary.outOfSpace = true;
            break;
        }
        BatchPageResult result;
        result.page = pages.at(i);
        result.ok = mode == BatchMode::Make ? maker.MakeThumbnail(result.page, &result.error)
                                            : maker.ClearThumbnail(result.page, &result.error);
        ++summary.done;
        summary.failed += result.ok ? 0 : 1;
        if (report)
            report(i, int(pages.size()), result);
        // Lets the stop request (a signal, a button) be seen between pages.
        QCoreApplication::processEvents();
        if (stopRequested && stopRequested() && i + 1 < pages.size()) {
            summary.stopped = true;
            break;
        }
    }
    return summary;
}

} // namespace velmora
