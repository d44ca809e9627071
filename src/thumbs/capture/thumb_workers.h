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
// input ends. A worker that captures pictures for the snapshot export writes
// each into a file of the folder it is given and answers "ok " and the
// percent-encoded path of that file; the main process reads and removes it.

#include "pictures/capture_request.h"
#include "pictures/picture.h"
#include "render/display_settings.h"
#include "thumbs/capture/thumb_batch.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velmora {

class PageCapture;
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

// Told of each captured page in page order: the picture, or why none came.
using CaptureReport =
    std::function<void(int index, bool ok, const Picture &picture, const QString &error)>;

// Captures pages as request says with `jobs` workers, each started as
// `program workerArguments` and told the request and a private folder for
// the pictures, which is gone when the run ends. Each picture is reported
// in page order while the workers go on with the next pages. Once
// stopRequested says so no page more is handed out and nothing more is
// reported; the workers end after the pages in hand.
void RunCaptureWorkers(const QString &program, const QStringList &workerArguments, int jobs,
                       const QStringList &pages, const CaptureRequest &request,
                       const CaptureReport &report, const StopCheck &stopRequested);

// The display settings of the window's internal browser as one worker
// argument and back, so a worker's captures look like the window's own.
// Nothing comes back from text that is not such an argument.
QString DisplayArgument(const DisplaySettings &display);
std::optional<DisplaySettings> DisplayFromArgument(const QString &text);

// One page of a worker: true with what to hand back in *answer (may stay
// empty), or false with the reason in *answer.
using WorkerTask = std::function<bool(const QString &page, QString *answer)>;

// The worker's side: answers the pages read from standard input with task
// until it ends, or until hasRoom (when given) says the volume ran short.
// Interrupts are left to the main process.
int ServeWorker(const WorkerTask &task, const std::function<bool()> &hasRoom);
// Makes the thumbnail of every page.
int ServeThumbWorker(ThumbnailMaker &maker);
// Captures every page as request says, each picture into a new file in
// folder (the main process's private one).
int ServeCaptureWorker(PageCapture &capture, const CaptureRequest &request, const QString &folder);

// A captured picture as a file between processes, pixel for pixel. Reading
// takes only a regular file whose size fits the size its header gives.
bool WriteCaptureFile(const QString &path, const Picture &picture, QString *error);
bool ReadCaptureFile(const QString &path, Picture *picture, QString *error);

} // namespace velmora
