#pragma once
// Helpers for the benchmarks that show widgets or make thumbnails.

#include "pictures/jpeg_codec.h"
#include "pictures/picture.h"
#include "thumbs/view/lv_thumbs.h"
#include "thumbs/view/thumb_grid_model.h"

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QEvent>
#include <QListView>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <vector>

namespace velmora::bench {

// The one application object the views need, made by the first benchmark
// that runs (the benchmark library owns main). It is never destroyed: after
// main returns, Qt's own global objects may be gone before it. Without a
// platform asked for, the views draw off screen.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "velmora_bench";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static const QApplication *app = new QApplication(argc, argv);
    (void)app;
}

// A 130 x 100 picture of two dozen coloured blocks, so that a thumbnail made
// of it has a realistic size and costs what a real one costs to decode.
inline Picture BlocksThumbnail(QRandomGenerator &random) {
    Picture thumb = MakePicture(130, 100);
    QPainter painter(&thumb);
    for (int b = 0; b < 24; ++b)
        painter.fillRect(random.bounded(130), random.bounded(100), 10 + random.bounded(60),
                         6 + random.bounded(40), QColor::fromRgb(random.generate()));
    return thumb;
}

// Lets the events that showing or resizing a widget posts be handled.
inline void Settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Runs the event loop until the viewport is painted while ready() holds (any
// paint without ready); false when a minute passed first.
inline bool WaitForPaint(QWidget *viewport, const std::function<bool()> &ready = {}) {
    struct Watch final : QObject {
        std::function<bool()> ready;
        bool painted = false;
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint && !painted && (!ready || ready()))
                painted = true;
            return false;
        }
    } watch;
    watch.ready = ready;
    viewport->installEventFilter(&watch);
    QElapsedTimer limit;
    limit.start();
    while (!watch.painted && limit.elapsed() < 60'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    viewport->removeEventFilter(&watch);
    return watch.painted;
}

// True when every tile a thumbnail grid shows has its picture (every page of
// the benchmarks' sites has a thumbnail).
inline bool AllPicturesShown(QListView *grid) {
    const auto [first, last] = qobject_cast<LVThumbs *>(grid)->VisibleRange();
    if (first < 0)
        return false;
    for (int row = first; row <= last; ++row)
        if (grid->model()->index(row, 0).data(ThumbGridModel::SlotRole).toInt() < 0)
            return false;
    return true;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace velmora::bench
