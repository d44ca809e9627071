#pragma once
// Thumbnails of several pages at once, for velmora-thumbs and for Make Thumbs
// in the window. The renderer of one page keeps
// about one core busy, and the engine's work in the process that drives it
// another, so one engine leaves cores idle. Worker processes of the tool
// itself, each with an engine and a capture window of its own, take one page
// at a time from the main process; it reports every result in page order, as
// a run on one engine would.
//
// Between the main process and a worker: the main process writes a page's
// path ended by a NUL byte; the worker answers with one line, "ok", "failed "
// and the percent-encoded reason, or "nospace" when the thumbnail volume ran
// short (the page was not made and the worker ends). A worker ends when its
// input ends.

#include "render/display_settings.h"
#include "thumbs/capture/thumb_batch.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

class ThumbnailMaker;

// Pages made at once unless asked otherwise: one per core, at most four.
int DefaultThumbJobs();

// Makes the thumbnails of pages with `jobs` workers, each started as
// `program workerArguments`. Reports, stop requests and the summary are those
// of RunThumbBatch: a stop request ends the run once the pages in hand are
// made, and a worker short of space ends it as the space check does.
// `starting` is told of each page as it is handed to a worker, in page order.
// Events are processed while the workers render, so a progress window stays
// live; nothing here touches a widget.
BatchSummary RunThumbWorkers(const QString &program, const QStringList &workerArguments, int jobs,
                             const QStringList &pages, const BatchReport &report,
                             const StopCheck &stopRequested, const BatchStart &starting = {});

// The display settings of the window's internal browser as one worker
// argument and back, so a worker's captures look like the window's own.
// Nothing comes back from text that is not such an argument.
QString DisplayArgument(const DisplaySettings &display);
std::optional<DisplaySettings> DisplayFromArgument(const QString &text);

// The worker's side: answers the pages read from standard input until it
// ends. Interrupts are left to the main process.
int ServeThumbWorker(ThumbnailMaker &maker);

} // namespace velmora
