#include "sitecheck/site_check.h"

#include "sitecheck/check_worker.h"

#include "temp_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;
using velmora::testing::WriteBytes;

namespace velmora {
namespace {

// A small site with one broken link of every kind, and healthy links of
// every kind beside them, under dir/site; a page outside it in dir.
class SiteCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.filePath(u"site"_s);
        Write(u"index.htm"_s,
              "<html><body id=self>\n"                                           // 1
              "<a href=\"about.htm\">ok</a> <a href=\"missing.htm\">\n"          // 2
              "<a href=\"About.htm\">case</a>\n"                                 // 3
              "<img src=\"images/Logo.GIF\">\n"                                  // 4
              "<a href=\"sub/\">sub</a> <a href=sub>sub</a>\n"                   // 5
              "<a href=\"empty/\">empty</a>\n"                                   // 6
              "<a href=\"../outside.htm\">out</a>\n"                             // 7
              "<a href=\"my%20page.htm?x=1#part\">esc</a>\n"                     // 8
              "<a href=\"about.htm#nope\">no anchor</a>\n"                       // 9
              "<a href=\"about.htm#named\">named</a>\n"                          // 10
              "<a href=\"http://example.com/x.htm#frag\">ext</a>\n"              // 11
              "<a href=\"#self\">s</a> <a href='#gone'>g</a>\n"                  // 12
              "<a href=\"mailto:a@b.c\">m</a><a href=javascript:x()>\n"          // 13
              "<a href=\"/sub/page.htm\">r</a> <a href=/nope.htm>\n"             // 14
              "<a href=\"index.htm\">self</a><a href=\"\">empty</a>\n"           // 15
              "<a href=\"linked/page.htm\">through a link</a>\n"                 // 16
              "<a href=\"caf&eacute;.htm\"></a><a href=\"%C3%A9t%C3%A9.htm\">\n" // 17
              "<a href=\"#top\">top</a><link rel=stylesheet href=style.css>\n"   // 18
              "<a href=\"//cdn.example.com/lib.js\">cdn</a>\n"                   // 19
              "</body></html>\n");
        Write(u"about.htm"_s, "<a name=named></a>\n<a href=index.htm>home</a>\n"
                              "<p style=\"background:url('images/logo.gif')\">\n");
        Write(u"my page.htm"_s, "<h2 id=part>part</h2><a href=\"index.htm#self\">back</a>");
        Write(u"café.htm"_s, "<a href=index.htm>");
        Write(u"été.htm"_s, "<a href=index.htm>");
        Write(u"images/logo.gif"_s, "GIF89a");
        Write(u"sub/index.html"_s, "<base href=\"../images/\">\n<img src=\"logo.gif\">\n"
                                   "<img src=\"nothing.gif\">\n<a href=\"../sub/deep/x.htm\">\n");
        Write(u"sub/page.htm"_s, "<a href=\"../index.htm\">home</a>");
        Write(u"style.css"_s, "body{background:url(images/logo.gif)}\n"
                              "h1{background:url(\"images/none.gif\")}\n");
        Write(u"orphan.htm"_s, "<a href=orphan2.htm>");
        Write(u"orphan2.htm"_s, "<a href=orphan.htm>");
        QDir().mkpath(root_ + u"/empty"_s);
        WriteBytes(dir_.filePath(u"outside.htm"_s), "outside");
        ASSERT_TRUE(QFile::link(root_ + u"/sub"_s, root_ + u"/linked"_s));
    }

    void Write(const QString &name, const QByteArray &bytes) {
        WriteBytes(root_ + u'/' + name, bytes);
    }

    SiteCheckOptions Options() const {
        SiteCheckOptions options;
        options.folder = root_;
        return options;
    }

    QStringList Check(const SiteCheckOptions &options, SiteCheckSummary *summary = nullptr) {
        QList<LinkProblem> problems;
        const SiteCheckSummary done =
            SiteCheck(options).Run([&](const LinkProblem &p) { problems.append(p); });
        if (summary)
            *summary = done;
        SortProblems(problems);
        QStringList lines;
        for (const LinkProblem &problem : problems)
            lines.append(ProblemLine(problem));
        return lines;
    }

    QTemporaryDir dir_;
    QString root_;
};

