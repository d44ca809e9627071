// Format of a 2 MB page, side by side in one run:
//   BM_FormatInEditor  the editor window's Format, from the click until the
//                      editor has painted the formatted text (progress shown,
//                      events processed at every step)
//   BM_VelmoraFormat   the anchor: velmora-format on the same file, from the
//                      start of the process to its end (output discarded)
//   BM_PlainEditorTakesFormattedText
//                      the floor: a bare QPlainTextEdit showing the page is
//                      given the already formatted text with setPlainText
//                      (its cheapest way in, no undo), until it has painted;
//                      no formatting at all
// Both with the stock style; wall-clock times (manual time).

#include "editor/window/form_view.h"
#include "editor/window/source_edit.h"
#include "formatter/formatter_style.h"
#include "formatter/html_formatter.h"
#include "foundation/progress.h"
#include "foundation/prompts.h"
#include "foundation/view_selection.h"
#include "render/render_environment.h"
#include "render/render_profile.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kPageChars = 1990000;

// Paragraphs with inline tags, lists and small tables in lines of about 50
// characters, CR LF ended: somewhat under 2,000,000 characters, so that the
// editor holds it exactly.
QByteArray PageBytes() {
    static const char *const lines[] = {
        "<p>lorem ipsum <b>dolor</b> sit amet, consectetur",
        "adipiscing elit <a href=\"x.htm\">sed do</a> eiusmod</p>",
        "<table border=1><tr><td><img src=\"a.gif\"></td>",
        "<td>tempor incididunt ut labore</td></tr></table>",
        "<ul><li>et dolore <i>magna</i> aliqua<li>ut enim</ul>",
        "<div class=\"box\"><h2>minim veniam</h2> quis</div>",
    };
    QByteArray page = "<html><head><title>Bench</title></head><body>\r\n";
    qsizetype chars = page.size() - 1;
    for (size_t n = 0; chars < kPageChars; ++n) {
        const QByteArray line = lines[n % std::size(lines)];
        page += line + "\r\n";
        chars += line.size() + 1;
    }
    page += "</body></html>\r\n";
    return page;
}

class SilentPrompts final : public Prompts {
public:
    void ShowInfo(const QString &) override {}
    bool AskYesNo(const QString &) override { return false; }
    Answer AskYesNoCancel(const QString &) override { return Answer::No; }
    void ShowError(const QString &) override {}
    void Beep() override {}
};

class OneFile final : public ViewSelection {
public:
    QString GetCurrentFile() const override { return file; }
    TSelectionInfo GetSelectionInfo() const override { return {0, 1, 1}; }
    QStringList SelectedFiles() const override { return {file}; }
    QString GetViewFile(int i, bool) const override { return i == 0 ? file : QString(); }
    QString file;
};

class NullBar final : public ProgressBar {
public:
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
};

// Notes every paint of the editor's viewport.
class PaintSeen final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

struct Fixture {
    QTemporaryDir dir;
    QString page;

    Fixture() : page(dir.filePath(u"page.htm"_s)) {
        QFile file(page);
        if (file.open(QIODevice::WriteOnly))
            file.write(PageBytes());
    }
};

Fixture &Files() {
    static Fixture fixture;
    return fixture;
}

double Seconds(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

bool WaitFor(const std::function<bool()> &done) {
    return bench::RunEventsUntil(done, 120000);
}

void BM_FormatInEditor(benchmark::State &state) {
    RenderProfile profile;
    SilentPrompts prompts;
    OneFile selection;
    NullBar bar;
    EditorDocument document(prompts);
    TFormView view(document, profile, prompts, selection, nullptr);
    view.SetFormatStyle(LoadFormatterStyle(QStringLiteral(VELMORA_STOCK_STYLE)));
    view.SetProgressBar(&bar);
    view.findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(1);
    view.resize(1000, 700);
    view.show();
    PaintSeen paints;
    view.REScreen()->viewport()->installEventFilter(&paints);
    selection.file = Files().page;
    document.Load(selection.file);
    // The browser's own work on the page is over before anything is timed.
    if (!WaitFor([&] { return !view.BrowserBusy(); }))
        state.SkipWithError("page never loaded");
    const QString original = view.REScreen()->EditedText();
    for (auto _ : state) {
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        view.BFormatClick();
        paints.painted = false; // paints while it ran showed the old text
        if (!WaitFor([&] { return paints.painted; }))
            state.SkipWithError("no paint");
        state.SetIterationTime(Seconds(timer));
        if (view.REScreen()->EditedText() == original)
            state.SkipWithError("nothing formatted");
        view.REScreen()->undo();
    }
}
BENCHMARK(BM_FormatInEditor)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PlainEditorTakesFormattedText(benchmark::State &state) {
    const QString original = QString::fromUtf8(PageBytes()).replace(u"\r\n"_s, u"\n"_s);
    const QString formatted = FormatHtml(
        original, LoadFormatterStyle(QStringLiteral(VELMORA_STOCK_STYLE)), QString(), {}, u"\n");
    QPlainTextEdit edit;
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.resize(1000, 640);
    edit.show();
    PaintSeen paints;
    edit.viewport()->installEventFilter(&paints);
    for (auto _ : state) {
        edit.setPlainText(original);
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        edit.setPlainText(formatted);
        paints.painted = false;
        if (!WaitFor([&] { return paints.painted; }))
            state.SkipWithError("no paint");
        state.SetIterationTime(Seconds(timer));
    }
}
BENCHMARK(BM_PlainEditorTakesFormattedText)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_VelmoraFormat(benchmark::State &state) {
    for (auto _ : state) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(VELMORA_FORMAT_EXE),
                      {u"--style"_s, QStringLiteral(VELMORA_STOCK_STYLE), Files().page});
        if (!process.waitForFinished(120000) || process.exitCode() != 0)
            state.SkipWithError("velmora-format failed");
        state.SetIterationTime(Seconds(timer));
    }
}
BENCHMARK(BM_VelmoraFormat)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    PrepareRenderingBeforeApplication();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setCursorFlashTime(0); // no caret blinking between the paints
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The engine goes down with the process.
    _Exit(0);
}
