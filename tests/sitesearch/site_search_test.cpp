// The site-wide search on its threads: which pages it reads, what it skips,
// the order of its results, its limits and how fast it stops.
#include "sitesearch/site_search.h"

#include "foundation/text_codec.h"
#include "sitewalk/file_search.h"

#include "temp_files.h"
#include "unusual_files.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include <fcntl.h>
#include <unistd.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::WriteBytes;

struct Outcome {
    std::vector<FileMatches> files;
    SearchSummary summary;
    QString error;
};

// Runs a search to its end, collecting what it sends.
Outcome RunSearch(const SiteSearchQuery &query, qint64 kept = kDefaultKeptMatches) {
    SiteSearch search;
    search.SetKeptMatches(kept);
    Outcome outcome;
    QObject::connect(&search, &SiteSearch::fileMatched,
                     [&](const FileMatches &file) { outcome.files.push_back(file); });
    QSignalSpy finished(&search, &SiteSearch::finished);
    outcome.error = search.Start(query);
    if (!outcome.error.isEmpty())
        return outcome;
    EXPECT_TRUE(finished.wait(10000));
    if (!finished.isEmpty())
        outcome.summary = finished.first().first().value<SearchSummary>();
    EXPECT_FALSE(search.Running());
    return outcome;
}

QStringList Names(const Outcome &outcome, const QString &root) {
    QStringList names;
    for (const FileMatches &file : outcome.files)
        names << file.path.mid(root.size());
    return names;
}

class SiteSearchTest : public ::testing::Test {
protected:
    QString Root() const { return dir_.path() + u'/'; }
    void Write(const QString &name, const QByteArray &bytes) { WriteBytes(Root() + name, bytes); }
    SiteSearchQuery Query(const QString &find, const QString &masks = u"*.htm"_s) const {
        SiteSearchQuery query;
        query.folder = Root();
        query.masks = masks;
        query.find = find;
        return query;
    }

    QTemporaryDir dir_;
};

TEST_F(SiteSearchTest, WalksByTheFileSearchRulesAndReportsInItsOrder) {
    Write(u"a.htm"_s, "word\nword word\n");
    Write(u"b.HTML"_s, "<p>Word</p>");
    Write(u"c.txt"_s, "word");          // not in the masks
    Write(u".hidden.htm"_s, "word");    // hidden
    Write(u".hid/inner.htm"_s, "word"); // in a hidden folder
    Write(u"sub/d.htm"_s, "no match here");
    Write(u"sub/deeper/e.htm"_s, "a word");
    ASSERT_EQ(::symlink(".", QFile::encodeName(Root() + u"sub/loop"_s).constData()), 0);

    const Outcome all = RunSearch(Query(u"word"_s));
    ASSERT_TRUE(all.error.isEmpty());
    QStringList names = Names(all, Root());
    names.sort();
    // The link back to the top is not walked a second time.
    EXPECT_EQ(names, (QStringList{u"a.htm"_s, u"b.HTML"_s, u"sub/deeper/e.htm"_s}));
    EXPECT_EQ(all.summary.matches, 5);
    EXPECT_EQ(all.summary.files, 3);
    EXPECT_EQ(all.summary.searched, 4);
    EXPECT_EQ(all.summary.skipped, 0);
    EXPECT_FALSE(all.summary.stopped);
    ASSERT_EQ(all.files.front().matches.size(), size_t(all.files.front().count));

    SiteSearchQuery top = Query(u"word"_s, u"*.htm;*.txt"_s);
    top.includeSubfolders = false;
    top.options.matchCase = true;
    QStringList topNames = Names(RunSearch(top), Root());
    topNames.sort();
    EXPECT_EQ(topNames, (QStringList{u"a.htm"_s, u"c.txt"_s}));
}

TEST_F(SiteSearchTest, ResultsComeInTheOrderOfTheWalkWhateverThreadFoundThem) {
    // Big and small pages mixed, so that the threads finish out of order.
    QStringList expected;
    for (int i = 0; i < 60; ++i) {
        const QString name = u"p%1.htm"_s.arg(i, 3, 10, QChar(u'0'));
        QByteArray bytes = (i % 3 == 0) ? QByteArray(300000, 'x') : QByteArray("x");
        Write(name, bytes + " needle");
    }
    SiteSearchQuery query = Query(u"needle"_s);
    query.includeSubfolders = false;
    SiteSearch search;
    QStringList order;
    QObject::connect(&search, &SiteSearch::fileMatched,
                     [&](const FileMatches &file) { order << file.path; });
    QSignalSpy finished(&search, &SiteSearch::finished);
    ASSERT_TRUE(search.Start(query).isEmpty());
    ASSERT_TRUE(finished.wait(10000));
    // The walk lists a folder in the file system's order: the same order as
    // a plain file search of it.
    QStringList walk;
    FileSearchOptions plain;
    plain.entryMode = false;
    plain.includeSubfolders = false;
    plain.nameTest = [](const QString &n) { return n.endsWith(u".htm"_s); };
    SearchFilesRecursive(Root(), plain, walk);
    EXPECT_EQ(order, walk);
    EXPECT_EQ(order.size(), 60);
}