TEST_F(SiteCheckTest, FindsEveryBrokenLinkAndNothingElse) {
    SiteCheckSummary summary;
    const QStringList expected{
        u"index.htm:2: Missing file: missing.htm"_s,
        u"index.htm:3: Wrong letter case (on disk: about.htm): About.htm"_s,
        u"index.htm:4: Wrong letter case (on disk: images/logo.gif): images/Logo.GIF"_s,
        u"index.htm:6: Folder without index page: empty/"_s,
        u"index.htm:7: Outside the site: ../outside.htm"_s,
        u"index.htm:9: Missing anchor: about.htm#nope"_s,
        u"index.htm:12: Missing anchor: #gone"_s,
        u"index.htm:14: Missing file: /nope.htm"_s,
        u"linked/index.html:3: Missing file: nothing.gif"_s,
        u"linked/index.html:4: Missing file: ../sub/deep/x.htm"_s,
        u"style.css:2: Missing file: images/none.gif"_s,
    };
    const QStringList found = Check(Options(), &summary);
    // The folder reached through the link is walked once, under either name.
    QStringList normalised = found;
    normalised.replaceInStrings(u"sub/index.html"_s, u"linked/index.html"_s);
    normalised.sort();
    QStringList sortedExpected = expected;
    sortedExpected.sort();
    EXPECT_EQ(normalised, sortedExpected) << normalised.join(u'\n').toStdString();
    EXPECT_EQ(summary.problems, expected.size());
    EXPECT_EQ(summary.pages, 10); // the folder reached twice counts once
    EXPECT_FALSE(summary.stopped);
}

TEST_F(SiteCheckTest, OptionsAddAndRemoveRows) {
    SiteCheckOptions options = Options();
    options.anchors = false;
    options.subfolders = false;
    const QStringList withoutAnchors = Check(options);
    EXPECT_FALSE(withoutAnchors.join(u'\n').contains(u"Missing anchor"_s));
    EXPECT_FALSE(withoutAnchors.join(u'\n').contains(u"nothing.gif"_s)); // in sub/ only
    // A name that a file list's entry line cannot hold is a page all the same.
    Write(u"odd*name.htm"_s, "<a href=gone-too.htm>");
    EXPECT_TRUE(Check(options).contains(u"odd*name.htm:1: Missing file: gone-too.htm"_s));

    options.external = true;
    const QStringList external = Check(options).filter(u"External"_s);
    // The fragment of an external link is no anchor to check.
    EXPECT_EQ(external, (QStringList{u"index.htm:11: External: http://example.com/x.htm#frag"_s,
                                     u"index.htm:19: External: //cdn.example.com/lib.js"_s}));
}

TEST_F(SiteCheckTest, OrphansAreThePagesNoChainOfLinksReaches) {
    SiteCheckOptions options = Options();
    options.startPage = u"index.htm"_s;
    // orphan.htm and orphan2.htm link to each other, but nothing leads there;
    // style.css is reached through <link>, the pages through loops and
    // through the folder's index page.
    EXPECT_EQ(Check(options).filter(u"Orphan"_s),
              (QStringList{u"orphan.htm:0: Orphan page"_s, u"orphan2.htm:0: Orphan page"_s}));
    options.startPage = root_ + u"/orphan.htm"_s;
    const QStringList fromOrphan = Check(options).filter(u"Orphan"_s);
    EXPECT_TRUE(fromOrphan.contains(u"index.htm:0: Orphan page"_s));
    EXPECT_FALSE(fromOrphan.contains(u"orphan2.htm:0: Orphan page"_s));

    options.startPage = u"nowhere.htm"_s;
    EXPECT_FALSE(SiteCheck(options).CheckOptions().isEmpty());
}

TEST_F(SiteCheckTest, UnreadableAndOddPagesDoNotStopTheCheck) {
    // A page with NUL bytes, a UTF-16 page and a huge page.
    Write(u"binary.htm"_s, QByteArray("<a href=gone1.htm>\0\0<img src=\"x\0", 33));
    QByteArray utf16("\xFF\xFE", 2);
    for (const char c : QByteArray("\n<a href=gone2.htm>"))
        utf16 += QByteArray(1, c) + '\0';
    Write(u"wide.htm"_s, utf16);
    QByteArray huge(8 << 20, 'x');
    huge += "\n<a href=gone3.htm>";
    Write(u"huge.htm"_s, huge);
    const QStringList found = Check(Options());
    EXPECT_TRUE(found.contains(u"binary.htm:1: Missing file: gone1.htm"_s));
    EXPECT_TRUE(found.contains(u"wide.htm:2: Missing file: gone2.htm"_s));
    EXPECT_TRUE(found.contains(u"huge.htm:2: Missing file: gone3.htm"_s));

    SiteCheckOptions missing = Options();
    missing.folder = root_ + u"/no-such-folder"_s;
    EXPECT_FALSE(SiteCheck(missing).CheckOptions().isEmpty());
    EXPECT_TRUE(SiteCheck(Options()).CheckOptions().isEmpty());
}

