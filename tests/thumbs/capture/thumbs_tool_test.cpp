// The batch command, run as a user runs it: its result lines, its exit code
// and the thumbnail files it leaves.

#include "capture_fixture.h"
#include "sitewalk/page_collector.h"
#include "temp_files.h"
#include "thumbs/thumbnail_names.h"
#include "unusual_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

class ThumbsToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        programDir = dir.filePath(u"prog"_s);
        thumbDir = programDir + u"/THUMBS/"_s;
        QDir().mkpath(programDir);
    }

    struct Run {
        int exitCode = -1;
        QStringList lines;
    };

    Run RunTool(QStringList arguments, int timeoutMs = 120000) {
        QProcess tool;
        arguments.prepend(programDir);
        arguments.prepend(u"--program-dir"_s);
        tool.start(QString::fromUtf8(VELMORA_THUMBS_TOOL), arguments);
        EXPECT_TRUE(tool.waitForFinished(timeoutMs)) << "the tool did not finish";
        Run run;
        run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
        run.lines =
            QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        return run;
    }

    QString Write(const QString &name, const QByteArray &content) {
        const QString path = dir.filePath(name);
        WriteBytes(path, content);
        return path;
    }

    QString ThumbOf(const QString &page) const {
        const QFileInfo info(page);
        return ThumbFileName(thumbDir, info.absolutePath(), info.fileName());
    }

    QTemporaryDir dir;
    QString programDir;
    QString thumbDir;
};

TEST_F(ThumbsToolTest, MakesEveryThumbnailOfTheSampleSite) {
    const QString site = QString::fromUtf8(VELMORA_SAMPLE_SITE);
    const QStringList pages =
        CollectPages({site}, u"*.htm;*.jpg;*.gif;*.asp;*.sht;*.dht;*.cfm;*.jht"_s, true, thumbDir)
            .pages;
    ASSERT_GE(pages.size(), 10);
    const Run run = RunTool({u"--recursive"_s, site});
    EXPECT_EQ(run.exitCode, 0) << run.lines.join(u'\n').toStdString();
    ASSERT_EQ(run.lines.size(), pages.size());
    for (const QString &page : pages) {
        EXPECT_TRUE(run.lines.contains(page + u": ok"_s)) << page.toStdString();
        const QImage thumb(ThumbOf(page));
        EXPECT_EQ(thumb.size(), QSize(130, 100)) << page.toStdString();
    }

    const Run cleared = RunTool({u"--recursive"_s, u"--clear"_s, site});
    EXPECT_EQ(cleared.exitCode, 0);
    for (const QString &page : pages)
        EXPECT_FALSE(QFileInfo::exists(ThumbOf(page))) << page.toStdString();
}

TEST_F(ThumbsToolTest, TwoHundredGeneratedPages) {
    for (int n = 0; n < 200; ++n)
        Write(u"many/page%1.htm"_s.arg(n, 3, 10, QChar(u'0')),
              u"<body style='background:#%1'><h1>Page %2</h1>"_s
                  .arg(QString::number(0x102030 + n * 0x010101, 16))
                  .arg(n)
                  .toUtf8());
    Write(u"many/notes.txt"_s, "not a page");
    const Run run = RunTool({u"--base-index"_s, u"0"_s, dir.filePath(u"many"_s)});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines.size(), 200);
    EXPECT_EQ(run.lines.filter(u": ok"_s).size(), 200);
    EXPECT_TRUE(QFileInfo::exists(ThumbOf(dir.filePath(u"many/page199.htm"_s))));
}

TEST_F(ThumbsToolTest, HangingPageFailsAndTheOthersAreMade) {
    Write(u"site/a.htm"_s, "<body>a");
    const QString hang = Write(u"site/b.htm"_s, "<body><script>while (true) {}</script>");
    Write(u"site/c.htm"_s, "<body>c");
    const Run run = RunTool({u"--time-limit"_s, u"2"_s, dir.filePath(u"site"_s)});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.lines.size(), 3);
    EXPECT_TRUE(run.lines[1].startsWith(hang + u": failed: "_s)) << run.lines[1].toStdString();
    EXPECT_EQ(run.lines[2], dir.filePath(u"site/c.htm"_s) + u": ok"_s);
    EXPECT_TRUE(QFileInfo::exists(ThumbOf(dir.filePath(u"site/c.htm"_s))));
    EXPECT_FALSE(QFileInfo::exists(ThumbOf(hang)));
}

