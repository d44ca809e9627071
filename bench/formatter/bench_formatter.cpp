// In-process formatting and colour tokenizing. Pairs of sizes four times apart
// show how the time grows; bytes per second are of the UTF-16 input.
//
// Also writes the generated inputs for compare.sh:
//   bench_formatter --write-page FILE SIZE | --write-nested FILE DEPTH |
//                   --write-attribute FILE LENGTH

#include "editor/syntax_rtf.h"
#include "editor/syntax_tokenizer.h"
#include "formatter/html_formatter.h"
#include "html_generator.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <cstdio>
#include <cstring>
#include <iterator>

using namespace velmora;

namespace {

const FormatterStyle &Stock() {
    static const FormatterStyle style = LoadFormatterStyle(QStringLiteral(VELMORA_STOCK_STYLE));
    return style;
}

void RunFormat(benchmark::State &state, const QString &page) {
    const FormatterStyle &style = Stock();
    for (auto _ : state) {
        QString out = FormatHtml(page, style);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * page.size() * 2);
    state.counters["chars"] = double(page.size());
}

void BM_FormatRealisticPage(benchmark::State &state) {
    RunFormat(state, testing::GenerateHtml(testing::PageShape::Realistic, state.range(0), 1));
}
BENCHMARK(BM_FormatRealisticPage)
    ->Arg(512 << 10)
    ->Arg(2 << 20)
    ->Arg(8 << 20)
    ->Unit(benchmark::kMillisecond);

void BM_FormatMessyPage(benchmark::State &state) {
    RunFormat(state, testing::GenerateHtml(testing::PageShape::Messy, state.range(0), 1));
}
BENCHMARK(BM_FormatMessyPage)->Arg(512 << 10)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

void BM_FormatNestedDivs(benchmark::State &state) {
    RunFormat(state, testing::NestedDivs(int(state.range(0))));
}
BENCHMARK(BM_FormatNestedDivs)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Deep nesting of each kind (the first argument, in the order of
// testing::kNestKinds), at two depths four times apart.
void BM_FormatDeepNesting(benchmark::State &state) {
    const testing::NestKind kind = testing::kNestKinds[size_t(state.range(0))];
    state.SetLabel(testing::NestKindName(kind));
    RunFormat(state, testing::NestedPage(kind, int(state.range(1))));
}
BENCHMARK(BM_FormatDeepNesting)
    ->ArgsProduct({benchmark::CreateDenseRange(0, std::size(testing::kNestKinds) - 1, 1),
                   {25000, 100000}})
    ->Unit(benchmark::kMillisecond);

void BM_FormatLongAttribute(benchmark::State &state) {
    RunFormat(state, testing::LongAttribute(state.range(0)));
}
BENCHMARK(BM_FormatLongAttribute)->Arg(256 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

QString ColourText(qsizetype size) {
    QString page = testing::GenerateHtml(testing::PageShape::Realistic, size, 2);
    page.truncate(size);
    return page;
}

void BM_TokenizeForColour(benchmark::State &state) {
    const QString text = ColourText(state.range(0));
    for (auto _ : state) {
        auto runs = TokenizeSyntax(text);
        benchmark::DoNotOptimize(runs.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}
BENCHMARK(BM_TokenizeForColour)->Arg(500000)->Arg(2000000)->Unit(benchmark::kMillisecond);

void BM_BuildSyntaxRtf(benchmark::State &state) {
    const QString text = ColourText(state.range(0));
    for (auto _ : state) {
        QByteArray rtf = BuildSyntaxRtf(text, SyntaxPalette(1));
        benchmark::DoNotOptimize(rtf.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}
BENCHMARK(BM_BuildSyntaxRtf)->Arg(2000000)->Unit(benchmark::kMillisecond);

bool WriteInput(int argc, char **argv) {
    if (argc != 4 || std::strncmp(argv[1], "--write-", 8) != 0)
        return false;
    const long n = std::atol(argv[3]);
    QString text;
    if (std::strcmp(argv[1], "--write-page") == 0)
        text = testing::GenerateHtml(testing::PageShape::Realistic, n, 1);
    else if (std::strcmp(argv[1], "--write-nested") == 0)
        text = testing::NestedDivs(int(n));
    else if (std::strcmp(argv[1], "--write-attribute") == 0)
        text = testing::LongAttribute(n);
    else
        return false;
    QFile f(QString::fromLocal8Bit(argv[2]));
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        std::exit(1);
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (WriteInput(argc, argv))
        return 0;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
