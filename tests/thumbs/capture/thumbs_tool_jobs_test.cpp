// The batch command making several pages at once (--jobs): the same files and
// the same report as one page at a time, and Ctrl+C still ends the run after
// the pages in hand.

#include "temp_files.h"
#include "thumbs/capture/thumb_workers.h"
#include "thumbs/thumbnail_names.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <map>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

class ThumbsToolJobsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Pages that differ in colour, text and pictures, so that a thumbnail of
    // the wrong page or a mixed-up one shows.
    QString WritePages(const QString &folder, int count) {
        for (int n = 0; n < count; ++n)
            WriteBytes(dir.filePath(u"%1/page%2.htm"_s.arg(folder).arg(n, 3, 10, QChar(u'0'))),
                       u"<body style='background:#%1'><h1>Page %2</h1><p style='color:#%3'>%4"
                       u"</p></body>"_s.arg(QString::number(0x204060 + n * 0x030507, 16))
                           .arg(n)
                           .arg(QString::number(0xf0e0d0 - n * 0x010203, 16))
                           .arg(QString(u"text "_s).repeated(n % 7 + 1))
                           .toUtf8());
        return dir.filePath(folder);
    }

    struct Run {
        int exitCode = -1;
        QStringList lines;
    };

    Run RunTool(const QString &programDir, const QStringList &arguments) {
        QProcess tool;
        tool.start(QString::fromUtf8(VELMORA_THUMBS_TOOL),
                   QStringList{u"--program-dir"_s, programDir} + arguments);
        EXPECT_TRUE(tool.waitForFinished(180000)) << "the tool did not finish";
        Run run;
        run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
        run.lines =
            QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        return run;
    }

    // Every file under a folder, by its path below it, with its bytes.
    static std::map<QString, QByteArray> FilesUnder(const QString &folder) {
        std::map<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            files[QDir(folder).relativeFilePath(path)] = file.readAll();
        }
        return files;
    }

    QTemporaryDir dir;
};

TEST_F(ThumbsToolJobsTest, SeveralAtOnceGiveTheSameFilesAndReportAsOneAtATime) {
    const QString pages = WritePages(u"site"_s, 24);
    // A limit no page meets on a busy machine: both runs make every page.
    const QStringList options{u"--base"_s, u"640x480"_s, u"--time-limit"_s, u"120"_s, pages};
    const Run one = RunTool(dir.filePath(u"one"_s), QStringList{u"--jobs"_s, u"1"_s} + options);
    const Run three = RunTool(dir.filePath(u"three"_s), QStringList{u"--jobs"_s, u"3"_s} + options);
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_EQ(three.exitCode, 0);
    ASSERT_EQ(one.lines.size(), 24);
    // The same lines in the same (page) order.
    EXPECT_EQ(three.lines.join(u'\n').toStdString(), one.lines.join(u'\n').toStdString());

    const auto sequential = FilesUnder(dir.filePath(u"one/THUMBS"_s));
    const auto parallel = FilesUnder(dir.filePath(u"three/THUMBS"_s));
    EXPECT_EQ(sequential.size(), 24u);
    ASSERT_EQ(parallel.size(), sequential.size());
    for (const auto &[name, bytes] : sequential) {
        ASSERT_TRUE(parallel.count(name)) << name.toStdString();
        EXPECT_TRUE(parallel.at(name) == bytes) << name.toStdString() << " differs";
    }
}

// Ctrl+C during a run on several workers: the pages in hand are finished and
// reported, nothing more is made, and no thumbnail is left half written.
TEST_F(ThumbsToolJobsTest, InterruptDuringAParallelRunKeepsWhatWasMadeAndNoPartialFile) {
    const QString pages = WritePages(u"stop"_s, 80);
    const QString programDir = dir.filePath(u"prog"_s);
    QProcess tool;
    tool.start(QString::fromUtf8(VELMORA_THUMBS_TOOL),
               {u"--program-dir"_s, programDir, u"--jobs"_s, u"3"_s, pages});
    QSignalSpy output(&tool, &QProcess::readyReadStandardOutput);
    ASSERT_TRUE(output.wait(120000));
    ::kill(pid_t(tool.processId()), SIGINT);
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 130);
    const QStringList lines =
        QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 1);
    EXPECT_LT(lines.size(), 80);

    // The pages reported are the first ones, in order, each with its whole
    // thumbnail; no other file is in the thumbnail folder.
    const auto files = FilesUnder(programDir + u"/THUMBS"_s);
    EXPECT_EQ(files.size(), size_t(lines.size()));
    for (int n = 0; n < lines.size(); ++n) {
        const QString page = pages + u"/page%1.htm"_s.arg(n, 3, 10, QChar(u'0'));
        ASSERT_EQ(lines[n], page + u": ok"_s);
        const QString thumb =
            ThumbFileName(programDir + u"/THUMBS/"_s, pages, QFileInfo(page).fileName());
        EXPECT_EQ(QImage(thumb).size(), QSize(130, 100)) << thumb.toStdString();
    }
    // The workers ended with the run.
    QProcess ps;
    ps.start(u"pgrep"_s, {u"-f"_s, u"--"_s, u"--worker --program-dir "_s + programDir});
    ps.waitForFinished();
    EXPECT_TRUE(ps.readAllStandardOutput().trimmed().isEmpty()) << "a worker outlived the run";
}

