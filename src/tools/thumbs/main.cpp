// velmora-thumbs: makes (or clears) the thumbnails of pages from the command
// line, with the program's own capture, resampling and thumbnail names, so
// the program shows them as if it had made them.

#include "foundation/filter_definition.h"
#include "foundation/program_folders.h"
#include "foundation/program_version.h"
#include "foundation/settings.h"
#include "render/page_view.h"
#include "render/render_environment.h"
#include "render/render_profile.h"
#include "sitewalk/page_collector.h"
#include "thumbs/capture/page_capture.h"
#include "thumbs/capture/thumb_batch.h"
#include "thumbs/capture/thumb_workers.h"
#include "thumbs/capture/thumbnail_maker.h"
#include "thumbs/thumb_freshness.h"
#include "thumbs/thumbnail_store.h"
#include "tools/thumbs/console_prompts.h"
#include "tools/thumbs/page_thumbnail.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Set by the SIGINT handler; a handler can reach nothing but a static flag.
volatile std::sig_atomic_t g_stopRequested = 0;

void OnInterrupt(int) {
    g_stopRequested = 1;
    // A second Ctrl+C ends the program at once.
    std::signal(SIGINT, SIG_DFL);
}

enum ExitCode { kAllOk = 0, kSomeFailed = 1, kUsage = 2, kStopped = 130 };

constexpr int kMostJobs = 8;

struct Options {
    QStringList paths;
    QString programDir;
    std::optional<QSize> base;
    std::optional<int> baseIndex;
    bool recursive = false;
    bool clear = false;
    bool changed = false; // only missing and outdated thumbnails
    int timeLimitMs = 10000;
    int memoryCapMb = velmora::ViewOptions{}.memoryCapMb;
    int jobs = velmora::DefaultThumbJobs();
    bool worker = false; // one of the processes a run with --jobs starts
    // The display settings of the window a worker makes thumbnails for.
    std::optional<velmora::DisplaySettings> display;
    // A worker of the snapshot export: captures at the base less the crops
    // into files of this folder instead of making thumbnails.
    QString captureDir;
    QSize crops;
};

int Usage(const QString &message) {
    std::fprintf(stderr, "velmora-thumbs: %s\n", qPrintable(message));
    std::fprintf(stderr,
                 "usage: velmora-thumbs [--base WxH | --base-index N] [--program-dir DIR]"
                 " [--recursive] [--clear | --changed] [--time-limit SECONDS] [--memory-limit MB]"
                 " [--jobs N] PATH...\n"
                 "       velmora-thumbs --thumbnail SIZE INPUT OUTPUT [--time-limit SECONDS]\n");
    return kUsage;
}

