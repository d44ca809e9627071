// Where the time goes when the site search reads one very large page: each
// step the search takes on a page of about 60 MB, timed on its own, the
// median of several runs. A step that takes long must be stoppable within
// it, or Stop waits for it to end.
//
//   sitesearch_page_steps [RUNS]
#include "editor/text_pattern.h"
#include "foundation/text_codec.h"
#include "sitesearch/byte_find.h"
#include "sitesearch/byte_replace.h"
#include "sitesearch/byte_prefilter.h"
#include "sitesearch/page_read.h"
#include "sitesearch/text_matches.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

QByteArray LargePage(qsizetype size) {
    const QByteArray line = "<p>reading writing testing and some other words in a line</p>\n";
    QByteArray page;
    page.reserve(size + line.size());
    while (page.size() < size)
        page += line;
    return page;
}

double MedianMs(int runs, const std::function<void()> &step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Keeps the compiler from leaving out a step whose result is not used.
volatile bool g_sink = false;

void Report(const char *step, double ms) {
    std::printf("  %-52s %8.1f ms\n", step, ms);
}

} // namespace

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"page.html"_s);
    const QByteArray page = LargePage(qsizetype(60) << 20);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size())
            return 1;
    }
    std::printf("one page of %.1f MB, median of %d runs\n", page.size() / 1048576.0, runs);
    QByteArray bytes;
    Report("read (from the page cache)", MedianMs(runs, [&] { ReadPageForSearch(path, bytes); }));
    const PatternOptions literal{.matchCase = true};
    const BytePrefilter prefilter(u"lighthouse"_s, literal);
    Report("prefilter: a literal that is not there",
           MedianMs(runs, [&] { prefilter.MayOccur(bytes); }));
    Report("byte kinds (NUL, CR, beyond ASCII)", MedianMs(runs, [&] { ScanByteKinds(bytes); }));
    Report("UTF-8 validity", MedianMs(runs, [&] { g_sink = QByteArrayView(bytes).isValidUtf8(); }));
    DecodedText decoded;
    // The text of the last run is let go first, as the search lets go of a
    // page's text before it decodes the next.
    Report("decode at once", MedianMs(runs, [&] {
               decoded = {};
               decoded = DecodeText(bytes);
           }));
    Report("decode in pieces (as the search does)", MedianMs(runs, [&] {
               decoded = {};
               decoded = *DecodeTextStoppable(bytes, [] { return false; });
           }));
    Report("ASCII check of the text",
           MedianMs(runs, [&] { g_sink = QtPrivate::isAscii(QStringView(decoded.text)); }));
    Report("UTF-16 validity of the text",
           MedianMs(runs, [&] { g_sink = QStringView(decoded.text).isValidUtf16(); }));
    // Counted only, as once the search holds as many as it keeps.
    const std::function<bool()> nothingKept = [] { return false; };
    const auto collect = [&](const QString &find, PatternOptions options) {
        const TextPattern pattern(find, options);
        return MedianMs(runs, [&] {
            std::vector<LineMatch> out;
            CollectMatches(decoded.text, pattern, out, nothingKept, {}, TextCheck::KnownValid);
        });
    };
    const auto collectBytes = [&](const QString &find, PatternOptions options) {
        const TextPattern pattern(find, options);
        return MedianMs(runs, [&] {
            std::vector<LineMatch> out;
            CollectMatchesInBytes(bytes, pattern, out, nothingKept, {});
        });
    };
    Report("literal in the bytes, never there", collectBytes(u"lighthouse"_s, literal));
    Report("literal in the text (any case), never there",
           collect(u"lighthouse"_s, PatternOptions{}));
    PatternOptions regex{.matchCase = true, .regularExpression = true};
    Report("regex lighthouse\\d, never there", collect(u"lighthouse\\d"_s, regex));
    Report("regex \\bzq\\w+\\b, never there", collect(u"\\bzq\\w+\\b"_s, regex));
    Report("regex (?<=x)yz, never there", collect(u"(?<=x)yz"_s, regex));
    Report("regex \\b\\w+ing\\b, 3 a line, in pieces (counted only)",
           collect(u"\\b\\w+ing\\b"_s, regex));
    // The same without pieces: how the matches were looked for before.
    const TextPattern ing(u"\\b\\w+ing\\b"_s, regex);
    Report("regex \\b\\w+ing\\b, one search of the whole text", MedianMs(runs, [&] {
               qint64 found = 0;
               for (qsizetype pos = 0;;) {
                   const PatternMatch m =
                       ing.NextPlace(decoded.text, pos, true, TextCheck::KnownAscii);
                   if (!m.Found())
                       break;
                   ++found;
                   pos = m.End();
               }
               g_sink = found > 0;
           }));
    // The same regular expressions matched in the page's bytes, undecoded.
    Report("UTF-8 scan for the bytes search (ASCII, neutral)",
           MedianMs(runs, [&] { g_sink = CheckUtf8Text(bytes) == TextCheck::KnownAscii; }));
    const auto collectRegexBytes = [&](const QString &find) {
        const TextPattern pattern(find, regex, PatternForms::WithUtf8);
        return MedianMs(runs, [&] {
            std::vector<LineMatch> out;
            g_sink = CollectMatchesInBytes(bytes, pattern, out, nothingKept, {}).has_value();
        });
    };
    Report("bytes: regex lighthouse\\d, never there", collectRegexBytes(u"lighthouse\\d"_s));
    Report("bytes: regex \\bzq\\w+\\b, never there", collectRegexBytes(u"\\bzq\\w+\\b"_s));
    Report("bytes: regex \\b\\w+ing\\b, 3 a line (counted only)",
           collectRegexBytes(u"\\b\\w+ing\\b"_s));
    Report("fingerprint", MedianMs(runs, [&] { PageFingerprint(bytes); }));
    // A page of text beyond ASCII (Cyrillic: two bytes a letter), the worst
    // case of the UTF-8 scan, which reads every character there.
    QByteArray cyrillic;
    while (cyrillic.size() < bytes.size())
        cyrillic += "<p>\xD1\x87\xD1\x82\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 "
                    "\xD0\xB8 \xD0\xBF\xD0\xB8\xD1\x81\xD1\x8C\xD0\xBC\xD0\xBE</p>\n";
    Report("UTF-8 scan of a page beyond ASCII (Cyrillic)",
           MedianMs(runs, [&] { g_sink = CheckUtf8Text(cyrillic) == TextCheck::KnownValid; }));

    // A minified page: the whole site on one line, the word found once
    // in every megabyte of it.
    QByteArray oneLine = bytes;
    oneLine.replace('\n', ' ');
    for (qsizetype at = 1000; at + 10 < oneLine.size(); at += qsizetype(1) << 20)
        oneLine.replace(at, 10, "lighthouse");
    const DecodedText oneLineText = DecodeText(oneLine);
    const TextPattern rare(u"lighthouse"_s, literal);
    Report("one line: literal in the bytes, 60 occurrences", MedianMs(runs, [&] {
               std::vector<LineMatch> out;
               CollectMatchesInBytes(oneLine, rare, out, {}, {});
           }));
    Report("one line: literal in the text, 60 occurrences", MedianMs(runs, [&] {
               std::vector<LineMatch> out;
               CollectMatches(oneLineText.text, rare, out, {}, {}, TextCheck::KnownValid);
           }));
    // Every occurrence described: its column and row on a line of 60 MB.
    const TextPattern rareRegex(u"lightho\\w+"_s, regex, PatternForms::WithUtf8);
    Report("one line: regex in the bytes, 60 occurrences", MedianMs(runs, [&] {
               std::vector<LineMatch> out;
               CollectMatchesInBytes(oneLine, rareRegex, out, {}, {});
           }));
    Report("one line: regex in the text, 60 occurrences", MedianMs(runs, [&] {
               std::vector<LineMatch> out;
               CollectMatches(oneLineText.text, rareRegex, out, {}, {}, TextCheck::KnownValid);
           }));
    // The preview of Replace All... on that page: the changed line, before
    // and after.
    Report("one line: replacement and its preview, 60 occurrences", MedianMs(runs, [&] {
               g_sink = ReplaceInBytes(oneLine, rare, u"beaconlamp"_s, 100).count > 0;
           }));
    return 0;
}
