// The editor control with a 2,000,000-character page, in a shown window:
//   BM_ShowPage   from giving the control the page to its first finished paint
//   BM_TypeLetter from one letter typed in the middle of the page to its repaint
//   BM_ReplaceAll Replace All of 100,000 occurrences in the page, to its repaint
//                 (the anchor: the replaced text given to a bare control)
//   BM_TypeTag    the same for a "<" typed, with the recolouring of the tag
// for SourceEdit (control:0, colouring on) and, as the anchor, a bare
// QPlainTextEdit with default settings doing the same (control:1), and a
// QPlainTextEdit coloured by a plain QSyntaxHighlighter with the same four
// rules (control:2, shown and typing only), and SourceEdit with its line
// numbers switched off (control:3, showing, typing and scrolling: the cost
// of the numbers); a page of lines of about 50
// characters (shape:0) and a page that is one single line (shape:1). The
// times are wall-clock, measured by the benchmark itself (manual time). Also
// the time of decoding and encoding the page's bytes.
//   BM_ScrollPage one page down in the middle of the page, to its repaint
//   BM_MatchingTag the tag matching itself on the page wrapped in <html>:
//                 the caret in the outermost opening tag (where:0), in the
//                 outermost closing tag (where:1), in a tag mid-page (where:2)
//   BM_CaretToTag the caret put into the outermost tag of the shown page, to
//                 the repaint with its partner highlighted

#include "editor/editor_text.h"
#include "editor/search_replace.h"
#include "editor/tag_match.h"
#include "editor/window/source_edit.h"
#include "editor/window/source_edit_text.h"
#include "foundation/prompts.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <utility>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

enum Control { kSourceEdit = 0, kBareEdit = 1, kHighlighted = 2, kNoLineNumbers = 3 };

bool IsSourceEdit(Control control) {
    return control == kSourceEdit || control == kNoLineNumbers;
}
enum Shape { kLines = 0, kOneLine = 1 };

// HTML-like lines of 40 to 60 characters, CR LF ended, kEditorMaxChars
// characters in all once the line ends count one each.
QByteArray PageBytes(Shape shape) {
    static const char *const words[] = {"lorem",          "ipsum", "dolor", "sit",
                                        "amet",           "<b>",   "</b>",  "consectetur",
                                        "href=\"x.htm\"", "elit"};
    QByteArray page;
    page.reserve(kEditorMaxChars + kEditorMaxChars / 40);
    qsizetype chars = 0;
    unsigned seed = 1;
    while (chars < kEditorMaxChars) {
        QByteArray line = "<p>";
        const int length = 40 + int(seed % 21);
        while (line.size() < length) {
            seed = seed * 1103515245u + 12345u;
            line += words[(seed >> 16) % std::size(words)];
            line += ' ';
        }
        line.truncate(std::min<qsizetype>(length, kEditorMaxChars - chars - 1));
        chars += line.size() + 1;
        page += line;
        page += shape == kLines ? "\r\n" : " ";
    }
    return page;
}

const EditorText &Page(Shape shape) {
    static const EditorText pages[] = {DecodeEditorText(PageBytes(kLines)),
                                       DecodeEditorText(PageBytes(kOneLine))};
    return pages[shape];
}

// A control that notes when a paint of its viewport has finished.
template <class Base> class Painted : public Base {
public:
    bool painted = false;

protected:
    void paintEvent(QPaintEvent *event) override {
        Base::paintEvent(event);
        painted = true;
    }
};

