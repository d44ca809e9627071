// The file-manager thumbnailer, run as a file manager runs it: the Exec line
// of the shipped entry file with its fields filled in, a home folder that must
// stay untouched, no display and a private temporary folder that must be
// left as it was found.

#include "temp_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace velmora::testing {
namespace {

// The Exec line of the entry file a file manager reads.
QString ExecLine() {
    QFile entry(QString::fromUtf8(VELMORA_THUMBNAILER_ENTRY));
    if (!entry.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : entry.readAll().split('\n'))
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5)).trimmed();
    return {};
}

class ThumbnailerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        home = dir.filePath(u"home"_s);
        tmp = dir.filePath(u"tmp"_s);
        ASSERT_TRUE(QDir().mkpath(home));
        ASSERT_TRUE(QDir().mkpath(tmp));
        ASSERT_EQ(::chmod(QFile::encodeName(home).constData(), 0555), 0);
    }
    void TearDown() override { ::chmod(QFile::encodeName(home).constData(), 0755); }

    struct Run {
        int exitCode = -1;
        qint64 elapsedMs = 0;
        QString errors;
    };

    // Fills in the fields as the freedesktop convention says and runs the
    // command with the file manager's bare environment.
    Run RunEntry(int size, const QString &page, const QString &output) {
        const QString exec = ExecLine();
        EXPECT_FALSE(exec.isEmpty()) << "no Exec line in the entry file";
        QStringList words = QProcess::splitCommand(exec);
        EXPECT_EQ(words.value(0), u"velmora-thumbs"_s);
        words[0] = QString::fromUtf8(VELMORA_THUMBS_TOOL);
        for (QString &word : words) {
            if (word == u"%s"_s)
                word = QString::number(size);
            else if (word == u"%u"_s)
                word = QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded);
            else if (word == u"%i"_s)
                word = page;
            else if (word == u"%o"_s)
                word = output;
        }
        QProcessEnvironment env;
        env.insert(u"HOME"_s, home);
        env.insert(u"TMPDIR"_s, tmp);
        env.insert(u"PATH"_s, qEnvironmentVariable("PATH"));
        if (qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
            env.insert(u"QTWEBENGINE_DISABLE_SANDBOX"_s, u"1"_s);
        QProcess tool;
        tool.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        tool.start(words.takeFirst(), words);
        EXPECT_TRUE(tool.waitForFinished(60000)) << "the thumbnailer did not finish";
        Run run;
        run.elapsedMs = clock.elapsed();
        run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
        run.errors = QString::fromLocal8Bit(tool.readAllStandardError());
        return run;
    }

    QStringList Left(const QString &folder) const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // The thumbnailer made nothing but its output: home and the temporary
    // folder are as empty as they were.
    void ExpectNothingElseWritten() {
        EXPECT_EQ(Left(home), QStringList()) << "files written into the home folder";
        EXPECT_EQ(Left(tmp), QStringList()) << "files left in the temporary folder";
    }

    QString Write(const QString &name, const QByteArray &content) {
        const QString path = dir.filePath(u"pages/"_s + name);
        WriteBytes(path, content);
        return path;
    }

    QTemporaryDir dir;
    QString home;
    QString tmp;
};

// A page of a known colour with a red block near its top left corner.
const QByteArray kColourPage = "<html><body style='margin:0;background:#2060c0'>"
                               "<div style='position:absolute;left:0;top:0;width:512px;"
                               "height:384px;background:#e01010'></div></body></html>";

