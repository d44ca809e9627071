// velmora-thumbs --changed: only missing thumbnails and those older than
// their page are made; the others are left as they are, and counted.

#include "temp_files.h"
#include "thumbs/thumbnail_names.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

class ThumbsToolChangedTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        programDir = dir.filePath(u"prog"_s);
        thumbDir = programDir + u"/THUMBS/"_s;
        site = dir.filePath(u"site"_s);
        QDir().mkpath(programDir);
    }

    struct Run {
        int exitCode = -1;
        QStringList lines;
        QString errors;
    };

    Run RunTool(QStringList arguments) {
        QProcess tool;
        arguments.prepend(programDir);
        arguments.prepend(u"--program-dir"_s);
        tool.start(QString::fromUtf8(VELMORA_THUMBS_TOOL), arguments);
        EXPECT_TRUE(tool.waitForFinished(120000)) << "the tool did not finish";
        Run run;
        run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
        run.lines =
            QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        run.errors = QString::fromUtf8(tool.readAllStandardError());
        return run;
    }

    // A page saved an hour ago.
    QString Page(const QString &name, const QByteArray &colour) {
        const QString page = site + u'/' + name;
        WriteBytes(page, "<body style='margin:0;background:" + colour + "'></body>");
        SetModified(page, saved);
        return page;
    }
    QString ThumbOf(const QString &page) const {
        return ThumbFileName(thumbDir, site, QFileInfo(page).fileName());
    }
    // A stand-in thumbnail dated secondsAfterPage after the page.
    void FakeThumb(const QString &page, int secondsAfterPage) {
        WriteBytes(ThumbOf(page), "not made by this run");
        SetModified(ThumbOf(page), saved.addSecs(secondsAfterPage));
    }
    qint64 Stamp(const QString &path) const {
        return QFileInfo(path).lastModified().toMSecsSinceEpoch();
    }

    QTemporaryDir dir;
    QString programDir;
    QString thumbDir;
    QString site;
    const QDateTime saved = QDateTime::currentDateTime().addSecs(-3600);
};

TEST_F(ThumbsToolChangedTest, MakesMissingAndOutdatedThumbnailsOnlyAndASecondRunMakesNone) {
    const QString fresh = Page(u"fresh.htm"_s, "red");
    const QString same = Page(u"same.htm"_s, "green");
    const QString outdated = Page(u"outdated.htm"_s, "blue");
    const QString bare = Page(u"bare.htm"_s, "yellow");
    FakeThumb(fresh, 30);
    FakeThumb(same, 0);
    FakeThumb(outdated, -30);
    const qint64 freshBefore = Stamp(ThumbOf(fresh));

    const Run first = RunTool({u"--changed"_s, site});
    EXPECT_EQ(first.exitCode, 0) << first.errors.toStdString();
    EXPECT_EQ(first.lines, (QStringList{bare + u": ok"_s, outdated + u": ok"_s}));
    EXPECT_TRUE(first.errors.contains(u"2 to make, 2 up to date and skipped"_s))
        << first.errors.toStdString();
    // The two made are real pictures of their page; the others are untouched.
    for (const auto &[page, colour] :
         {std::pair{bare, QColor(Qt::yellow)}, std::pair{outdated, QColor(Qt::blue)}}) {
        const QImage made(ThumbOf(page));
        ASSERT_FALSE(made.isNull()) << page.toStdString();
        const QColor seen = made.pixelColor(10, 10);
        EXPECT_LE(std::abs(seen.red() - colour.red()), 24) << page.toStdString();
        EXPECT_LE(std::abs(seen.blue() - colour.blue()), 24) << page.toStdString();
        EXPECT_GE(Stamp(ThumbOf(page)), Stamp(page));
    }
    EXPECT_EQ(ReadBytes(ThumbOf(fresh)), "not made by this run");
    EXPECT_EQ(ReadBytes(ThumbOf(same)), "not made by this run");
    EXPECT_EQ(Stamp(ThumbOf(fresh)), freshBefore);

    const Run second = RunTool({u"--changed"_s, site});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(second.lines.isEmpty()) << second.lines.join(u'\n').toStdString();
    EXPECT_TRUE(second.errors.contains(u"0 to make, 4 up to date and skipped"_s))
        << second.errors.toStdString();

    // A page saved again after its thumbnail is made again, and only it.
    SetModified(fresh, QDateTime::currentDateTime().addSecs(60));
    const Run third = RunTool({u"--changed"_s, site});
    EXPECT_EQ(third.lines, QStringList{fresh + u": ok"_s});
    EXPECT_NE(ReadBytes(ThumbOf(fresh)), "not made by this run");
}

TEST_F(ThumbsToolChangedTest, MissingPathsStillFailAndClearExcludesChanged) {
    const QString page = Page(u"a.htm"_s, "red");
    FakeThumb(page, 10);
    const QString gone = site + u"/gone.htm"_s;
    const Run run = RunTool({u"--changed"_s, page, gone});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines, QStringList{gone + u": failed: no such page or folder"_s});

    const Run both = RunTool({u"--changed"_s, u"--clear"_s, page});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_TRUE(both.errors.contains(u"--clear and --changed exclude each other"_s));
    EXPECT_TRUE(QFileInfo::exists(ThumbOf(page)));
}

} // namespace
} // namespace velmora::testing
