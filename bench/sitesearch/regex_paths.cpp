// A regular expression searched in every page of a site held in memory, one
// thread, by the two ways the site search has: the page decoded to UTF-16
// and matched there, and the page matched in its UTF-8 bytes (falling back
// to the first for pages the bytes cannot answer for). No reading, no
// threads: only the work per page. Medians of several runs, with every
// occurrence described and with none described.
//
//   sitesearch_regex_paths FOLDER PATTERN [RUNS]
#include "editor/text_pattern.h"
#include "foundation/text_codec.h"
#include "sitesearch/text_matches.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace velmora;

namespace {

std::vector<QByteArray> ReadPages(const QString &folder) {
    std::vector<QByteArray> pages;
    QDirIterator it(folder, {QStringLiteral("*.html")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            pages.push_back(file.readAll());
    }
    return pages;
}

qint64 DecodedSearch(const QByteArray &page, const TextPattern &pattern, bool describe) {
    std::vector<LineMatch> out;
    const DecodedText decoded = DecodeText(page);
    return CollectMatches(
               decoded.text, pattern, out, [describe] { return describe; }, {},
               TextCheck::KnownValid)
        .found;
}

qint64 BytesSearch(const QByteArray &page, const TextPattern &pattern, bool describe) {
    std::vector<LineMatch> out;
    if (const auto found =
            CollectMatchesInBytes(page, pattern, out, [describe] { return describe; }, {}))
        return found->found;
    return DecodedSearch(page, pattern, describe);
}

double MedianMs(int runs, const std::function<qint64()> &search, qint64 *found) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        *found = search();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: sitesearch_regex_paths FOLDER PATTERN [RUNS]\n");
        return 2;
    }
    const std::vector<QByteArray> pages = ReadPages(args[0]);
    const int runs = args.size() > 2 ? args[2].toInt() : 5;
    const TextPattern pattern(args[1], {.regularExpression = true}, PatternForms::WithUtf8);
    qint64 bytes = 0;
    for (const QByteArray &page : pages)
        bytes += page.size();
    std::printf("%zu pages, %.1f MB, pattern %s, %d runs\n", pages.size(), bytes / 1e6,
                qPrintable(args[1]), runs);
    for (const bool describe : {false, true}) {
        for (const bool inBytes : {false, true}) {
            qint64 found = 0;
            const double ms = MedianMs(
                runs,
                [&] {
                    qint64 total = 0;
                    for (const QByteArray &page : pages)
                        total += inBytes ? BytesSearch(page, pattern, describe)
                                         : DecodedSearch(page, pattern, describe);
                    return total;
                },
                &found);
            std::printf("  %-8s %-13s median %8.1f ms  %lld occurrences\n",
                        inBytes ? "bytes" : "decoded", describe ? "all described" : "none kept", ms,
                        found);
        }
    }
    return 0;
}