TEST_F(ThumbsToolJobsTest, JobsOutsideTheirRangeAreRefused) {
    const QString pages = WritePages(u"few"_s, 1);
    EXPECT_EQ(RunTool(dir.filePath(u"p"_s), {u"--jobs"_s, u"0"_s, pages}).exitCode, 2);
    EXPECT_EQ(RunTool(dir.filePath(u"p"_s), {u"--jobs"_s, u"9"_s, pages}).exitCode, 2);
    EXPECT_EQ(RunTool(dir.filePath(u"p"_s), {u"--jobs"_s, u"two"_s, pages}).exitCode, 2);
}

// The window hands its browser's display settings to the workers as one
// argument: everything comes back, a font name with commas included, and
// text that is not such an argument is refused.
TEST(ThumbWorkerDisplayArgument, RoundTripsAndRefusesOtherText) {
    DisplaySettings display;
    display.fontName = u"Serif, Condensed"_s;
    display.fontColor = 0x123456;
    display.fontSize = 17;
    display.linkColor = 0x0000FF;
    display.backgroundColor = 0xF0E0D0;
    display.showImages = false;
    EXPECT_EQ(DisplayFromArgument(DisplayArgument(display)), display);
    EXPECT_EQ(DisplayFromArgument(DisplayArgument(DisplaySettings{})), DisplaySettings{});

    for (const QString &wrong : {u""_s, u"1,12,3,4,1"_s, u"1,12,3,4,2,Serif"_s,
                                 u"1,0,3,4,1,Serif"_s, u"x,12,3,4,1,Serif"_s})
        EXPECT_FALSE(DisplayFromArgument(wrong)) << wrong.toStdString();
}

// A captured picture handed between processes comes back pixel for pixel,
// a width whose rows need padding included; a file that is short, long,
// of another kind or not a regular file is refused, never read as a picture.
TEST(ThumbWorkerCaptureFile, RoundTripsAndRefusesDamagedFiles) {
    QTemporaryDir dir;
    Picture picture(37, 11, kPictureFormat);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixelColor(x, y, QColor(x * 6, y * 20, (x * y) % 256));
    const QString path = dir.filePath(u"one.raw"_s);
    QString error;
    ASSERT_TRUE(WriteCaptureFile(path, picture, &error)) << error.toStdString();
    Picture back;
    ASSERT_TRUE(ReadCaptureFile(path, &back, &error)) << error.toStdString();
    EXPECT_EQ(back.format(), kPictureFormat);
    EXPECT_EQ(back, picture);
    // The file is new each time: an existing one is never written over.
    EXPECT_FALSE(WriteCaptureFile(path, picture, &error));

    const QByteArray whole = ReadBytes(path);
    const std::map<QString, QByteArray> damaged{
        {u"short"_s, whole.chopped(1)},
        {u"long"_s, whole + 'x'},
        {u"other kind"_s, "PNG1 37 11\n" + whole.mid(whole.indexOf('\n') + 1)},
        {u"huge"_s, "VCAP1 40000 40000\n"},
        {u"no size"_s, "VCAP1\n"}};
    for (const auto &[name, bytes] : damaged) {
        const QString file = dir.filePath(name);
        WriteBytes(file, bytes);
        error.clear();
        EXPECT_FALSE(ReadCaptureFile(file, &back, &error)) << name.toStdString();
        EXPECT_FALSE(error.isEmpty()) << name.toStdString();
    }
    EXPECT_FALSE(ReadCaptureFile(dir.path(), &back, &error));
    ASSERT_TRUE(QFile::link(path, dir.filePath(u"link"_s)));
    EXPECT_FALSE(ReadCaptureFile(dir.filePath(u"link"_s), &back, &error));
}

} // namespace
} // namespace velmora::testing