// False after a usage message in *message.
bool ParseOptions(const QStringList &arguments, Options *options, QString *message) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Makes or clears the thumbnails of web pages, as the program makes them.\n"
        u"\n"
        u"velmora-thumbs --thumbnail SIZE INPUT OUTPUT [--time-limit SECONDS]\n"
        u"  The thumbnailer file managers call: renders the page INPUT (a path or a\n"
        u"  file: URI) and writes it to OUTPUT as a PNG picture that fits in SIZE x\n"
        u"  SIZE pixels (SIZE from 1 to 2048). Exits with 0 when the picture is\n"
        u"  made, 1 when the page fails or takes longer than the time limit (10\n"
        u"  seconds), 2 for wrong arguments."_s);
    parser.addHelpOption();
    parser.addOption({u"version"_s, u"Displays the version."_s});
    parser.addOption({u"base"_s, u"Capture size, for example 800x600."_s, u"WxH"_s});
    parser.addOption({u"base-index"_s, u"Thumbnail base 0 (160x120) to 6 (1600x1200)."_s, u"N"_s});
    parser.addOption({u"program-dir"_s, u"Program folder holding prg.ini and THUMBS."_s, u"DIR"_s});
    parser.addOption({u"recursive"_s, u"Include the pages of all subfolders."_s});
    parser.addOption({u"clear"_s, u"Delete the thumbnails instead of making them."_s});
    parser.addOption(
        {u"changed"_s, u"Make only missing thumbnails and those older than their page."_s});
    parser.addOption({u"time-limit"_s, u"Seconds a page may take to load (10)."_s, u"SECONDS"_s});
    parser.addOption(
        {u"memory-limit"_s,
         u"Megabytes of memory a page's renderer may use (%1)."_s.arg(options->memoryCapMb),
         u"MB"_s});
    parser.addOption(
        {u"jobs"_s,
         u"Pages made at once, 1 to %1 (%2: the cores, at most 4)."_s.arg(kMostJobs).arg(
             options->jobs),
         u"N"_s});
    QCommandLineOption worker(u"worker"_s, u"Serves the pages of a run with --jobs."_s);
    worker.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(worker);
    QCommandLineOption display(u"display"_s, u"The internal browser's display settings."_s,
                               u"SETTINGS"_s);
    display.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(display);
    QCommandLineOption captureDir(u"capture-dir"_s, u"Captures pictures into this folder."_s,
                                  u"DIR"_s);
    captureDir.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(captureDir);
    QCommandLineOption crop(u"crop"_s, u"Pixels cut off the right and the bottom."_s,
                            u"RIGHT,BOTTOM"_s);
    crop.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(crop);
    parser.addPositionalArgument(u"PATH"_s, u"Pages or folders of pages."_s, u"PATH..."_s);
    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return false;
    }
    if (parser.isSet(u"help"_s)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::exit(kAllOk);
    }
    if (parser.isSet(u"version"_s)) {
        std::printf("velmora-thumbs %s\n", velmora::ProgramVersion());
        std::exit(kAllOk);
    }
    options->paths = parser.positionalArguments();
    options->programDir = parser.value(u"program-dir"_s);
    options->recursive = parser.isSet(u"recursive"_s);
    options->clear = parser.isSet(u"clear"_s);
    options->changed = parser.isSet(u"changed"_s);
    if (options->clear && options->changed) {
        *message = u"--clear and --changed exclude each other"_s;
        return false;
    }
    if (parser.isSet(u"base"_s) && parser.isSet(u"base-index"_s)) {
        *message = u"--base and --base-index exclude each other"_s;
        return false;
    }
    if (parser.isSet(u"base"_s)) {
        static const QRegularExpression size(u"^(\\d{1,5})[xX](\\d{1,5})$"_s);
        const auto m = size.match(parser.value(u"base"_s));
        const int w = m.captured(1).toInt(), h = m.captured(2).toInt();
        if (!m.hasMatch() || w < 1 || h < 1 || w > 8000 || h > 8000) {
            *message = u"--base needs a size such as 800x600 (at most 8000x8000)"_s;
            return false;
        }
        options->base = QSize(w, h);
    }
    if (parser.isSet(u"base-index"_s)) {
        bool ok = false;
        const int index = parser.value(u"base-index"_s).toInt(&ok);
        if (!ok || index < 0 || index >= int(velmora::kThumbBaseSizes.size())) {
            *message = u"--base-index needs a number from 0 to 6"_s;
            return false;
        }
        options->baseIndex = index;
    }
    if (parser.isSet(u"time-limit"_s)) {
        bool ok = false;
        const double seconds = parser.value(u"time-limit"_s).toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > 3600) {
            *message = u"--time-limit needs seconds from above 0 to 3600"_s;
            return false;
        }
        options->timeLimitMs = int(seconds * 1000);
    }
    if (parser.isSet(u"memory-limit"_s)) {
        // Below some 100 MB the engine's own share of a renderer fails every page.
        bool ok = false;
        const int megabytes = parser.value(u"memory-limit"_s).toInt(&ok);
        if (!ok || megabytes < 100 || megabytes > 1024 * 1024) {
            *message = u"--memory-limit needs megabytes from 100 to 1048576"_s;
            return false;
        }
        options->memoryCapMb = megabytes;
    }
    if (parser.isSet(u"jobs"_s)) {
        bool ok = false;
        const int jobs = parser.value(u"jobs"_s).toInt(&ok);
        if (!ok || jobs < 1 || jobs > kMostJobs) {
            *message = u"--jobs needs a number from 1 to %1"_s.arg(kMostJobs);
            return false;
        }
        options->jobs = jobs;
    }
    options->worker = parser.isSet(worker);
    if (parser.isSet(display)) {
        options->display = velmora::DisplayFromArgument(parser.value(display));
        if (!options->display) {
            *message = u"--display needs the display settings of a window"_s;
            return false;
        }
    }
    if (parser.isSet(captureDir)) {
        static const QRegularExpression crops(u"^(-?\\d{1,5}),(-?\\d{1,5})$"_s);
        const auto m = crops.match(parser.value(crop));
        if (!options->worker || !options->base || (parser.isSet(crop) && !m.hasMatch())) {
            *message = u"--capture-dir needs --worker, --base and crops such as 0,17"_s;
            return false;
        }
        options->captureDir = parser.value(captureDir);
        if (m.hasMatch())
            options->crops = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    }
    if (options->paths.isEmpty() && !options->worker) {
        *message = u"no page or folder given"_s;
        return false;
    }
    return true;
}

