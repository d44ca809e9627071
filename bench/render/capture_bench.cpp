// Time of one thumbnail in a long-lived engine: capture at the base size,
// Lanczos3 to 130 x 100, JPEG written. Pages alternate so that every
// iteration really loads a page.
#include "render/render_environment.h"
#include "render/render_profile.h"
#include "thumbs/capture/page_capture.h"
#include "thumbs/capture/thumbnail_maker.h"
#include "thumbs/thumbnail_store.h"

#include "widgets/qt_prompts.h"

#include "bench_support.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

struct Engine {
    QTemporaryDir dir;
    velmora::RenderProfile profile;
    velmora::PageCapture capture{profile, nullptr};
    velmora::QtPrompts prompts;
    velmora::ThumbnailStore store{dir.filePath(u"THUMBS/"_s), 0};
    velmora::ThumbnailMaker maker{capture, store, prompts};
    QStringList pages;

    Engine()
        : pages(velmora::bench::WriteColouredPages(dir.path(), 8,
                                                   [](int n) { return 0x203040 + n * 0x101010; })) {
    }
};

Engine *g_engine = nullptr;

void BM_MakeThumbnail(benchmark::State &state) {
    g_engine->maker.CBSnapBaseChange(int(state.range(0)));
    int n = 0;
    for (auto _ : state) {
        if (!g_engine->maker.MakeThumbnail(g_engine->pages[n++ % g_engine->pages.size()]))
            state.SkipWithError("thumbnail failed");
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(
        QString::fromUtf16(velmora::kThumbBaseSizes[state.range(0)].itemText).toStdString());
}
BENCHMARK(BM_MakeThumbnail)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    velmora::PrepareRenderingBeforeApplication();
    QApplication app(argc, argv);
    Engine engine;
    g_engine = &engine;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