TEST_F(SiteSearchTest, BinaryLargeAndSpecialFilesAreSkippedAndCounted) {
    Write(u"page.htm"_s, "word");
    QByteArray binary(100, 'w');
    binary[50] = '\0';
    Write(u"picture.htm"_s, binary + "word");
    // A NUL after the first 8 KB: still not text for the editor.
    Write(u"late.htm"_s, QByteArray(9000, 'a') + QByteArray(1, '\0') + " word");
    // UTF-16 holds NULs in its text but is text.
    Write(u"wide.htm"_s, QByteArray("\xFF\xFE", 2) + QByteArray("w\0o\0r\0d\0", 8));
    // Larger than 64 MB, made sparse so that the test stays quick.
    Write(u"huge.htm"_s, "word");
    ASSERT_EQ(::truncate(QFile::encodeName(Root() + u"huge.htm"_s).constData(),
                         kMaxSearchedFileBytes + 1),
              0);
    testing::MakeEndlessDevice(Root() + u"endless.htm"_s);
    testing::MakeFifo(Root() + u"pipe.htm"_s);

    Outcome outcome;
    ASSERT_TRUE(testing::FinishesWithin(std::chrono::seconds(10),
                                        [&] { outcome = RunSearch(Query(u"word"_s)); }));
    QStringList names = Names(outcome, Root());
    names.sort();
    EXPECT_EQ(names, (QStringList{u"page.htm"_s, u"wide.htm"_s}));
    EXPECT_EQ(outcome.summary.searched, 2);
    EXPECT_EQ(outcome.summary.skipped, 5);
}

TEST_F(SiteSearchTest, AnInvalidPatternIsAMessageNamingTheErrorAndItsOffset) {
    SiteSearchQuery query = Query(u"ab(c"_s);
    query.options.regularExpression = true;
    const Outcome outcome = RunSearch(query);
    EXPECT_TRUE(outcome.error.contains(u"ab(c"_s));
    EXPECT_TRUE(outcome.error.contains(u"at offset 4"_s)) << outcome.error.toStdString();
    EXPECT_FALSE(RunSearch(Query(QString())).error.isEmpty());
}

TEST_F(SiteSearchTest, KeepsAtMostTheLimitAndCountsTheRest) {
    Write(u"a.htm"_s, "x x x x x x");
    Write(u"b.htm"_s, "x x x x");
    const Outcome outcome = RunSearch(Query(u"x"_s), 3);
    size_t kept = 0;
    qint64 counted = 0;
    for (const FileMatches &file : outcome.files) {
        kept += file.matches.size();
        counted += file.count;
    }
    EXPECT_EQ(kept, 3u);
    EXPECT_EQ(counted, 10);
    EXPECT_EQ(outcome.summary.matches, 10);
    EXPECT_EQ(outcome.summary.notKept, 7);
    EXPECT_EQ(outcome.files.size(), 2u); // every page is told, described or not
}

// A regular expression is matched in the bytes of UTF-8 pages and in the
// decoded text of the others; every page must show what its decoded text
// gives, and a page with a NUL past the first kilobytes is still skipped as
// binary.
TEST_F(SiteSearchTest, ARegularExpressionFindsInEveryKindOfPageWhatItsTextGives) {
    const QByteArray body = "<p>Reading \xC2\xB6 \xE2\x80\x9Cwriting\xE2\x80\x9D\r\n"
                            "testing \xE2\x80\x94 sing</p>\n";
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : u"<p>caf\u00e9 reading\r\nsinging</p>"_s)
        utf16 += QByteArray::fromRawData(reinterpret_cast<const char *>(&c), 2);
    const std::map<QString, QByteArray> pages{
        {u"a_ascii.htm"_s, "reading\nwriting\r\nthing"},
        {u"b_neutral.htm"_s, body},
        {u"c_marked.htm"_s, "\xEF\xBB\xBF" + body},
        {u"d_latin1.htm"_s, "caf\xE9 reading \xB6 sing"},
        {u"e_accent.htm"_s, "caf\xC3\xA9 reading " + body},
        {u"f_utf16.htm"_s, utf16},
        {u"g_beyond.htm"_s, "\xF0\x9F\x98\x80 reading sing"},
        {u"h_nul.htm"_s, QByteArray(9000, ' ') + "reading" + QByteArray(1, '\0')},
    };
    for (const auto &[name, bytes] : pages)
        Write(name, bytes);
    SiteSearchQuery query = Query(u"\\b\\w+ing\\b"_s);
    query.options.regularExpression = true;
    const Outcome outcome = RunSearch(query);
    EXPECT_EQ(outcome.summary.skipped, 1);
    EXPECT_EQ(outcome.summary.searched, qint64(pages.size()) - 1);
    ASSERT_EQ(outcome.files.size(), pages.size() - 1);
    const TextPattern pattern(query.find, query.options);
    for (const FileMatches &file : outcome.files) {
        const QString name = file.path.mid(Root().size());
        SCOPED_TRACE(name.toStdString());
        std::vector<LineMatch> expected;
        const MatchCount count =
            CollectMatches(DecodeText(pages.at(name)).text, pattern, expected, {}, {});
        EXPECT_EQ(file.count, count.found);
        ASSERT_EQ(file.matches.size(), expected.size());
        for (size_t k = 0; k < expected.size(); ++k) {
            EXPECT_EQ(file.matches[k].line, expected[k].line);
            EXPECT_EQ(file.matches[k].column, expected[k].column);
            EXPECT_EQ(file.matches[k].length, expected[k].length);
            EXPECT_EQ(file.matches[k].shownLine, expected[k].shownLine);
        }
    }
}