TEST_F(ThumbnailerTest, SamplePageAndServerPageFitTheRequestedBounds) {
    const QString html = Write(u"colours.htm"_s, kColourPage);
    // A server-side page kind, with a blank and a non-ASCII letter in its name
    // so the file: URI carries escapes.
    const QString asp = Write(u"news page \u00e9.asp"_s, "<% Response.Write(1) %>" + kColourPage);
    for (const QString &page : {html, asp}) {
        for (const int size : {128, 256}) {
            const QString output =
                dir.filePath(u"out/%1-%2.png"_s.arg(size).arg(QFileInfo(page).suffix()));
            QDir().mkpath(QFileInfo(output).path());
            const Run run = RunEntry(size, page, output);
            ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
            QImage thumb;
            ASSERT_TRUE(thumb.load(output, "PNG")) << output.toStdString();
            // The page is laid out in a 4:3 window: the longer side fills the
            // bound and the proportions are kept.
            EXPECT_EQ(thumb.size(), QSize(size, size * 3 / 4));
            // The block covers the top left quarter, the background the rest.
            const QColor block = thumb.pixelColor(size / 8, size / 16);
            const QColor background = thumb.pixelColor(size * 7 / 8, size * 5 / 8);
            EXPECT_GT(block.red(), 180) << block.name().toStdString();
            EXPECT_LT(block.blue(), 60) << block.name().toStdString();
            EXPECT_GT(background.blue(), 150) << background.name().toStdString();
            EXPECT_LT(background.red(), 80) << background.name().toStdString();
            EXPECT_EQ(Left(QFileInfo(output).path()).filter(u"png"_s).size(),
                      Left(QFileInfo(output).path()).size())
                << "a temporary file was left beside the output";
        }
    }
    ExpectNothingElseWritten();
}

TEST_F(ThumbnailerTest, HostilePageEndsWithinTheLimitWithNoOutputAndNoRequestOut) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QByteArray remote = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    const QString page = Write(
        u"hostile.htm"_s, "<html><head><link rel=stylesheet href='" + remote +
                              "/a.css'></head><body><img src='" + remote +
                              "/b.png'><script>fetch('" + remote + "/c');window.open('" + remote +
                              "/d');alert('x');while (true) {}</script></body></html>");
    const QString output = dir.filePath(u"hostile.png"_s);
    const Run run = RunEntry(128, page, output);
    EXPECT_NE(run.exitCode, 0);
    // The default limit is 10 seconds; the engine's start and end may add a
    // little, the watchdog no more than 3 seconds.
    EXPECT_LT(run.elapsedMs, 14000) << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_EQ(Left(dir.path()).filter(u"hostile.png"_s), QStringList());
    // The connections would wait in the listening queue; none came.
    EXPECT_FALSE(server.waitForNewConnection(200)) << "a request left the thumbnailer";
    ExpectNothingElseWritten();
}

TEST_F(ThumbnailerTest, PageThatLoadsOnlyRemoteContentMakesNoRequest) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QByteArray remote = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    const QString page = Write(u"remote.htm"_s, "<body style='background:#fff'><iframe src='" +
                                                    remote + "/frame'></iframe><img src='" +
                                                    remote + "/pic.png'>text</body>");
    const QString output = dir.filePath(u"remote.png"_s);
    const Run run = RunEntry(256, page, output);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(output));
    EXPECT_FALSE(server.waitForNewConnection(200)) << "a request left the thumbnailer";
    ExpectNothingElseWritten();
}

TEST_F(ThumbnailerTest, WhatIsNotALocalPageFailsWithoutOutput) {
    const QString output = dir.filePath(u"none.png"_s);
    QProcess tool;
    const auto exitOf = [&](const QStringList &arguments) {
        tool.start(QString::fromUtf8(VELMORA_THUMBS_TOOL), arguments);
        EXPECT_TRUE(tool.waitForFinished(30000));
        return tool.exitCode();
    };
    EXPECT_EQ(exitOf({u"--thumbnail"_s, u"128"_s, u"http://example.org/a.htm"_s, output}), 1);
    EXPECT_EQ(exitOf({u"--thumbnail"_s, u"128"_s, u"file://otherhost/a.htm"_s, output}), 1);
    EXPECT_EQ(exitOf({u"--thumbnail"_s, u"128"_s, dir.filePath(u"missing.htm"_s), output}), 1);
    EXPECT_EQ(exitOf({u"--thumbnail"_s, u"128"_s, dir.path(), output}), 1);
    EXPECT_EQ(exitOf({u"--thumbnail"_s, u"0"_s, dir.path(), output}), 2);
    EXPECT_EQ(exitOf({u"--thumbnail"_s, u"128"_s, output}), 2);
    EXPECT_FALSE(QFileInfo::exists(output));
}

} // namespace
} // namespace velmora::testing
