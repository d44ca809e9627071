// Runs the site search (or a replacement across the pages it finds) once and
// prints what it found and how long it took:
//
//   sitesearch_bench_tool find FOLDER MASKS TEXT [regex] [case] [keep=N]
//   sitesearch_bench_tool replace FOLDER MASKS TEXT REPLACEMENT [regex] [case]
//
// find prints "matches N files M searched K not_kept C first_ms F total_ms
// T"; first_ms is the time from Start to the first page with occurrences
// arriving on the calling thread, as the window would show it; keep=N
// describes at most N occurrences (the rest are counted only), which are
// held to the end as the window holds them; searched_before_first is how
// many pages had been searched when the first result arrived. replace
// writes without backups and prints the time of the search and of the
// replacement apart, and the processor time the replacement took (all its
// threads, user and system).
#include "sitesearch/replace_apply.h"
#include "sitesearch/site_search.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

using namespace velmora;

namespace {

struct Found {
    SearchSummary summary;
    std::vector<ReplaceTarget> targets;
    // Every occurrence described, held as the window holds them, so that
    // the peak memory measured is that of a search shown in full.
    std::vector<FileMatches> held;
    qint64 firstMs = -1;
    qint64 searchedBeforeFirst = -1;
    qint64 totalMs = 0;
};

// User and system time of every thread of the process so far: with
// userOnly, the time in the program's own code, without the kernel's.
qint64 ProcessCpuMs(bool userOnly = false) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000; };
    return ms(usage.ru_utime) + (userOnly ? 0 : ms(usage.ru_stime));
}

Found RunSearch(const SiteSearchQuery &query, qint64 keep) {
    Found found;
    SiteSearch search;
    search.SetKeptMatches(keep);
    QElapsedTimer clock;
    QObject::connect(&search, &SiteSearch::fileMatched, [&](const FileMatches &file) {
        if (found.firstMs < 0) {
            found.firstMs = clock.elapsed();
            found.searchedBeforeFirst = search.Searched();
        }
        found.targets.push_back({file.path, file.stamp, file.fingerprint});
        found.held.push_back(file);
    });
    QObject::connect(&search, &SiteSearch::finished, [&](const SearchSummary &summary) {
        found.summary = summary;
        found.totalMs = clock.elapsed();
        QCoreApplication::quit();
    });
    clock.start();
    const QString error = search.Start(query);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(2);
    }
    QCoreApplication::exec();
    return found;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool replace = !args.isEmpty() && args[0] == u"replace";
    if (args.size() < (replace ? 5 : 4)) {
        std::fprintf(stderr, "usage: find FOLDER MASKS TEXT [regex] [case] | replace FOLDER "
                             "MASKS TEXT REPLACEMENT [regex] [case]\n");
        return 2;
    }
    SiteSearchQuery query;
    query.folder = args[1];
    query.masks = args[2];
    query.find = args[3];
    query.options.regularExpression = args.contains(u"regex");
    query.options.matchCase = args.contains(u"case");
    qint64 keep = kDefaultKeptMatches;
    for (const QString &arg : args)
        if (arg.startsWith(u"keep="))
            keep = arg.mid(5).toLongLong();
    const Found found = RunSearch(query, keep);
    if (!replace) {
        std::printf(
            "matches %lld files %lld searched %lld not_kept %lld first_ms %lld total_ms %lld "
            "searched_before_first %lld\n",
            found.summary.matches, found.summary.files, found.summary.searched,
            found.summary.notKept, found.firstMs, found.totalMs, found.searchedBeforeFirst);
        return 0;
    }
    QElapsedTimer applying;
    const qint64 cpuBefore = ProcessCpuMs();
    const qint64 userBefore = ProcessCpuMs(true);
    applying.start();
    ReplaceSettings settings;
    settings.folder = query.folder;
    settings.createBackups = false;
    const ReplaceOutcome outcome = ApplyReplacements(
        found.targets, TextPattern(query.find, query.options), args[4], settings, nullptr);
    const qint64 applyMs = applying.elapsed();
    std::printf("replaced %lld files %d skipped %zu search_ms %lld apply_ms %lld apply_cpu_ms %lld "
                "apply_user_ms %lld\n",
                outcome.occurrences, outcome.files, outcome.skipped.size(), found.totalMs, applyMs,
                ProcessCpuMs() - cpuBefore, ProcessCpuMs(true) - userBefore);
    return outcome.skipped.empty() ? 0 : 1;
}