TEST_F(SiteSearchTest, StopDuringALargeSearchEndsItWithin100Milliseconds) {
    // Thousands of names for one big page (hard links), so that the search
    // has much to do and the test little to write.
    QByteArray page;
    for (int i = 0; i < 20000; ++i)
        page += "<p>reading writing testing and some other words</p>\n";
    Write(u"page.htm"_s, page);
    const QByteArray source = QFile::encodeName(Root() + u"page.htm"_s);
    for (int i = 0; i < 3000; ++i) {
        const QByteArray link = QFile::encodeName(Root() + u"d%1/p%2.htm"_s.arg(i % 30).arg(i));
        QDir().mkpath(Root() + u"d%1"_s.arg(i % 30));
        ASSERT_EQ(::link(source.constData(), link.constData()), 0);
    }
    SiteSearchQuery query = Query(u"\\b\\w+ing\\b"_s);
    query.options.regularExpression = true;
    SiteSearch search;
    QSignalSpy finished(&search, &SiteSearch::finished);
    ASSERT_TRUE(search.Start(query).isEmpty());
    QElapsedTimer started;
    started.start();
    while (search.Searched() < 20 && started.elapsed() < 10000)
        QTest::qWait(5);
    ASSERT_GE(search.Searched(), 20);
    QElapsedTimer stopping;
    stopping.start();
    search.Stop();
    ASSERT_TRUE(finished.wait(2000));
    EXPECT_LT(stopping.elapsed(), 100);
    const SearchSummary summary = finished.first().first().value<SearchSummary>();
    EXPECT_TRUE(summary.stopped);
    EXPECT_LT(summary.searched, 3001);
}

// Stop while one page of 60 MB is searched: read, then matched (in its bytes,
// or decoded first) a piece at a time, the search notices it at once wherever
// it is in the page.
// The time from Stop to the end of the search, on a steady clock; the median
// of three tries (stopping at different steps of the page), so that one try
// slowed by the shared machine does not decide.
TEST_F(SiteSearchTest, StopInsideOneHugePageEndsTheSearchWithin100Milliseconds) {
    QByteArray page;
    page.reserve(61 << 20);
    const QByteArray line = "<p>reading writing testing and some other words in a line</p>\n";
    while (page.size() < (60 << 20))
        page += line;
    Write(u"huge.htm"_s, page);
    page = {};
    // Never there (the page holds no digit), and slow enough to search that
    // the page is not done before the last Stop although it is matched in its
    // bytes, undecoded (each piece of a megabyte takes some 30 ms).
    SiteSearchQuery regex = Query(u"(?:\\w|\\s){0,10}\\d"_s);
    regex.options.regularExpression = true;
    const SiteSearchQuery literal = Query(u"Lighthouse"_s); // any case: decoded and searched
    for (const SiteSearchQuery &query : {regex, literal}) {
        SCOPED_TRACE(query.find.toStdString());
        std::vector<double> stopMs;
        for (const int wait : {50, 150, 300}) {
            SiteSearch search;
            QSignalSpy finished(&search, &SiteSearch::finished);
            ASSERT_TRUE(search.Start(query).isEmpty());
            QTest::qWait(wait);
            ASSERT_TRUE(finished.isEmpty()) << "the page was searched before Stop";
            const auto stopping = std::chrono::steady_clock::now();
            search.Stop();
            ASSERT_TRUE(finished.wait(5000));
            stopMs.push_back(std::chrono::duration<double, std::milli>(
                                 std::chrono::steady_clock::now() - stopping)
                                 .count());
            EXPECT_TRUE(finished.first().first().value<SearchSummary>().stopped);
        }
        std::sort(stopMs.begin(), stopMs.end());
        EXPECT_LT(stopMs[1], 100.0) << stopMs[0] << " " << stopMs[1] << " " << stopMs[2];
        std::printf("stop took %.1f %.1f %.1f ms\n", stopMs[0], stopMs[1], stopMs[2]);
    }
}

} // namespace
} // namespace velmora
