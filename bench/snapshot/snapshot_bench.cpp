// Snapshots through the real options window and the real engine: the bare
// capture of a 1024 x 768 page (the anchor), the preview of that page at 50 %
// (capture, Lanczos3, composition), a batch export of 50 pages at 800 x 600
// written as JPEG files, and a batch export of 60 pages one at a time against
// the same export with the pages captured by worker processes of
// velmora-thumbs (beside the bench folder, or VELMORA_THUMBS). Pages
// alternate so that every capture really loads a page.
#include "foundation/view_selection.h"
#include "render/render_environment.h"
#include "render/render_profile.h"
#include "snapshot/window/form_snap_prop.h"
#include "thumbs/capture/page_capture.h"
#include "thumbs/capture/thumb_workers.h"
#include "widgets/qt_prompts.h"

#include "bench_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

class Pages final : public ViewSelection {
public:
    QString GetCurrentFile() const override { return files.value(0); }
    TSelectionInfo GetSelectionInfo() const override {
        return {0, int(files.size()), int(files.size())};
    }
    QStringList SelectedFiles() const override { return files; }
    QString GetViewFile(int i, bool) const override { return files.value(i); }
    QStringList files;
};

class NoProgress final : public ProgressWindow {
public:
    void InitProgBar(int) override {}
    void Show() override {}
    void SetText(const QString &) override {}
    void Step() override {}
    bool StopRequested() const override { return false; }
    void Close() override {}
};

struct Engine {
    QTemporaryDir dir;
    RenderProfile profile;
    PageCapture capture{profile, nullptr};
    QtPrompts prompts;
    QtFileDialogs dialogs;
    QStringList pages;

    // Empty: every page is captured here, one after the other.
    QString workers;

    Engine()
        : pages(bench::WriteColouredPages(dir.path(), 60,
                                          [](int n) { return 0x203040 + (n % 8) * 0x101010; })) {}

    // An options window over the given pages, capturing with the engine.
    std::unique_ptr<TFormSnapProp> Window(Pages &selection, TSnapShotParams &params, QString &out) {
        SnapshotWindowServices services{
            prompts,
            dialogs,
            selection,
            [this](const QString &page, const CaptureRequest &r, Picture *picture, QString *error) {
                return capture.CapturePage(page, {r.base, r.cropRight, r.cropBottom, false},
                                           picture, error);
            },
            FreeSpaceOfVolume,
            [] { return std::unique_ptr<ProgressWindow>(std::make_unique<NoProgress>()); },
            {[this](const QStringList &) { return !workers.isEmpty(); },
             [this](const QStringList &files, const CaptureRequest &request,
                    const SnapshotCaptured &captured, const std::function<bool()> &stop) {
                 RunCaptureWorkers(workers, {u"--worker"_s, u"--program-dir"_s, dir.path()},
                                   DefaultThumbJobs(), files, request, captured, stop);
             }}};
        params.SelCount = params.ItemCount = int(selection.files.size());
        params.BatchMode = selection.files.size() > 1;
        params.FileName = selection.files.value(0);
        auto form =
            std::make_unique<TFormSnapProp>(services, params, out, SnapshotOpening{}, nullptr);
        form->show();
        return form;
    }
};

Engine *g_engine = nullptr;

void BM_CaptureAnchor(benchmark::State &state) {
    int n = 0;
    for (auto _ : state) {
        Picture picture;
        if (!g_engine->capture.CapturePage(g_engine->pages[n++ % 8], {{1024, 768}}, &picture))
            state.SkipWithError("capture failed");
    }
}
BENCHMARK(BM_CaptureAnchor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Preview1024x768Half(benchmark::State &state) {
    Pages selection;
    TSnapShotParams params;
    params.CustomWidth = 1024;
    params.CustomHeight = 768;
    params.Scale = 50;
    QString out = g_engine->dir.filePath(u"out/"_s);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        selection.files = {g_engine->pages[n++ % 8]};
        auto form = g_engine->Window(selection, params, out);
        state.ResumeTiming();
        form->BPreviewClick();
        if (form->ImgSave().size() != QSize(522, 394))
            state.SkipWithError("no preview");
    }
}
BENCHMARK(BM_Preview1024x768Half)->Unit(benchmark::kMillisecond)->UseRealTime();

// Exports the pages into a fresh folder `folder` once per iteration, the
// options window's own batch button pressed and its options taken as given.
void TimeBatchExport(benchmark::State &state, const QStringList &pages, TSnapShotParams params,
                     const QString &folder) {
    Pages selection;
    selection.files = pages;
    QString out = g_engine->dir.filePath(folder);
    auto form = g_engine->Window(selection, params, out);
    form->SetBatchOptions([] { return true; });
    for (auto _ : state) {
        state.PauseTiming();
        QDir(out).removeRecursively();
        state.ResumeTiming();
        form->BBatchClick();
    }
    if (QDir(out).entryList(QDir::Files).size() != pages.size())
        state.SkipWithError("not every snapshot was written");
    state.SetItemsProcessed(state.iterations() * pages.size());
}

void BM_BatchExport50(benchmark::State &state) {
    TSnapShotParams params;
    params.CustomWidth = 800;
    params.CustomHeight = 600;
    params.Scale = 100;
    TimeBatchExport(state, g_engine->pages.mid(0, 50), params, u"batch/"_s);
}
BENCHMARK(BM_BatchExport50)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 60 pages at 800 x 600, 50 %, with shadow and border; arg 1: the captures
// in worker processes.
void BM_BatchExport60(benchmark::State &state) {
    const bool parallel = state.range(0) == 1;
    g_engine->workers =
        parallel ? qEnvironmentVariable("VELMORA_THUMBS", QCoreApplication::applicationDirPath() +
                                                              u"/../velmora-thumbs"_s)
                 : QString();
    if (parallel && !QFileInfo(g_engine->workers).isExecutable()) {
        state.SkipWithError("velmora-thumbs not found");
        return;
    }
    TSnapShotParams params;
    params.Scale = 50;
    TimeBatchExport(state, g_engine->pages, params, u"batch60/"_s);
    g_engine->workers.clear();
}
BENCHMARK(BM_BatchExport60)
    ->ArgName("workers")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareRenderingBeforeApplication();
    QApplication app(argc, argv);
    Engine engine;
    g_engine = &engine;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
