// The report view's data: filling the model with 500,000 rows in one reset and
// sorting it by each column, side by side with a QStandardItemModel sorted
// through a QSortFilterProxyModel, in the C locale and in a collating one.

#include "filelists/file_list_model.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

constexpr int kRows = 500'000;

const QStringList &Lines() {
    static const QStringList lines = [] {
        QRandomGenerator random(11);
        const char *const exts[] = {".htm", ".html", ".asp", ".jpg", ".gif", ".shtml"};
        QStringList result;
        result.reserve(kRows);
        for (int i = 0; i < kRows; ++i) {
            const int folder = random.bounded(5000);
            result.append(u"/home/user/web/section%1/part%2/*%3page%4*%5*%6*20%7-%8-%9  10:42"_s
                              .arg(folder % 50)
                              .arg(folder / 50)
                              .arg(random.bounded(2) ? u"Index"_s : u"news"_s)
                              .arg(random.bounded(kRows))
                              .arg(QString::fromLatin1(exts[random.bounded(6)]))
                              .arg(random.bounded(10'000'000))
                              .arg(10 + random.bounded(15))
                              .arg(1 + random.bounded(12), 2, 10, QChar(u'0'))
                              .arg(1 + random.bounded(28), 2, 10, QChar(u'0')));
        }
        return result;
    }();
    return lines;
}

QLocale LocaleOf(int which) {
    return which == 0 ? QLocale::c() : QLocale(QLocale::English, QLocale::UnitedStates);
}

// One reset with the default sort (Folder, ascending) applied afterwards.
void BM_ModelFill(benchmark::State &state) {
    const QStringList &lines = Lines();
    for (auto _ : state) {
        FileListModel model(LocaleOf(int(state.range(0))));
        model.FillLVFromList(lines);
        benchmark::DoNotOptimize(model.Count());
        state.PauseTiming(); // the model's destruction is not part of the fill
        model.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ModelFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ModelSort(benchmark::State &state) {
    FileListModel model(LocaleOf(int(state.range(1))));
    model.sort(-1);
    model.FillLVFromList(Lines());
    const int column = int(state.range(0));
    model.SetSortStyle(FileListModel::SortStyleForColumn(column));
    bool descending = false;
    for (auto _ : state) {
        model.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        descending = !descending;
    }
}
BENCHMARK(BM_ModelSort)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

void FillStandard(QStandardItemModel &model) {
    model.clear();
    model.setColumnCount(5);
    for (const QString &line : Lines()) {
        QList<QStandardItem *> row;
        for (const QString &field : line.split(u'*'))
            row.append(new QStandardItem(field)); // the model takes ownership
        model.appendRow(row);
    }
}

void BM_StandardModelFill(benchmark::State &state) {
    for (auto _ : state) {
        QStandardItemModel model;
        FillStandard(model);
        benchmark::DoNotOptimize(model.rowCount());
        state.PauseTiming();
        model.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StandardModelFill)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_StandardProxySort(benchmark::State &state) {
    QStandardItemModel model;
    FillStandard(model);
    QSortFilterProxyModel proxy;
    proxy.setSortLocaleAware(int(state.range(1)) == 1);
    proxy.setSortCaseSensitivity(Qt::CaseSensitive);
    proxy.setSourceModel(&model);
    const int column = int(state.range(0));
    bool descending = false;
    for (auto _ : state) {
        proxy.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        descending = !descending;
    }
}
BENCHMARK(BM_StandardProxySort)
    ->ArgsProduct({{0, 1, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
