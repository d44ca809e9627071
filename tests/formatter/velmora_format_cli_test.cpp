// The velmora-format command: files and standard input, line ends and
// encodings kept, in-place writing, and errors.

#include "formatter/formatter_file.h"
#include "formatter_test_support.h"
#include "foundation/text_codec.h"
#include "temp_files.h"
#include "unusual_files.h"

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

// The text as UTF-16 (unit 2) or UTF-32 (unit 4) with its byte-order mark,
// built here on its own rather than with the codec under test.
QByteArray Wide(const QString &text, int unit, bool bigEndian) {
    QList<uint> units;
    if (unit == 2) {
        for (QChar c : text)
            units.append(c.unicode());
    } else {
        units = text.toUcs4();
    }
    units.prepend(0xFEFF);
    QByteArray out;
    for (uint u : units) {
        for (int i = 0; i < unit; ++i) {
            const int shift = 8 * (bigEndian ? unit - 1 - i : i);
            out.append(char((u >> shift) & 0xFF));
        }
    }
    return out;
}

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

// --style takes the name of a shipped style as well as a folder; a name
// that is neither is an error before any file is read.
TEST_F(VelmoraFormat, StyleByNameOrFolder) {
    const QByteArray page = "<!DOCTYPE html><main><p>x</main>\n";
    const ToolRun byName = Format({u"--style"_s, u"HTML5"_s}, page);
    EXPECT_EQ(byName.exitCode, 0) << byName.err.toStdString();
    EXPECT_TRUE(byName.out.startsWith("<!DOCTYPE html>\n<main>\n\n  <p>\n"))
        << byName.out.toStdString();
    const ToolRun byFolder = Format({u"--style"_s, style.Path()}, "<b>x</b>");
    EXPECT_EQ(byFolder.out, "<B>x</B>\n") << byFolder.err.toStdString();
    const ToolRun missing = Format({u"--style"_s, u"NO_SUCH_STYLE"_s}, page);
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("NO_SUCH_STYLE")) << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
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

TEST_F(VelmoraFormat, InPlaceKeepsUtf16AndUtf32Pages) {
    const QString page = u"<p>caf\u00E9\r\n<b>\U0001F600</b></p>\r\n"_s;
    const QString formatted = u"<P>\r\ncaf\u00E9 <B>\U0001F600</B>\r\n</P>\r\n"_s;
    QString pageLf = page, formattedLf = formatted;
    pageLf.replace(u"\r\n"_s, u"\n"_s);
    formattedLf.replace(u"\r\n"_s, u"\n"_s);
    struct File {
        QString name;
        QByteArray before, after;
    };
    const File files[] = {
        {u"le16.htm"_s, Wide(page, 2, false), Wide(formatted, 2, false)},
        {u"be16.htm"_s, Wide(pageLf, 2, true), Wide(formattedLf, 2, true)},
        {u"le32.htm"_s, Wide(pageLf, 4, false), Wide(formattedLf, 4, false)},
        {u"be32.htm"_s, Wide(page, 4, true), Wide(formatted, 4, true)},
    };
    QStringList args{u"--style"_s, style.Path(), u"-i"_s};
    for (const File &f : files) {
        WriteBytes(Path(f.name), f.before);
        args.append(Path(f.name));
    }
    const ToolRun r = Format(args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const File &f : files)
        EXPECT_EQ(ReadBytes(Path(f.name)).toHex(), f.after.toHex()) << f.name.toStdString();

    const ToolRun out = Format({u"--style"_s, style.Path()}, Wide(page, 2, true));
    EXPECT_EQ(out.exitCode, 0);
    EXPECT_EQ(out.out.toHex(), Wide(formatted, 2, true).toHex());
}