// The editor's four colours the usual way: a highlighter that colours each
// block as it changes, carrying the open tag, value or comment over to the
// next block in the block state. Same rules as the editor's tokenizer.
class TagHighlighter final : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    enum State { kText = 0, kTag = 1, kQuoted = 2, kComment = 3 };

    void highlightBlock(const QString &text) override {
        static const QColor colours[] = {Qt::black, Qt::blue, Qt::red, Qt::darkCyan};
        int state = std::max(0, previousBlockState());
        const qsizetype n = text.size();
        qsizetype i = 0;
        while (i < n) {
            const qsizetype start = i;
            if (state == kText) {
                i = text.indexOf(u'<', i);
                if (i < 0)
                    i = n;
                setFormat(int(start), int(i - start), colours[kText]);
                if (i < n)
                    state = QStringView(text).mid(i + 1).startsWith(u"!--") ? kComment : kTag;
                if (state == kTag)
                    ++i, setFormat(int(i - 1), 1, colours[kTag]);
            } else if (state == kComment) {
                const qsizetype close = text.indexOf(u"-->", i);
                i = close < 0 ? n : close + 3;
                setFormat(int(start), int(i - start), colours[kComment]);
                if (close >= 0)
                    state = kText;
            } else if (state == kTag) {
                while (i < n && text[i] != u'>' && text[i] != u'<' && text[i] != u'"')
                    ++i;
                if (i < n && text[i] == u'>') {
                    ++i;
                    state = kText;
                } else if (i < n && text[i] == u'<') {
                    state = kText;
                } else if (i < n) {
                    state = kQuoted;
                }
                setFormat(int(start), int(i - start), colours[kTag]);
                if (state == kQuoted)
                    ++i, setFormat(int(i - 1), 1, colours[kQuoted]);
            } else {
                while (i < n && text[i] != u'"' && text[i] != u'<' && text[i] != u'>')
                    ++i;
                if (i < n && text[i] == u'"')
                    ++i;
                setFormat(int(start), int(i - start), colours[kQuoted]);
                if (i < n || (i > start && text[i - 1] == u'"'))
                    state = kTag;
            }
        }
        setCurrentBlockState(state);
    }
};

// A window of a usual size holding one control of the kind asked for.
struct Window {
    QWidget window;
    QPlainTextEdit *edit = nullptr;
    std::function<bool()> painted;

    explicit Window(Control control) {
        auto *layout = new QVBoxLayout(&window);
        if (IsSourceEdit(control)) {
            auto *e = new Painted<SourceEdit>;
            e->SetLineNumbers(control == kSourceEdit);
            painted = [e] { return std::exchange(e->painted, false); };
            edit = e;
        } else {
            auto *e = new Painted<QPlainTextEdit>;
            painted = [e] { return std::exchange(e->painted, false); };
            edit = e;
            if (control == kHighlighted)
                new TagHighlighter(e->document());
        }
        layout->addWidget(edit);
        window.resize(1000, 700);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        WaitForPaint();
    }

    void Show(Control control, const EditorText &text) {
        if (IsSourceEdit(control))
            static_cast<SourceEdit *>(edit)->ShowText(text);
        else
            edit->setPlainText(text.text);
    }

    // Runs the event loop until the viewport has been painted once more.
    bool WaitForPaint() {
        return velmora::bench::RunEventsUntil([this] { return painted(); }, 60000);
    }
};

