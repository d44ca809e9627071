// The File Lists tab's report view with half a million rows: a list file read
// and shown (fill, sort, first paint), a header click that re-sorts and
// paints, page-downs through the 500,000 rows (each timed from the key to
// the end of the paint), and Select All then Take out of 250,000 rows. The anchor is a
// QTreeView over a QStandardItemModel sorted through a QSortFilterProxyModel.
//   report_view_bench [RUNS]
// prints the median of each figure in milliseconds and the ratio to the anchor.

#include "filelists/file_list_model.h"
#include "filelists/list_file.h"
#include "filelists/window/elv_report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

QStringList MakeLines(int rows) {
    QRandomGenerator random(11);
    const char *const exts[] = {".htm", ".html", ".asp", ".jpg", ".gif", ".shtml"};
    QStringList lines;
    lines.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        const int folder = random.bounded(5000);
        lines.append(
            u"/home/user/web/section%1/part%2/*%3page%4*%5*%6*20%7-%8-%9  10:42"_s.arg(folder % 50)
                .arg(folder / 50)
                .arg(random.bounded(2) ? u"Index"_s : u"news"_s)
                .arg(random.bounded(rows))
                .arg(QString::fromLatin1(exts[random.bounded(6)]))
                .arg(random.bounded(10'000'000))
                .arg(10 + random.bounded(15))
                .arg(1 + random.bounded(12), 2, 10, QChar(u'0'))
                .arg(1 + random.bounded(28), 2, 10, QChar(u'0')));
    }
    return lines;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Time of one call in milliseconds; prepare runs before, untimed.
double Time(const std::function<void()> &prepare, const std::function<void()> &work) {
    if (prepare)
        prepare();
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void Paint(QWidget &view) {
    view.repaint();
    QCoreApplication::processEvents();
}

// A new model filled before the view is given it, as a bulk load into a
// standard model is done: rows inserted one by one under a shown view cost
// far more.
std::unique_ptr<QStandardItemModel> StandardModel(const QStringList &lines) {
    auto model = std::make_unique<QStandardItemModel>(0, 5);
    for (const QString &line : lines) {
        QList<QStandardItem *> row;
        for (const QString &field : line.split(u'*'))
            row << new QStandardItem(field);
        model->appendRow(row);
    }
    return model;
}

void SendKey(QWidget &view, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &release);
}

// Page-downs from a few places spread over the list, as a reader pages
// through it: each one timed from the key press until the viewport has
// painted the new page.
// Returns the rows the last page-downs moved, so that the output shows
// the keys really scrolled.
int PageDowns(QTreeView &view, int pages, std::vector<double> &times) {
    const QAbstractItemModel *model = view.model();
    const int rows = model->rowCount();
    constexpr int kStarts = 4;
    int moved = 0;
    for (int start = 0; start < kStarts; ++start) {
        const int first = rows * start / kStarts;
        view.setCurrentIndex(model->index(first, 0));
        view.scrollTo(view.currentIndex(), QAbstractItemView::PositionAtTop);
        Paint(view);
        for (int page = 0; page < pages; ++page)
            times.push_back(Time({}, [&] {
                SendKey(view, Qt::Key_PageDown);
                view.viewport()->repaint();
            }));
        moved = view.currentIndex().row() - first;
    }
    return moved;
}

double Percentile95(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() * 95 / 100];
}

// Progress on stderr with the seconds since the start, for long runs.
QElapsedTimer sinceStart;
void Note(const char *what) {
    std::fprintf(stderr, "%7.1f s  %s\n", double(sinceStart.elapsed()) / 1000, what);
}

struct Figure {
    const char *name;
    double goal;
    std::vector<double> ours;
    std::vector<double> anchor;
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    sinceStart.start();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int rows = argc > 2 ? std::max(2, atoi(argv[2])) : 500'000;
    const QStringList lines = MakeLines(rows);
    const QStringList half = lines.mid(0, rows / 2);
    QTemporaryDir dir;
    const QString listPath = dir.path() + u"/big.lst"_s;
    WriteListFile(listPath, lines);