// A path as one line of output: control characters (a line break in a file
// name, say) and the backslash are written as escapes, so that every page
// keeps to its own "PATH: ok" line.
QByteArray OneLine(const QString &text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (u < 0x20 || u == 0x7F)
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

// A one-line bar on the terminal's error stream, redrawn in place.
class ProgressLine {
public:
    ProgressLine() : enabled_(::isatty(STDERR_FILENO)) {}
    void Clear() {
        if (enabled_ && shown_)
            std::fputs("\r\033[K", stderr);
        shown_ = false;
    }
    void Show(int done, int count) {
        if (!enabled_ || count <= 0)
            return;
        constexpr int kWidth = 30;
        const int filled = done * kWidth / count;
        std::fprintf(stderr, "\r[%s%s] %d/%d", QByteArray(filled, '#').constData(),
                     QByteArray(kWidth - filled, ' ').constData(), done, count);
        std::fflush(stderr);
        shown_ = true;
    }

private:
    bool enabled_;
    bool shown_ = false;
};

// --changed: keeps the pages whose thumbnail is missing or older than the
// page and says how many others were skipped. False when none is left.
bool KeepChangedPages(const QString &thumbDir, QStringList *pages) {
    velmora::ChangedPages changed = velmora::PagesNeedingThumbnails(thumbDir, *pages);
    std::fprintf(stderr, "velmora-thumbs: %d to make, %d up to date and skipped\n",
                 int(changed.pages.size()), changed.skipped);
    *pages = std::move(changed.pages);
    return !pages->isEmpty();
}

// The engine and the thumbnail maker of one process, set up from the options.
struct ThumbsEngine {
    ThumbsEngine(const Options &options, const velmora::ProgramFolders &folders,
                 const velmora::Settings &settings)
        : capture(profile, nullptr, options.timeLimitMs), store(folders.ThumbDir, 0),
          maker(capture, store, prompts) {
        capture.SetMemoryCap(options.memoryCapMb);
        if (options.display)
            capture.SetDisplay(*options.display);
        maker.CBSnapBaseChange(settings.ThumbBaseIndex);
        if (options.base)
            maker.SetBase(*options.base);
    }

    velmora::RenderProfile profile;
    velmora::PageCapture capture;
    velmora::ConsolePrompts prompts;
    // The batch command shows no thumbnails: its cache stays empty.
    velmora::ThumbnailStore store;
    velmora::ThumbnailMaker maker;
};

// A worker makes the thumbnails as the main process would: same folders,
// base, time limit and memory cap.
QStringList WorkerArguments(const Options &options, const velmora::ProgramFolders &folders) {
    QStringList arguments{u"--worker"_s,
                          u"--program-dir"_s,
                          folders.ProgramDir,
                          u"--time-limit"_s,
                          QString::number(options.timeLimitMs / 1000.0, 'g', 10),
                          u"--memory-limit"_s,
                          QString::number(options.memoryCapMb)};
    if (options.base)
        arguments << u"--base"_s
                  << u"%1x%2"_s.arg(options.base->width()).arg(options.base->height());
    if (options.baseIndex)
        arguments << u"--base-index"_s << QString::number(*options.baseIndex);
    if (options.display)
        arguments << u"--display"_s << velmora::DisplayArgument(*options.display);
    return arguments;
}

int ServeAsWorker(const Options &options, const velmora::ProgramFolders &folders,
                  const velmora::Settings &settings) {
    ThumbsEngine engine(options, folders, settings);
    if (!options.captureDir.isEmpty()) {
        const velmora::CaptureRequest request{*options.base, options.crops.width(),
                                              options.crops.height(), false};
        return velmora::ServeCaptureWorker(engine.capture, request, options.captureDir);
    }
    return velmora::ServeThumbWorker(engine.maker);
}

} // namespace

