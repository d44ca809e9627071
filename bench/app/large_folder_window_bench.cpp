// The main window on a folder of 20,000 pages, each with a thumbnail, timed
// from the user's action until the screen it brings is painted:
// - BM_OpenFolder: the folder is opened (as from the folder tree) until the
//   Folder View has painted its first screen with all pages listed;
// - BM_ThumbnailTab: the Thumbnail View tab is chosen until the grid has
//   painted its first screen of tiles with their pictures (empty cache);
//   argument 0 chooses it at once after the folder is listed, argument 250
//   a quarter of a second later, as a person's click comes;
// - BM_ScrollTiles: one page of tiles scrolled (a Page Down's worth of the
//   scroll bar) until painted, for the first 200 pages; counters give the
//   median and the maximum of one page, and the processor time of one page
//   (both threads), which the load of other processes does not inflate.
//   Argument 0 scrolls on at once after each paint (the worst case);
//   argument 250 leaves the window idle for 250 ms between pages, as a user
//   pressing Page Down four times a second does, so the next screen's
//   pictures may be decoded ahead meanwhile.
// The paint of a screen does not wait for pictures still being decoded: such
// tiles are drawn empty and again once their pictures come. So the tab and
// the paced scroll also report when every tile on screen was painted with
// its picture (all_pictures_ms, pictures_median_ms, pictures_max_ms).
// Each case also gives the processor time of the process (all threads) per
// action: on a machine shared with other work it is the steadier figure.
// The window runs without a rendering engine: the preview's page load is not
// part of listing or drawing tiles. Every run makes a new window, so no run
// finds the rows, pictures or layout of the one before.

#include "app/main_window.h"
#include "app/program.h"
#include "bench_widgets.h"
#include "pictures/jpeg_codec.h"
#include "silent_services.h"
#include "thumbs/thumbnail_store.h"
#include "thumbs/view/lv_thumbs.h"
#include "thumbs/view/thumb_grid_model.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::bench::AllPicturesShown;
using velmora::bench::EnsureApplication;
using velmora::bench::Median;
using velmora::bench::NoDesktop;
using velmora::bench::Settle;
using velmora::bench::SilentPrompts;
using velmora::bench::WaitForPaint;

namespace {

constexpr int kPages = 20'000;
constexpr int kScrolledPages = 200;

// The program folder (with its thumbnails), the 20,000 pages and an empty
// folder the window starts in. Thumbnails are sixteen pictures of coloured
// blocks, repeated, so they decode at a realistic cost; each is newer than
// its page.
struct Site {
    QTemporaryDir dir;
    QString programDir;
    QString pages;
    QString empty;
};

const Site &TheSite() {
    static Site site;
    static const bool made = [] {
        site.programDir = site.dir.path() + u"/prog/"_s;
        site.pages = site.dir.path() + u"/site/"_s;
        site.empty = site.dir.path() + u"/empty/"_s;
        for (const QString &folder : {site.programDir, site.pages, site.empty})
            QDir().mkpath(folder);
        QRandomGenerator random(11);
        std::vector<QByteArray> jpegs;
        for (int v = 0; v < 16; ++v) {
            const Picture thumb = velmora::bench::BlocksThumbnail(random);
            const QString path = site.dir.path() + u"/variant.jpg"_s;
            if (!SaveJpeg(thumb, kThumbnailQuality, path))
                qFatal("cannot write a thumbnail");
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            jpegs.push_back(file.readAll());
        }
        const ThumbnailStore store(site.programDir + u"THUMBS/"_s, 0);
        for (int i = 0; i < kPages; ++i) {
            const QString page = site.pages + u"page%1.htm"_s.arg(i, 5, 10, QChar(u'0'));
            const int fd =
                ::open(QFile::encodeName(page).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd >= 0)
                ::close(fd);
            const QString thumb = store.ThumbPathOf(page);
            if (i == 0)
                QDir().mkpath(QFileInfo(thumb).path());
            QFile file(thumb);
            if (!file.open(QIODevice::WriteOnly) || file.write(jpegs[size_t(i % 16)]) < 0)
                qFatal("cannot write the thumbnails");
        }
        return true;
    }();
    (void)made;
    return site;
}

// From an action whose paint is done until every tile on screen has been
// painted with its picture; timer runs since the action.
double MsUntilAllPictures(QListView *grid, const QElapsedTimer &timer) {
    if (!AllPicturesShown(grid) &&
        !WaitForPaint(grid->viewport(), [grid] { return AllPicturesShown(grid); }))
        return 60'000;
    return double(timer.nsecsElapsed()) / 1e6;
}

double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void Idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A window of the program, shown in the empty folder.
struct Window {
    SilentPrompts prompts;
    NoDesktop desktop;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;