TEST_F(ThumbsToolTest, PageFillingMemoryFailsAtTheMemoryLimit) {
    Write(u"mem/a.htm"_s, "<body>a");
    const QString fill = Write(u"mem/b.htm"_s, FillingMemoryPage());
    Write(u"mem/c.htm"_s, "<body>c");
    const Run run = RunTool(
        {u"--memory-limit"_s, u"400"_s, u"--time-limit"_s, u"60"_s, dir.filePath(u"mem"_s)}, 30000);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.lines.size(), 3);
    EXPECT_EQ(run.lines[1],
              fill + u": failed: The page used more than 400 MB of memory and was stopped."_s);
    EXPECT_EQ(run.lines[2], dir.filePath(u"mem/c.htm"_s) + u": ok"_s);
    EXPECT_TRUE(QFileInfo::exists(ThumbOf(dir.filePath(u"mem/c.htm"_s))));
    EXPECT_FALSE(QFileInfo::exists(ThumbOf(fill)));
}

// Ctrl+C ends the run after the page in hand: every page reported has its
// complete thumbnail, and no half-written file is left behind.
TEST_F(ThumbsToolTest, InterruptStopsAfterThePageInHand) {
    for (int n = 0; n < 100; ++n)
        Write(u"stop/page%1.htm"_s.arg(n, 3, 10, QChar(u'0')), "<body>page");
    QProcess tool;
    tool.start(QString::fromUtf8(VELMORA_THUMBS_TOOL),
               {u"--program-dir"_s, programDir, dir.filePath(u"stop"_s)});
    QSignalSpy output(&tool, &QProcess::readyReadStandardOutput);
    ASSERT_TRUE(output.wait(60000));
    ::kill(pid_t(tool.processId()), SIGINT);
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 130);
    const QStringList lines =
        QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 1);
    EXPECT_LT(lines.size(), 100);
    const QStringList written =
        QDir(QFileInfo(ThumbOf(dir.filePath(u"stop/x.htm"_s))).absolutePath())
            .entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(written.size(), lines.size()) << written.join(u' ').toStdString();
    for (const QString &line : lines) {
        ASSERT_TRUE(line.endsWith(u": ok"_s)) << line.toStdString();
        EXPECT_EQ(QImage(ThumbOf(line.chopped(4))).size(), QSize(130, 100));
    }
}

// Each page keeps to one line of output, whatever its name holds; a FIFO or
// a device named like a page is no page and never opened.
TEST_F(ThumbsToolTest, EveryPageIsOneLineAndOnlyRegularFilesArePages) {
    const QString odd = Write(u"odd/two\nlines\\tab\t.htm"_s, "<body>x");
    MakeFifo(dir.filePath(u"odd/fifo.htm"_s));
    MakeEndlessDevice(dir.filePath(u"odd/zero.htm"_s));
    const Run run = RunTool({dir.filePath(u"odd"_s)}, 60000);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{dir.filePath(u"odd/"_s) + u"two\\nlines\\\\tab\\t.htm: ok"_s});
    EXPECT_TRUE(QFileInfo::exists(ThumbOf(odd)));

    const Run named = RunTool({dir.filePath(u"odd/fifo.htm"_s)}, 60000);
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_EQ(named.lines,
              QStringList{dir.filePath(u"odd/fifo.htm"_s) + u": failed: no such page or folder"_s});
}

TEST_F(ThumbsToolTest, BadArgumentsAreRefused) {
    EXPECT_EQ(RunTool({u"--base-index"_s, u"7"_s, dir.path()}).exitCode, 2);
    EXPECT_EQ(RunTool({u"--base"_s, u"0x10"_s, dir.path()}).exitCode, 2);
    EXPECT_EQ(RunTool({u"--base"_s, u"10x10"_s, u"--base-index"_s, u"1"_s, dir.path()}).exitCode,
              2);
    EXPECT_EQ(RunTool({}).exitCode, 2);
    EXPECT_EQ(RunTool({u"--memory-limit"_s, u"99"_s, dir.path()}).exitCode, 2);
    EXPECT_EQ(RunTool({u"--memory-limit"_s, u"lots"_s, dir.path()}).exitCode, 2);
    const Run missing = RunTool({dir.filePath(u"nothing.htm"_s)});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.lines,
              QStringList{dir.filePath(u"nothing.htm"_s) + u": failed: no such page or folder"_s});
}

} // namespace
} // namespace velmora::testing
