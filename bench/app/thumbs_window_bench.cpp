// Make Thumbs through the main window: every page of one folder selected in
// the Folder View, Add_Remove(1) with a progress window that only notes the
// time each page is finished. Prints the pages finished and the milliseconds
// from the first to the last of them, so that starting the engines and the
// first page are left out, as bench/app/thumbs_run leaves them out of
// velmora-thumbs. The window's workers are the velmora-thumbs beside this
// program, as for the program itself; with --one-at-a-time it has none.
//   thumbs_window_bench PAGES_FOLDER PROGRAM_FOLDER [--one-at-a-time]

#include "app/main_window.h"
#include "app/program.h"
#include "foundation/desktop_services.h"
#include "foundation/prompts.h"
#include "render/render_environment.h"
#include "render/render_profile.h"

#include "silent_services.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace velmora;
using velmora::bench::NoDesktop;
using velmora::bench::SilentPrompts;

namespace {

// Notes when each page of the run is finished.
class TimingProgress final : public ProgressWindow {
public:
    explicit TimingProgress(QList<qint64> &finishes, const QElapsedTimer &clock)
        : finishes_(finishes), clock_(clock) {}
    void InitProgBar(int) override {}
    void Show() override {}
    void SetText(const QString &) override {}
    void Step() override { finishes_ << clock_.nsecsElapsed(); }
    bool StopRequested() const override { return false; }
    void Close() override {}

private:
    QList<qint64> &finishes_;
    const QElapsedTimer &clock_;
};

} // namespace

int main(int argc, char **argv) {
    PrepareRenderingBeforeApplication();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool oneAtATime = argc == 4 && qstrcmp(argv[3], "--one-at-a-time") == 0;
    if (argc != 3 && !oneAtATime) {
        std::fprintf(stderr,
                     "usage: thumbs_window_bench PAGES_FOLDER PROGRAM_FOLDER [--one-at-a-time]\n");
        return 2;
    }
    const QString pages = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    SilentPrompts prompts(true);
    NoDesktop desktop;
    RenderProfile profile;
    Program program(ProgramFolders::At(QString::fromLocal8Bit(argv[2])), prompts);
    program.Start(QSize(1280, 1024));
    program.Config().ThumbBaseIndex = 3;

    QElapsedTimer clock;
    QList<qint64> finishes;
    MainWindowServices services{program, prompts, prompts, desktop, &profile};
    services.progressWindows = [&]() -> std::unique_ptr<ProgressWindow> {
        return std::make_unique<TimingProgress>(finishes, clock);
    };
    if (!oneAtATime)
        services.thumbWorkers = QApplication::applicationDirPath() + u"/velmora-thumbs"_s;
    auto window = std::make_unique<TForm1>(services);
    window->resize(1000, 700);
    window->show();
    QApplication::processEvents();
    const QStringList names = QDir(pages).entryList(QDir::Files, QDir::Name);
    window->JumpToFileAndFolder(pages + u'/' + names.value(0));
    window->findChild<QAbstractItemView *>(u"LBFile"_s)->selectAll();

    clock.start();
    window->Commands().Add_Remove(FileCommands::ModeMake);
    if (finishes.size() < 2) {
        std::fprintf(stderr, "thumbs_window_bench: the run did not go over the pages\n");
        return 1;
    }
    std::printf("%d %.1f\n", int(finishes.size()), double(finishes.last() - finishes[0]) / 1e6);
    std::fflush(stdout);
    // The engine goes down with the process.
    _Exit(0);
}
