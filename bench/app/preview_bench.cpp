// Selecting a page in the Folder View until the docked browser has painted
// it, for the pages of the sample site in turn: the time a user waits for the
// preview. The anchor, in the same run: a bare page view of the same size
// loading the same pages, which returns once a page is painted (the engine's
// own time for the page, with nothing of the window around it).

#include "app/main_window.h"
#include "app/program.h"
#include "editor/window/form_view.h"
#include "render/page_view.h"
#include "render/render_environment.h"
#include "render/render_profile.h"
#include "silent_services.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::bench::NoDesktop;
using velmora::bench::SilentPrompts;

namespace {

const QString kSite = QStringLiteral(VELMORA_SAMPLE_SITE);

// The main window on the sample site, with the browser docked, made once.
struct Session {
    QTemporaryDir programDir;
    SilentPrompts prompts;
    NoDesktop desktop;
    RenderProfile profile;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> window;

    Session() {
        program = std::make_unique<Program>(ProgramFolders::At(programDir.path()), prompts);
        program->Start(QSize(1280, 1024));
        window = std::make_unique<TForm1>(
            MainWindowServices{*program, prompts, prompts, desktop, &profile});
        window->resize(1000, 700);
        window->show();
        QApplication::processEvents();
        window->JumpToFileAndFolder(kSite + u"/index.htm"_s);
    }
    QAbstractItemView *FileList() const {
        return window->findChild<QAbstractItemView *>(u"LBFile"_s);
    }
};

Session &Shared() {
    static Session *session = new Session; // lives until the program ends
    return *session;
}

void BM_SelectUntilPaintedInTheDockedBrowser(benchmark::State &state) {
    Session &s = Shared();
    QAbstractItemView *list = s.FileList();
    PageView *browser = s.window->Preview().FormView()->FrameViewer1();
    const int rows = list->model()->rowCount();
    int row = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect);
        const bool painted = browser->WaitUntilPainted();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (!painted)
            state.SkipWithError("the page was not painted");
        row = (row + 1) % rows;
    }
}

void BM_AnchorBarePageViewLoad(benchmark::State &state) {
    Session &s = Shared();
    PageView *docked = s.window->Preview().FormView()->FrameViewer1();
    PageView view(s.profile, {});
    view.resize(docked->size());
    view.show();
    const QStringList pages = QDir(kSite).entryList(QDir::Files, QDir::Name);
    int n = 0;
    for (auto _ : state) {
        const QString page = kSite + u'/' + pages[n];
        QElapsedTimer clock;
        clock.start();
        const bool painted = view.LoadFile(page);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (!painted)
            state.SkipWithError("the page was not painted");
        n = (n + 1) % int(pages.size());
    }
}

BENCHMARK(BM_SelectUntilPaintedInTheDockedBrowser)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnchorBarePageViewLoad)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    PrepareRenderingBeforeApplication();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The window and the engine go down with the process: taking them down
    // after the benchmark library is done is not worth a crash at exit.
    _Exit(0);
}
