// The velmora-format command: files and standard input, line ends and
// encodings kept, in-place writing, and errors.

#include "formatter/formatter_file.h"
#include "formatter_test_support.h"
#include "special_files.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;
using testing::ReadBytes;
using testing::WriteBytes;

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun Format(const QStringList &args, const QByteArray &input = {}) {
    QProcess p;
    p.start(QStringLiteral(VELMORA_FORMAT_EXE), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

class VelmoraFormat : public ::testing::Test {
protected:
    QTemporaryDir dir;
    testing::StyleFolder style{u"[OPTIONS]\nTagCase=1\n[B]\nTagOpen=<B>\nTagClose=</B>\n"
                               "TreatAsText=1\n"_s};
    QString Path(const QString &name) const { return dir.filePath(name); }
};

TEST_F(VelmoraFormat, StandardInputToStandardOutputWithTheStockStyle) {
    const ToolRun r = Format({}, "<table><tr><td>x</td></tr></table>\n");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("<!--~")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\n  <tr>\n")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains('\r'));
}

TEST_F(VelmoraFormat, InPlaceKeepsLineEndsAndEncoding) {
    WriteBytes(Path(u"lf.htm"_s), "<p>caf\xc3\xa9 <b>x</b></p>\n");
    WriteBytes(Path(u"crlf.htm"_s), "<p>caf\xe9\r\n<b>x</b></p>\r\n");
    const ToolRun r = Format(
        {u"--style"_s, style.Path(), u"--in-place"_s, Path(u"lf.htm"_s), Path(u"crlf.htm"_s)});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(ReadBytes(Path(u"lf.htm"_s)), QByteArray("<P>\ncaf\xc3\xa9 <B>x</B>\n</P>\n"));
    EXPECT_EQ(ReadBytes(Path(u"crlf.htm"_s)), QByteArray("<P>\r\ncaf\xe9 <B>x</B>\r\n</P>\r\n"));
}

TEST_F(VelmoraFormat, FilesGoToStandardOutputInOrder) {
    WriteBytes(Path(u"a.htm"_s), "<p>a");
    WriteBytes(Path(u"b.htm"_s), "<p>b");
    const ToolRun r = Format({u"--style"_s, style.Path(), Path(u"a.htm"_s), Path(u"b.htm"_s)});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QByteArray("<P>\na\n<P>\nb\n"));
    EXPECT_EQ(ReadBytes(Path(u"a.htm"_s)), QByteArray("<p>a")); // untouched
}

TEST_F(VelmoraFormat, ErrorsAreReportedAndTheOtherFilesStillFormatted) {
    WriteBytes(Path(u"ok.htm"_s), "<p>ok");
    const ToolRun r = Format({u"--style"_s, style.Path(), u"--in-place"_s, Path(u"missing.htm"_s),
                              dir.path(), Path(u"ok.htm"_s)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot read")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("missing.htm"));
    EXPECT_TRUE(r.err.contains("is a folder"));
    EXPECT_EQ(ReadBytes(Path(u"ok.htm"_s)), QByteArray("<P>\nok\n"));

    const ToolRun badStyle = Format({u"--style"_s, Path(u"nowhere"_s)}, "<p>");
    EXPECT_EQ(badStyle.exitCode, 2);
    EXPECT_TRUE(badStyle.err.contains("style folder"));
    const ToolRun badOption = Format({u"--wrap"_s});
    EXPECT_EQ(badOption.exitCode, 2);
    EXPECT_TRUE(badOption.err.contains("Usage"));
    const ToolRun stdinInPlace = Format({u"--in-place"_s}, "<p>");
    EXPECT_EQ(stdinInPlace.exitCode, 1);
}

// In place, a file keeps its mode; one without write permission is refused
// and left as it was, even for root; a FIFO or a device is never read.
TEST_F(VelmoraFormat, InPlaceKeepsProtectionAndReadsOnlyRegularFiles) {
    WriteBytes(Path(u"shared.htm"_s), "<p>group");
    WriteBytes(Path(u"locked.htm"_s), "<p>locked");
    ASSERT_EQ(::chmod(QFile::encodeName(Path(u"shared.htm"_s)).constData(), 0640), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(Path(u"locked.htm"_s)).constData(), 0444), 0);
    testing::MakeFifo(Path(u"fifo.htm"_s));
    testing::MakeEndlessDevice(Path(u"zero.htm"_s));
    const ToolRun r = Format({u"--style"_s, style.Path(), u"--in-place"_s, Path(u"shared.htm"_s),
                              Path(u"locked.htm"_s), Path(u"fifo.htm"_s), Path(u"zero.htm"_s)});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(ReadBytes(Path(u"shared.htm"_s)), QByteArray("<P>\ngroup\n"));
    EXPECT_EQ(QFileInfo(Path(u"shared.htm"_s)).permissions() & 0x7777,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                  QFile::ReadGroup);
    EXPECT_EQ(ReadBytes(Path(u"locked.htm"_s)), QByteArray("<p>locked"));
    EXPECT_TRUE(
        r.err.contains("cannot write " + Path(u"locked.htm"_s).toUtf8() + ": Permission denied"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("fifo.htm: it is a FIFO")) << r.err.toStdString();
    EXPECT_TRUE(testing::IsCharacterDeviceOrFifo(Path(u"zero.htm"_s)));
}

TEST(FormatterFile, DetectsLineEndsAndKeepsAByteOrderMark) {
    EXPECT_EQ(DetectLineEnding("a\r\nb\nc"), LineEnding::CrLf);
    EXPECT_EQ(DetectLineEnding("a\nb\r\n"), LineEnding::Lf);
    EXPECT_EQ(DetectLineEnding("none"), LineEnding::Lf);
    const FormatterStyle none;
    EXPECT_EQ(FormatFileBytes("\xef\xbb\xbf<p>\xc3\xbc", none),
              QByteArray("\xef\xbb\xbf<P>\n\xc3\xbc\n"));
    EXPECT_EQ(FormatFileBytes("", none), QByteArray());
}

} // namespace
} // namespace velmora