    ELVReport report;
    report.resize(900, 700);
    report.show();
    QTreeView plain;
    auto standard = std::make_unique<QStandardItemModel>();
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(standard.get());
    plain.setModel(&proxy);
    plain.setUniformRowHeights(true);
    plain.setRootIsDecorated(false);
    plain.setSelectionMode(QAbstractItemView::ExtendedSelection);
    plain.setSelectionBehavior(QAbstractItemView::SelectRows);
    plain.resize(900, 700);
    plain.show();
    QCoreApplication::processEvents();
    Note("set up");

    Figure load{"load 500,000 from a list file, sort, first paint", 600, {}, {}};
    Figure resort{"header click re-sort of 500,000, painted", 500, {}, {}};
    constexpr int kPages = 50;
    int pagedRows = 0;
    int pagedRowsAnchor = 0;
    Figure scroll{"page-down through 500,000, painted (per page)", 16, {}, {}};
    Figure takeOut{"Select All + Take out of 250,000", 500, {}, {}};
    for (int run = 0; run < runs; ++run) {
        Note("run");
        load.ours.push_back(Time([&] { report.Model().Clear(); },
                                 [&] {
                                     ListFileText read = ReadListFile(listPath);
                                     report.setUpdatesEnabled(false);
                                     report.Model().FillLVFromList(read.lines);
                                     report.setUpdatesEnabled(true);
                                     Paint(report);
                                 }));
        Note("load.anchor");
        load.anchor.push_back(Time({}, [&] {
            ListFileText read = ReadListFile(listPath);
            auto filled = StandardModel(read.lines);
            proxy.setSourceModel(filled.get());
            proxy.sort(0);
            standard = std::move(filled);
            Paint(plain);
        }));
        Note("resort.ours");
        resort.ours.push_back(Time([&] { report.RestoreSort(0, true); },
                                   [&] {
                                       report.ColumnClick(FieldSize);
                                       Paint(report);
                                   }));
        Note("resort.anchor");
        resort.anchor.push_back(Time({}, [&] {
            proxy.sort(3, run % 2 ? Qt::AscendingOrder : Qt::DescendingOrder);
            Paint(plain);
        }));
        Note("scroll.ours");
        pagedRows = PageDowns(report, kPages, scroll.ours);
        Note("scroll.anchor");
        pagedRowsAnchor = PageDowns(plain, kPages, scroll.anchor);
        Note("takeOut.ours");
        takeOut.ours.push_back(Time([&] { report.Model().FillLVFromList(half); },
                                    [&] {
                                        report.SelectAllRows();
                                        report.TakeOutSelectedEntries();
                                        Paint(report);
                                    }));
        Note("takeOut.anchor");
        takeOut.anchor.push_back(Time(
            [&] {
                auto filled = StandardModel(half);
                proxy.setSourceModel(filled.get());
                standard = std::move(filled);
            },
            [&] {
                plain.selectAll();
                standard->removeRows(0, standard->rowCount());
                Paint(plain);
            }));
    }
    Note("done");
    std::printf("%d runs, medians in ms\n", runs);
    for (const Figure *f : {&load, &resort, &scroll, &takeOut}) {
        const double ours = Median(f->ours);
        const double anchor = Median(f->anchor);
        std::printf("%-52s %8.1f  (goal %4.0f)  anchor %8.1f  ratio %.2f\n", f->name, ours, f->goal,
                    anchor, ours / anchor);
    }
    std::printf("%zu pages each; 95th percentile of a page: ours %.2f  anchor %.2f; "
                "%d pages moved ours %d rows, anchor %d\n",
                scroll.ours.size(), Percentile95(scroll.ours), Percentile95(scroll.anchor), kPages,
                pagedRows, pagedRowsAnchor);
    return 0;
}
