#pragma once
// A run of the thumbnail maker over a list of pages, one after the other, as
// the batch command drives it: free space is checked before every thumbnail,
// each page's result is reported, and a stop request ends the run after the
// page in hand.

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

class ThumbnailMaker;

enum class BatchMode { Make, Clear };

struct BatchPageResult {
    QString page;
    bool ok = false;
    QString error;
    // What a worker handed back with its answer beside the result: the file
    // of a captured picture, for instance. Empty for thumbnails.
    QString output;
};

struct BatchSummary {
    int done = 0; // pages handled (ok or failed)
    int failed = 0;
    bool stopped = false;    // a stop request ended the run early
    bool outOfSpace = false; // the thumbnail volume ran short
};

using BatchReport = std::function<void(int index, int count, const BatchPageResult &)>;
using StopCheck = std::function<bool()>;
// Told before each page, ahead of the free-space check, so that a progress
// window names the page the run is at even when that check ends it.
using BatchStart = std::function<void(int index, int count, const QString &page)>;

BatchSummary RunThumbBatch(ThumbnailMaker &maker, const QStringList &pages, BatchMode mode,
                           const BatchReport &report, const StopCheck &stopRequested,
                           const BatchStart &starting = {});

} // namespace velmora
