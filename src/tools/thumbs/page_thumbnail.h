#pragma once
// The file-manager thumbnailer of velmora-thumbs: one page rendered with the
// program's safe engine, scaled to fit a square of the requested size and
// written as a PNG. File managers run it in a bare environment (no display,
// maybe no writable home, little time), so it keeps every file the engine
// needs in a private folder that is removed before it ends, and it ends by
// itself within its time limit.

#include <QSize>
#include <QString>
#include <QStringList>

namespace velmora {

struct PageThumbnailJob {
    int size = 0;   // the longer side of the thumbnail fits in this
    QString input;  // a local path, or a file: URI
    QString output; // where the PNG goes
    int timeLimitMs = 10000;
};

// The arguments after --thumbnail: SIZE INPUT OUTPUT, then an optional
// --time-limit SECONDS. False with *message set when they are not that.
bool ParsePageThumbnailArguments(const QStringList &arguments, PageThumbnailJob *job,
                                 QString *message);

// The local file INPUT names: a path as it is, a file: URI as its path;
// empty for any other scheme or a URI naming a remote host.
QString PageThumbnailInputPath(const QString &input);

// The size of a picture of pageSize scaled to fit a square of side bound,
// its proportions kept, never smaller than 1 x 1 and never larger than the
// page itself.
QSize FitThumbnailSize(QSize pageSize, int bound);

// Runs the thumbnailer on argv (whose first argument after the program name
// is --thumbnail) before any application object exists; returns the exit
// code: 0 with the PNG written, 1 when the page failed, 2 for bad arguments.
int RunPageThumbnailer(int argc, char **argv);

} // namespace velmora