    explicit Window(const Site &site) {
        program = std::make_unique<Program>(ProgramFolders::At(site.programDir), prompts);
        program->Start(QSize(1280, 1024));
        form = std::make_unique<TForm1>(MainWindowServices{*program, prompts, prompts, desktop});
        form->resize(1000, 700);
        form->show();
        Settle();
        form->JumpToFileAndFolder(site.empty + u"none.htm"_s);
        Settle();
    }
    QListView *FileList() const { return form->findChild<QListView *>(u"LBFile"_s); }
    QListView *Grid() const {
        return qobject_cast<QListView *>(form->View(TForm1::TabThumb)->Widget());
    }
    void OpenPages(const Site &site) { form->JumpToFileAndFolder(site.pages + u"page00000.htm"_s); }
};

void BM_OpenFolder(benchmark::State &state) {
    EnsureApplication();
    const Site &site = TheSite();
    std::vector<double> cpuMs;
    for (auto _ : state) {
        Window window(site);
        QListView *list = window.FileList();
        const double cpuBefore = ProcessCpuMs();
        QElapsedTimer timer;
        timer.start();
        window.OpenPages(site);
        const bool painted =
            WaitForPaint(list->viewport(), [list] { return list->model()->rowCount() == kPages; });
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        cpuMs.push_back(ProcessCpuMs() - cpuBefore);
        if (!painted)
            state.SkipWithError("the folder was not listed and painted");
    }
    state.counters["cpu_ms"] = Median(cpuMs);
}
BENCHMARK(BM_OpenFolder)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ThumbnailTab(benchmark::State &state) {
    EnsureApplication();
    const Site &site = TheSite();
    std::vector<double> cpuMs;
    std::vector<double> allPictures;
    for (auto _ : state) {
        Window window(site);
        window.OpenPages(site);
        Settle();
        if (state.range(0) > 0)
            Idle(int(state.range(0)));
        QListView *grid = window.Grid();
        const ThumbnailCache &cache = window.form->Thumbnails().Cache();
        const double cpuBefore = ProcessCpuMs();
        QElapsedTimer timer;
        timer.start();
        window.form->Pages()->setCurrentIndex(TForm1::TabThumb);
        const bool painted = WaitForPaint(grid->viewport(), [&] {
            return grid->model()->rowCount() == kPages && cache.PictureCount() > 0;
        });
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        cpuMs.push_back(ProcessCpuMs() - cpuBefore);
        if (!painted)
            state.SkipWithError("the first screen of tiles was not painted with its pictures");
        allPictures.push_back(MsUntilAllPictures(grid, timer));
    }
    state.counters["cpu_ms"] = Median(cpuMs);
    state.counters["all_pictures_ms"] = Median(allPictures);
}
BENCHMARK(BM_ThumbnailTab)->Arg(0)->Arg(250)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ScrollTiles(benchmark::State &state) {
    EnsureApplication();
    const Site &site = TheSite();
    std::vector<double> all;
    std::vector<double> pictures;
    double cpuMs = 0;
    const int pause = int(state.range(0));
    for (auto _ : state) {
        Window window(site);
        window.OpenPages(site);
        window.form->Pages()->setCurrentIndex(TForm1::TabThumb);
        Settle();
        QListView *grid = window.Grid();
        QScrollBar *bar = grid->verticalScrollBar();
        double scrolled = 0;
        for (int page = 0; page < kScrolledPages && bar->value() < bar->maximum(); ++page) {
            if (pause > 0)
                Idle(pause);
            const double cpuBefore = ProcessCpuMs();
            QElapsedTimer timer;
            timer.start();
            bar->setValue(bar->value() + bar->pageStep());
            grid->viewport()->repaint();
            all.push_back(double(timer.nsecsElapsed()) / 1e6);
            scrolled += all.back();
            cpuMs += ProcessCpuMs() - cpuBefore;
            if (pause > 0)
                pictures.push_back(MsUntilAllPictures(grid, timer));
        }
        state.SetIterationTime(scrolled / 1e3);
    }
    state.counters["pages"] = double(all.size()) / double(state.iterations());
    state.counters["cpu_ms_per_page"] = all.empty() ? 0 : cpuMs / double(all.size());
    state.counters["page_median_ms"] = Median(all);
    state.counters["page_max_ms"] = all.empty() ? 0 : *std::max_element(all.begin(), all.end());
    if (!pictures.empty()) {
        state.counters["pictures_median_ms"] = Median(pictures);
        state.counters["pictures_max_ms"] = *std::max_element(pictures.begin(), pictures.end());
    }
}
BENCHMARK(BM_ScrollTiles)->Arg(0)->Arg(250)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
