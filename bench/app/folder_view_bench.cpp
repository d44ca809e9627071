// The Folder View's file list on a folder of 20,000 pages: the time from the
// folder change (listing the folder and filling the list) until the list has
// painted its first screen, with file icons on and off. The anchor, in the
// same run: a QFileSystemModel filtered to *.htm and *.html on a QListView,
// from setRootPath until the folder is loaded and the view has painted it.
// Every run starts from a new, empty, shown view, so no run reuses the rows
// or icons of the one before.

#include "bench_widgets.h"
#include "folder_view/folder_file_list.h"
#include "foundation/file_masks.h"
#include "foundation/folder_listing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::bench::EnsureApplication;
using velmora::bench::Settle;

namespace {

constexpr int kPages = 20'000;
const QString kMask = u"*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht"_s;

// 20,000 empty pages with names in mixed case, made in an order unlike the
// sorted one.
const QString &Folder() {
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString path = dir.path() + u'/';
        const char *const stems[] = {"Index", "news", "About", "gallery", "Contact", "page"};
        QRandomGenerator random(5);
        for (int i = 0; i < kPages; ++i) {
            const QString name = u"%1-%2.htm"_s.arg(QString::fromLatin1(stems[random.bounded(6)]))
                                     .arg(i * 7919 % kPages, 5, 10, QChar(u'0'));
            const int fd = ::open(QFile::encodeName(path + name).constData(),
                                  O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd >= 0)
                ::close(fd);
        }
        return path;
    }();
    return folder;
}

// Watches a view's viewport for the first paint that comes when ready()
// holds; the paint itself follows at once, before the event loop returns.
class PaintWatch final : public QObject {
public:
    PaintWatch(QWidget *viewport, std::function<bool()> ready) : ready_(std::move(ready)) {
        viewport->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint && !painted && ready_())
            painted = true;
        return false;
    }
    // Runs the event loop until that paint came, or gives up after a minute.
    bool Wait() {
        QElapsedTimer limit;
        limit.start();
        while (!painted && limit.elapsed() < 60'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        return painted;
    }
    bool painted = false;

private:
    std::function<bool()> ready_;
};

void ShowView(QListView *view) {
    view->resize(149, 600);
    view->show();
    Settle();
}

// arg 0: icons off, 1: icons on.
void BM_FolderFileList(benchmark::State &state) {
    EnsureApplication();
    const QString &folder = Folder();
    for (auto _ : state) {
        FolderFileList list(state.range(0) != 0);
        ShowView(list.ListView());
        PaintWatch watch(list.ListView()->viewport(), [] { return true; });

        QElapsedTimer timer;
        timer.start();
        const QStringList names = ListFolderFileNames(folder, FileMask(kMask));
        QStringList paths;
        paths.reserve(names.size());
        for (const QString &name : names)
            paths << folder + name;
        list.ShowFolderFiles(paths);
        const bool painted = watch.Wait();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!painted || list.Count() != kPages)
            state.SkipWithError("the pages were not listed and painted");
    }
}
BENCHMARK(BM_FolderFileList)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_AnchorFileSystemModel(benchmark::State &state) {
    EnsureApplication();
    const QString &folder = Folder();
    for (auto _ : state) {
        QFileSystemModel model;
        model.setNameFilters({u"*.htm"_s, u"*.html"_s});
        model.setNameFilterDisables(false);
        model.setFilter(QDir::Files | QDir::NoDotAndDotDot);
        QListView view;
        view.setModel(&model);
        view.setUniformItemSizes(true);
        ShowView(&view);
        bool loaded = false;
        QObject::connect(&model, &QFileSystemModel::directoryLoaded, [&] { loaded = true; });
        QModelIndex root;
        // Painted once the folder is loaded and all its pages are rows.
        PaintWatch watch(view.viewport(), [&] { return loaded && model.rowCount(root) == kPages; });

        QElapsedTimer timer;
        timer.start();
        root = model.setRootPath(folder);
        view.setRootIndex(root);
        const bool painted = watch.Wait();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        if (!painted)
            state.SkipWithError("the folder was not loaded and painted within a minute");
    }
}
BENCHMARK(BM_AnchorFileSystemModel)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
