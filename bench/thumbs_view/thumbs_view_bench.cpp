// The Thumbnail View's grid on a folder of 5,000 pages (VELMORA_BENCH_PAGES
// sets another count), each with a real
// 130 x 100 JPEG thumbnail (quality 70) under the store's name:
// - BM_FirstScreen: from handing the grid the folder's files until its first
//   screen of tiles is painted with every picture, with an empty cache (every
//   picture on screen is decoded);
// - BM_ScrollPages: from the first tile to the last, one scroll bar page at a
//   time, each page painted at once; counters give the median and the
//   maximum time of one page;
// - BM_ResidentMemory: VmRSS after one full scroll and after ten.
// The anchor, in the same run: a QListView in icon mode over the same names
// in a QStringListModel, with the same grid and Qt's own drawing, no
// pictures.

#include "bench_widgets.h"
#include "pictures/jpeg_codec.h"
#include "thumbs/thumbnail_store.h"
#include "thumbs/view/lv_thumbs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStringListModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::bench::AllPicturesShown;
using velmora::bench::EnsureApplication;
using velmora::bench::Median;
using velmora::bench::Settle;
using velmora::bench::WaitForPaint;

namespace {

// The number of pages: 5,000 unless VELMORA_BENCH_PAGES says otherwise.
int PageCount() {
    static const int count = [] {
        bool ok = false;
        const int asked = qEnvironmentVariableIntValue("VELMORA_BENCH_PAGES", &ok);
        return ok && asked > 0 ? asked : 5'000;
    }();
    return count;
}
constexpr int kCacheMax = 200;
const QSize kViewSize(800, 600);

struct Site {
    QTemporaryDir dir;
    QString thumbDir;
    QStringList pages;
};

// The empty pages, each with a thumbnail of coloured blocks, so that the
// JPEGs are of a realistic size and decoding them costs what it would.
const Site &TheSite() {
    static Site site;
    static const bool made = [] {
        const QString folder = site.dir.path() + u"/site/"_s;
        site.thumbDir = site.dir.path() + u"/THUMBS/"_s;
        QDir().mkpath(folder);
        const ThumbnailStore store(site.thumbDir, kCacheMax);
        QRandomGenerator random(7);
        for (int i = 0; i < PageCount(); ++i) {
            const QString page = folder + u"page%1.htm"_s.arg(i, 5, 10, QChar(u'0'));
            QFile file(page);
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write the pages");
            site.pages << page;
            const Picture thumb = velmora::bench::BlocksThumbnail(random);
            const QString path = store.ThumbPathOf(page);
            QDir().mkpath(QFileInfo(path).path());
            if (!SaveJpeg(thumb, kThumbnailQuality, path))
                qFatal("cannot write the thumbnails");
        }
        return true;
    }();
    (void)made;
    return site;
}

// The time of each page from the top to the bottom, in milliseconds.
std::vector<double> ScrollThrough(QAbstractItemView &view) {
    std::vector<double> pages;
    QScrollBar *bar = view.verticalScrollBar();
    bar->setValue(0);
    view.viewport()->repaint();
    QElapsedTimer timer;
    while (bar->value() < bar->maximum()) {
        timer.start();
        bar->setValue(bar->value() + bar->pageStep());
        view.viewport()->repaint();
        pages.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return pages;
}

double ResidentMb() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void BM_FirstScreen(benchmark::State &state) {
    EnsureApplication();
    const Site &site = TheSite();
    for (auto _ : state) {
        ThumbnailStore store(site.thumbDir, kCacheMax);
        LVThumbs grid(store);
        grid.resize(kViewSize);
        grid.show();
        Settle();
        QElapsedTimer timer;
        timer.start();
        grid.ShowFiles(site.pages);
        // The tiles are painted before their pictures are decoded; the
        // screen counts as shown once a paint has every picture on it.
        const bool painted =
            WaitForPaint(grid.viewport(), [&grid] { return AllPicturesShown(&grid); });
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!painted)
            state.SkipWithError("the first screen was not painted with its pictures");
    }
}
BENCHMARK(BM_FirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_AnchorFirstScreen(benchmark::State &state) {
    EnsureApplication();
    const Site &site = TheSite();
    for (auto _ : state) {
        QStringListModel model;
        QListView view;
        view.setViewMode(QListView::IconMode);
        view.setMovement(QListView::Static);
        view.setUniformItemSizes(true);
        view.setGridSize(QSize(150, 140));
        view.setModel(&model);
        view.resize(kViewSize);
        view.show();
        Settle();
        QElapsedTimer timer;
        timer.start();
        model.setStringList(site.pages);
        const bool painted = WaitForPaint(view.viewport());
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!painted)
            state.SkipWithError("the first screen was not painted");
    }
}
BENCHMARK(BM_AnchorFirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ScrollPages(benchmark::State &state) {
    EnsureApplication();
    const Site &site = TheSite();
    std::vector<double> all;
    for (auto _ : state) {
        ThumbnailStore store(site.thumbDir, kCacheMax);
        LVThumbs grid(store);
        grid.resize(kViewSize);
        grid.ShowFiles(site.pages);
        grid.show();
        Settle();
        QElapsedTimer timer;
        timer.start();
        const std::vector<double> pages = ScrollThrough(grid);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        all.insert(all.end(), pages.begin(), pages.end());
    }
    state.counters["pages"] = double(all.size()) / double(state.iterations());
    state.counters["page_median_ms"] = Median(all);
    state.counters["page_max_ms"] = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
}
BENCHMARK(BM_ScrollPages)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ResidentMemory(benchmark::State &state) {
    EnsureApplication();
    const Site &site = TheSite();
    for (auto _ : state) {
        ThumbnailStore store(site.thumbDir, kCacheMax);
        LVThumbs grid(store);
        grid.resize(kViewSize);
        grid.ShowFiles(site.pages);
        grid.show();
        Settle();
        const double before = ResidentMb();
        ScrollThrough(grid);
        const double afterOne = ResidentMb();
        for (int i = 1; i < 10; ++i)
            ScrollThrough(grid);
        const double afterTen = ResidentMb();
        state.counters["rss_before_mb"] = before;
        state.counters["rss_after_1_mb"] = afterOne;
        state.counters["rss_after_10_mb"] = afterTen;
        state.counters["growth_1_to_10_mb"] = afterTen - afterOne;
    }
}
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