TEST_F(SiteCheckTest, AStopEndsTheRunAtOnce) {
    std::atomic_bool stop{true};
    int rows = 0;
    const SiteCheckSummary summary =
        SiteCheck(Options()).Run([&](const LinkProblem &) { ++rows; }, &stop);
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(rows, 0);
}

TEST_F(SiteCheckTest, StopDuringALargeCheckEndsItWithin100Milliseconds) {
    // Thousands of names for one page of many links (hard links), so that
    // the check has much to do and the test little to write.
    QByteArray page;
    for (int i = 0; i < 20000; ++i)
        page += "<p><a href=\"gone.htm\">x</a> <img src=\"index.htm\"></p>\n";
    Write(u"big/page.htm"_s, page);
    const QByteArray source = QFile::encodeName(root_ + u"/big/page.htm"_s);
    for (int i = 0; i < 3000; ++i) {
        const QString folder = root_ + u"/big/d%1"_s.arg(i % 30);
        QDir().mkpath(folder);
        const QByteArray link = QFile::encodeName(folder + u"/p%1.htm"_s.arg(i));
        ASSERT_EQ(::link(source.constData(), link.constData()), 0);
    }
    CheckWorker worker;
    QSignalSpy progress(&worker, &CheckWorker::Progress);
    QSignalSpy finished(&worker, &CheckWorker::Finished);
    worker.Start(Options());
    QElapsedTimer started;
    started.start();
    while (!(progress.size() && progress.last().first().toInt() >= 5) && started.elapsed() < 20000)
        progress.wait(50);
    ASSERT_TRUE(worker.Running());
    QElapsedTimer stopping;
    stopping.start();
    worker.Stop();
    ASSERT_TRUE(finished.wait(2000));
    EXPECT_LT(stopping.elapsed(), 100);
    const auto summary = finished.first().first().value<SiteCheckSummary>();
    EXPECT_TRUE(summary.stopped);
}

TEST(SiteCheckReport, CsvQuotesWhatNeedsIt) {
    const QList<LinkProblem> problems{
        {u"a,b.htm"_s, 3, u"say \"hi\".htm"_s, u"Missing file"_s},
        {u"c.htm"_s, 0, QString(), u"Orphan page"_s},
    };
    EXPECT_EQ(ProblemsCsv(problems),
              QByteArray("Page,Line,Link,Problem\r\n"
                         "\"a,b.htm\",3,\"say \"\"hi\"\".htm\",Missing file\r\n"
                         "c.htm,0,,Orphan page\r\n"));
}

TEST(SiteCheckReport, PageMaskTakesTheFiltersButNotPictures) {
    const QString mask = PageMaskOf(u"All|*.htm;*.jpg;*.asp|Pictures|*.gif;*.png|PHP|*.php"_s);
    EXPECT_EQ(mask, u"*.htm;*.css;*.asp;*.php"_s);
}

#ifdef VELMORA_CHECK_EXE
// velmora-check as a build script runs it: output, order and exit codes.
TEST_F(SiteCheckTest, CommandLineOutputAndExitCodes) {
    const auto run = [](const QStringList &args, QByteArray *out = nullptr) {
        QProcess process;
        process.start(QStringLiteral(VELMORA_CHECK_EXE), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        if (out)
            *out = process.readAllStandardOutput();
        return process.exitCode();
    };
    QByteArray out;
    EXPECT_EQ(run({u"--anchors"_s, u"--no-subfolders"_s, root_}, &out), 1);
    EXPECT_TRUE(out.startsWith("about.htm") || out.startsWith("index.htm:2: Missing file: "
                                                              "missing.htm\n"))
        << out.constData();
    const QList<QByteArray> lines = out.trimmed().split('\n');
    EXPECT_EQ(lines.size(), 9);
    EXPECT_EQ(lines.last(), "style.css:2: Missing file: images/none.gif");

    EXPECT_EQ(run({u"--csv"_s, u"--no-subfolders"_s, root_}, &out), 1);
    EXPECT_TRUE(out.startsWith("Page,Line,Link,Problem\r\n"));

    WriteBytes(dir_.filePath(u"healthy/index.htm"_s), "<a href=index.htm>");
    EXPECT_EQ(run({dir_.filePath(u"healthy"_s)}, &out), 0);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(run({dir_.filePath(u"no-such"_s)}), 2);
    EXPECT_EQ(run({u"--bogus"_s, root_}), 2);
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({u"--start"_s, u"nowhere.htm"_s, root_}), 2);
}
#endif

} // namespace
} // namespace velmora