double Seconds(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

void BM_ShowPage(benchmark::State &state) {
    const Control control = Control(state.range(0));
    const EditorText &page = Page(Shape(state.range(1)));
    Window w(control);
    for (auto _ : state) {
        w.edit->clear(); // every round replaces a page, not an empty text
        w.WaitForPaint();
        QCoreApplication::processEvents();
        w.painted();
        QElapsedTimer timer;
        timer.start();
        w.Show(control, page);
        if (!w.WaitForPaint())
            state.SkipWithError("no paint");
        state.SetIterationTime(Seconds(timer));
    }
    state.counters["chars"] = double(page.text.size());
}
BENCHMARK(BM_ShowPage)
    ->ArgsProduct({{kSourceEdit, kBareEdit, kHighlighted, kNoLineNumbers}, {kLines, kOneLine}})
    ->ArgNames({"control", "shape"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A full page takes no more letters: one character less, and every letter
// typed is taken back (untimed) before the next.
EditorText RoomForOne(const EditorText &page) {
    EditorText t = page;
    if (t.text.endsWith(u'\n'))
        t.lineEnds.pop_back();
    t.text.chop(1);
    return t;
}

void TypeMidPage(benchmark::State &state, Qt::Key key) {
    const Control control = Control(state.range(0));
    const EditorText page = RoomForOne(Page(Shape(state.range(1))));
    Window w(control);
    w.Show(control, page);
    w.WaitForPaint();
    QTextCursor middle = w.edit->textCursor();
    middle.setPosition(int(page.text.size() / 2));
    w.edit->setTextCursor(middle);
    w.edit->ensureCursorVisible();
    w.WaitForPaint();
    for (auto _ : state) {
        QCoreApplication::processEvents(); // nothing left over from before
        w.painted();
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(w.edit, key);
        if (!w.WaitForPaint())
            state.SkipWithError("no paint");
        state.SetIterationTime(Seconds(timer));
        QTest::keyClick(w.edit, Qt::Key_Backspace);
        w.WaitForPaint();
    }
}
void BM_TypeLetter(benchmark::State &state) {
    TypeMidPage(state, Qt::Key_A);
}
BENCHMARK(BM_TypeLetter)
    ->ArgsProduct({{kSourceEdit, kBareEdit, kHighlighted, kNoLineNumbers}, {kLines, kOneLine}})
    ->ArgNames({"control", "shape"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_TypeTag(benchmark::State &state) {
    TypeMidPage(state, Qt::Key_Less);
}
BENCHMARK(BM_TypeTag)
    ->ArgsProduct({{kSourceEdit, kBareEdit, kHighlighted}, {kLines, kOneLine}})
    ->ArgNames({"control", "shape"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_ScrollPage(benchmark::State &state) {
    const Control control = Control(state.range(0));
    const EditorText &page = Page(kLines);
    Window w(control);
    w.Show(control, page);
    w.WaitForPaint();
    QScrollBar *bar = w.edit->verticalScrollBar();
    const int middle = bar->maximum() / 2;
    bool down = true;
    for (auto _ : state) {
        QCoreApplication::processEvents();
        w.painted();
        QElapsedTimer timer;
        timer.start();
        bar->setValue(down ? middle + bar->pageStep() : middle);
        if (!w.WaitForPaint())
            state.SkipWithError("no paint");
        state.SetIterationTime(Seconds(timer));
        down = !down;
    }
}
BENCHMARK(BM_ScrollPage)
    ->ArgsProduct({{kSourceEdit, kBareEdit, kNoLineNumbers}, {kLines}})
    ->ArgNames({"control", "shape"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The page of lines inside <html><body> ... </body></html>, cut to
// kEditorMaxChars characters.
const QString &NestedPage() {
    static const QString page = [] {
        const QString head = u"<html><body>\n"_s;
        const QString tail = u"</body></html>"_s;
        QString body = Page(kLines).text;
        body.truncate(kEditorMaxChars - head.size() - tail.size());
        return head + body + tail;
    }();
    return page;
}

void BM_MatchingTag(benchmark::State &state) {
    const QString &page = NestedPage();
    const qsizetype carets[] = {2, page.size() - 3, page.indexOf(u"<b>"_s, page.size() / 2) + 1};
    const qsizetype caret = carets[state.range(0)];
    for (auto _ : state) {
        const std::optional<TagPair> pair = MatchingTag(page, caret);
        if (!pair)
            state.SkipWithError("no partner");
        benchmark::DoNotOptimize(pair);
    }
    state.counters["chars"] = double(page.size());
}
BENCHMARK(BM_MatchingTag)->DenseRange(0, 2)->ArgName("where")->Unit(benchmark::kMillisecond);

void BM_CaretToTag(benchmark::State &state) {
    const QString &page = NestedPage();
    Window w(kSourceEdit);
    auto *edit = static_cast<SourceEdit *>(w.edit);
    edit->ShowText(DecodeEditorText(page.toUtf8()));
    w.WaitForPaint();
    QTest::qWait(kMatchAfterEditMs + 50); // the look after loading is done
    bool inTag = false;
    for (auto _ : state) {
        QCoreApplication::processEvents();
        w.painted();
        QTextCursor cursor = edit->textCursor();
        QElapsedTimer timer;
        timer.start();
        cursor.setPosition(inTag ? 0 : 2); // out of the <html> tag and into it
        edit->setTextCursor(cursor);
        // Until the caret is painted and the partner found (or gone); the
        // partner at the page's end is off screen and needs no paint.
        const bool wanted = !inTag;
        bool paintedSince = false;
        const bool done = velmora::bench::RunEventsUntil(
            [&] {
                paintedSince = w.painted() || paintedSince;
                return paintedSince && edit->MatchedTag().has_value() == wanted;
            },
            60000);
        if (!done)
            state.SkipWithError("no paint of the partner");
        state.SetIterationTime(Seconds(timer));
        inTag = !inTag;
    }
}
BENCHMARK(BM_CaretToTag)->UseManualTime()->Unit(benchmark::kMillisecond);

// Messages are not shown while measuring.
class SilentPrompts final : public Prompts {
public:
    void ShowInfo(const QString &) override {}
    bool AskYesNo(const QString &) override { return false; }
    Answer AskYesNoCancel(const QString &) override { return Answer::Cancel; }
    void ShowError(const QString &) override {}
    void Beep() override {}
};

constexpr int kOccurrences = 100000;

// kOccurrences lines of 20 characters, each holding "old" once: 2,000,000
// characters with the line breaks (spaces for the single-line shape).
EditorText ReplacePage(Shape shape) {
    QByteArray page;
    for (int n = 0; n < kOccurrences; ++n)
        page += shape == kLines ? "<p>the old word</p>\n" : "<p>the old word</p> ";
    return DecodeEditorText(page);
}

void BM_ReplaceAll(benchmark::State &state) {
    const Control control = Control(state.range(0));
    const EditorText page = ReplacePage(Shape(state.range(1)));
    SilentPrompts prompts;
    Window w(control);
    for (auto _ : state) {
        w.Show(control, page);
        w.WaitForPaint();
        QCoreApplication::processEvents();
        w.painted();
        QElapsedTimer timer;
        timer.start();
        if (control == kSourceEdit) {
            SourceEditText text(*static_cast<SourceEdit *>(w.edit));
            if (ReplaceAllInEditor(text, u"old"_s, u"new"_s, {}, 0, prompts) != kOccurrences)
                state.SkipWithError("wrong count");
        } else {
            w.edit->setPlainText(QString(page.text).replace(u"old"_s, u"new"_s));
        }
        if (!w.WaitForPaint())
            state.SkipWithError("no paint");
        state.SetIterationTime(Seconds(timer));
    }
}
BENCHMARK(BM_ReplaceAll)
    ->ArgsProduct({{kSourceEdit, kBareEdit}, {kLines, kOneLine}})
    ->ArgNames({"control", "shape"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The logic around the control: the page's bytes to its text, and an edited
// text back to bytes.
void BM_DecodePage(benchmark::State &state) {
    const QByteArray bytes = PageBytes(kLines);
    for (auto _ : state) {
        EditorText t = DecodeEditorText(bytes);
        benchmark::DoNotOptimize(t.text.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_DecodePage)->Unit(benchmark::kMillisecond);

void BM_EncodeEditedPage(benchmark::State &state) {
    const EditorText &page = Page(kLines);
    QString edited = page.text;
    edited.insert(edited.size() / 2, u"typed"_s);
    for (auto _ : state) {
        QByteArray bytes = EncodeEditorText(page, edited);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_EncodeEditedPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setCursorFlashTime(0); // no caret blinking between the paints
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