static int Run(int argc, char **argv) {
    // A batch command never shows a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    velmora::PrepareRenderingBeforeApplication();
    // The engine describes its graphics set-up on every start; a batch
    // command's output is its result lines.
    QLoggingCategory::setFilterRules(u"qt.webenginecontext.info=false"_s);
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Velmora"_s);

    Options options;
    QString message;
    if (!ParseOptions(QApplication::arguments(), &options, &message))
        return Usage(message);

    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const velmora::ProgramFolders folders =
        options.programDir.isEmpty()
            ? velmora::ProgramFolders::Locate(QApplication::applicationDirPath(), userData)
            : velmora::ProgramFolders::At(QDir(options.programDir).absolutePath());
    if (!QDir().mkpath(folders.ThumbDir)) {
        std::fprintf(stderr, "velmora-thumbs: cannot create %s\n", qPrintable(folders.ThumbDir));
        return kSomeFailed;
    }
    velmora::Settings settings =
        velmora::LoadSettings(folders.SettingsFile(), folders.ProgramDir, QSize(1024, 768));
    if (options.baseIndex)
        settings.ThumbBaseIndex = *options.baseIndex;

    if (options.worker)
        return ServeAsWorker(options, folders, settings);

    velmora::CollectedPages collected =
        velmora::CollectPages(options.paths, velmora::FirstFilterMask(settings.AllowedExtensions),
                              options.recursive, folders.ThumbDir);
    int failed = 0;
    for (const QString &problem : collected.problems) {
        std::printf("%s: failed: no such page or folder\n", OneLine(problem).constData());
        ++failed;
    }
    // Nothing to make: the rendering engine is not even started.
    if (options.changed && !KeepChangedPages(folders.ThumbDir, &collected.pages))
        return failed > 0 ? kSomeFailed : kAllOk;

    std::signal(SIGINT, OnInterrupt);
    ProgressLine progress;
    const auto report = [&](int index, int count, const velmora::BatchPageResult &result) {
        progress.Clear();
        if (result.ok)
            std::printf("%s: ok\n", OneLine(result.page).constData());
        else
            std::printf("%s: failed: %s\n", OneLine(result.page).constData(),
                        OneLine(result.error).constData());
        std::fflush(stdout);
        progress.Show(index + 1, count);
    };
    const auto stopRequested = [] { return g_stopRequested != 0; };
    velmora::BatchSummary summary;
    if (options.jobs > 1 && !options.clear && collected.pages.size() > 1) {
        summary = velmora::RunThumbWorkers(QApplication::applicationFilePath(),
                                           WorkerArguments(options, folders), options.jobs,
                                           collected.pages, report, stopRequested);
    } else {
        ThumbsEngine engine(options, folders, settings);
        summary = velmora::RunThumbBatch(engine.maker, collected.pages,
                                         options.clear ? velmora::BatchMode::Clear
                                                       : velmora::BatchMode::Make,
                                         report, stopRequested);
    }
    progress.Clear();
    failed += summary.failed;

    if (summary.stopped || summary.outOfSpace) {
        std::fprintf(stderr, "velmora-thumbs: stopped after %d of %d pages\n", summary.done,
                     int(collected.pages.size()));
        return summary.stopped ? kStopped : kSomeFailed;
    }
    return failed > 0 ? kSomeFailed : kAllOk;
}

int main(int argc, char **argv) {
    // Memory that runs out is a message and a failed run, never an abort.
    try {
        // The file managers' thumbnailer: one page, one PNG, a bare environment.
        if (argc > 1 && std::strcmp(argv[1], "--thumbnail") == 0)
            return velmora::RunPageThumbnailer(argc, argv);
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("velmora-thumbs: not enough memory\n", stderr);
        return kSomeFailed;
    }
}