TEST_F(VelmoraFormat, FilesThatAreNotTextAreRefusedAndLeftAlone) {
    const QString photo = QStringLiteral(VELMORA_SAMPLE_SITE) + u"/images/photo.jpg"_s;
    const QByteArray jpeg = ReadBytes(photo);
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8")) << photo.toStdString();
    const QByteArray nul("<p>a\0b</p>\n", 10);
    QByteArray oddUtf16 = Wide(u"<p>a"_s, 2, false);
    oddUtf16.append('b'); // one byte short of a character: formatting would drop it
    WriteBytes(Path(u"photo.htm"_s), jpeg);
    WriteBytes(Path(u"nul.htm"_s), nul);
    WriteBytes(Path(u"odd.htm"_s), oddUtf16);
    WriteBytes(Path(u"ok.htm"_s), "<p>ok");
    const QStringList files{Path(u"photo.htm"_s), Path(u"nul.htm"_s), Path(u"odd.htm"_s),
                            Path(u"ok.htm"_s)};

    const ToolRun inPlace = Format(QStringList{u"--style"_s, style.Path(), u"-i"_s} + files);
    EXPECT_EQ(inPlace.exitCode, 1);
    EXPECT_TRUE(inPlace.out.isEmpty());
    for (const QString &name : {u"photo.htm"_s, u"nul.htm"_s, u"odd.htm"_s})
        EXPECT_TRUE(inPlace.err.contains((Path(name) + u": not a text file"_s).toUtf8()))
            << inPlace.err.toStdString();
    EXPECT_EQ(ReadBytes(Path(u"photo.htm"_s)), jpeg);
    EXPECT_EQ(ReadBytes(Path(u"nul.htm"_s)), nul);
    EXPECT_EQ(ReadBytes(Path(u"odd.htm"_s)), oddUtf16);
    EXPECT_EQ(ReadBytes(Path(u"ok.htm"_s)), QByteArray("<P>\nok\n"));

    // Printed, only the text file comes out.
    WriteBytes(Path(u"ok.htm"_s), "<p>ok");
    const ToolRun printed = Format(QStringList{u"--style"_s, style.Path()} + files);
    EXPECT_EQ(printed.exitCode, 1);
    EXPECT_EQ(printed.out, QByteArray("<P>\nok\n"));
    EXPECT_EQ(printed.err.count("not a text file"), 3) << printed.err.toStdString();

    const ToolRun piped = Format({u"--style"_s, style.Path()}, jpeg);
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_TRUE(piped.out.isEmpty());
    EXPECT_TRUE(piped.err.contains("standard input: not a text file"));
}

// Formatting a UTF-16/32 page gives the text that formatting the same page
// as UTF-8 gives, in the page's encoding, line ends and byte-order mark.
TEST(FormatterFile, WidePagesFormatLikeTheirUtf8Text) {
    const FormatterStyle stock = testing::StockStyle();
    const QString page =
        u"<html><body><table><tr><td>caf\u00E9   \u20AC</td></tr></table>\r\n"
        "<p>Some   text <b>bold</b> and \U0001F600 more text to wrap, more text to wrap, "
        "more text to wrap.<ul><li>one<li>two</ul></body></html>\r\n"_s;
    const TextEncoding encodings[] = {TextEncoding::Utf16Le, TextEncoding::Utf16Be,
                                      TextEncoding::Utf32Le, TextEncoding::Utf32Be};
    for (const bool crlf : {true, false}) {
        QString text = page;
        if (!crlf)
            text.replace(u"\r\n"_s, u"\n"_s);
        const std::optional<QByteArray> utf8 = FormatFileBytes(text.toUtf8(), stock);
        ASSERT_TRUE(utf8);
        const QString expected = QString::fromUtf8(*utf8);
        ASSERT_EQ(expected.contains(u"\r\n"_s), crlf);
        for (const TextEncoding encoding : encodings) {
            SCOPED_TRACE(::testing::Message() << "encoding " << int(encoding) << " crlf " << crlf);
            const std::optional<QByteArray> out =
                FormatFileBytes(EncodeText(text, encoding, true), stock);
            ASSERT_TRUE(out);
            const DecodedText back = DecodeText(*out);
            EXPECT_FALSE(back.binary);
            EXPECT_EQ(back.encoding, encoding);
            EXPECT_TRUE(back.byteOrderMark);
            EXPECT_EQ(back.text, expected);
            // Formatted once, the page stays as it is.
            EXPECT_EQ(FormatFileBytes(*out, stock), out);
        }
    }
}

TEST(FormatterFile, LineEndsOfWidePagesAndBytesThatAreNotText) {
    EXPECT_EQ(DetectLineEnding(Wide(u"a\r\nb\n"_s, 2, false)), LineEnding::CrLf);
    EXPECT_EQ(DetectLineEnding(Wide(u"a\r\nb\n"_s, 2, true)), LineEnding::CrLf);
    EXPECT_EQ(DetectLineEnding(Wide(u"a\nb\r\n"_s, 4, true)), LineEnding::Lf);
    EXPECT_EQ(DetectLineEnding(u"x\r\n"_s), LineEnding::CrLf);

    const FormatterStyle none;
    EXPECT_EQ(FormatFileBytes(QByteArray("<p>\0", 4), none), std::nullopt);
    bool handed = false;
    EXPECT_FALSE(FormatFileStream(QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11), none,
                                  [&](const QByteArray &) { handed = true; }));
    EXPECT_FALSE(handed);
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
