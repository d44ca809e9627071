// The editor's text: files decoded and encoded back byte for byte, line ends
// kept through edits, and the files the editor must not save.

#include "editor/editor_text.h"

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

QByteArray Bytes(const char *data, qsizetype size) {
    return QByteArray(data, size);
}

QByteArray Latin1Range() {
    QByteArray bytes = "Latin-1:\r\n";
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes += char(b);
    return bytes + "\r\nend";
}

TEST(EditorText, UnchangedTextGivesBackTheSameBytes) {
    const QByteArray files[] = {
        "",
        "one line",
        "a\nb\n",
        "a\r\nb\r\n",
        "a\rb\r",
        "a\r\nb\nc\rd",
        "\r\n\r\n\n\r\r\n",
        "no final line end\r\nhere",
        "\xEF\xBB\xBF",
        "\xEF\xBB\xBF<p>caf\xC3\xA9</p>\r\n",
        "caf\xC3\xA9 \xC2\xA0 \xE2\x80\xA8 \xF0\x9F\x98\x80\n",
        "caf\xE9 \xA0\r\n",
        Latin1Range(),
        Bytes("\xFF\xFE", 2),
        Bytes("\xFF\xFEh\0i\0\r\0\n\0\xA0\0\r\0", 14),
        Bytes("\xFE\xFF\0h\0\n\xD8\x3D\xDE\x00", 10),
        Bytes("\xFF\xFE\x00\x00h\0\0\0\r\0\0\0\n\0\0\0", 16),
    };
    for (const QByteArray &bytes : files) {
        const EditorText t = DecodeEditorText(bytes);
        EXPECT_TRUE(t.exact) << bytes.toHex().toStdString() << " " << t.notice.toStdString();
        EXPECT_FALSE(t.text.contains(u'\r')) << bytes.toHex().toStdString();
        EXPECT_EQ(EncodeEditorText(t, t.text), bytes) << bytes.toHex().toStdString();
    }
}

TEST(EditorText, DecodedTextHasOneLineBreakPerLineEnd) {
    const EditorText mixed = DecodeEditorText("a\r\nb\nc\rd");
    EXPECT_EQ(mixed.text, u"a\nb\nc\nd");
    EXPECT_EQ(mixed.lineEnds, (std::vector{LineEnd::CrLf, LineEnd::Lf, LineEnd::Cr}));

    const EditorText latin1 = DecodeEditorText("caf\xE9\xA0!");
    EXPECT_EQ(latin1.encoding, TextEncoding::Latin1);
    EXPECT_EQ(latin1.text, u"caf\u00E9\u00A0!");

    const EditorText utf16 = DecodeEditorText(Bytes("\xFF\xFEh\0\r\0\n\0", 8));
    EXPECT_EQ(utf16.encoding, TextEncoding::Utf16Le);
    EXPECT_EQ(utf16.text, u"h\n");
}

// The file's bytes with one change: the byte string of a line replaced.
struct EditCase {
    QByteArray before;
    QString edited;
    QByteArray after;
};

TEST(EditorText, EditsKeepTheLineEndsTheyDidNotReach) {
    const EditCase cases[] = {
        // A letter typed in the middle line: every line end stays.
        {"a\r\nb\nc\rd", u"a\nbe\nc\nd"_s, "a\r\nbe\nc\rd"},
        // A new line in a CR LF file gets CR LF.
        {"a\r\nb\r\nc\r\n", u"a\nb\nnew\nc\n"_s, "a\r\nb\r\nnew\r\nc\r\n"},
        // Enter typed in a line that ends in LF: the new break gets the most
        // common end, the line's own end stays.
        {"a\r\nxy\nb\r\n", u"a\nx\ny\nb\n"_s, "a\r\nx\r\ny\nb\r\n"},
        // A deleted line takes its own end with it.
        {"a\r\nb\nc\r", u"a\nc\n"_s, "a\r\nc\r"},
        // Lines added after a last line that had no end.
        {"a\r\nb", u"a\nb\nc"_s, "a\r\nb\r\nc"},
        // A line end removed at the end of the file.
        {"a\nb\r\n", u"a\nb"_s, "a\nb"},
        // Every line replaced: the new lines take the most common end, the
        // file's last line end stays.
        {"a\r\nb\r\nc\n", u"x\ny\n"_s, "x\r\ny\n"},
        // The edited text may join its lines with CR LF, CR or U+2029.
        {"a\nb\nc", u"a\r\nb\rc\u2029d"_s, "a\nb\nc\nd"},
        // A file without line ends gets LF.
        {"one", u"one\ntwo"_s, "one\ntwo"},
        // The encoding and the byte-order mark stay.
        {"\xEF\xBB\xBF"
         "a\r\n",
         u"\u00E9\n"_s, "\xEF\xBB\xBF\xC3\xA9\r\n"},
        {"\xE9\r\n", u"\u00E9\u00E9\n"_s, "\xE9\xE9\r\n"},
        {Bytes("\xFF\xFEh\0\r\0\n\0", 8), u"h\ni\n"_s, Bytes("\xFF\xFEh\0\r\0\n\0i\0\r\0\n\0", 14)},
        // An LF after a CR would merge two lines into one CR LF on reading.
        {"a\rb\n", u"a\n\n"_s, "a\r\r"},
        {"a\rb\nc\n", u"a\n\nb\nc\n"_s, "a\r\rb\nc\n"},
        // Emptied.
        {"a\r\nb", u""_s, ""},
    };
    for (const EditCase &c : cases) {
        const EditorText t = DecodeEditorText(c.before);
        ASSERT_TRUE(t.exact);
        EXPECT_EQ(EncodeEditorText(t, c.edited), c.after) << c.before.toStdString();
    }
}

TEST(EditorText, NewLinesTakeTheMostCommonLineEnd) {
    EXPECT_EQ(DecodeEditorText("a\rb\rc\nd").newLineEnd, LineEnd::Cr);
    EXPECT_EQ(DecodeEditorText("a\r\nb\r\nc\nd").newLineEnd, LineEnd::CrLf);
    EXPECT_EQ(DecodeEditorText("a\r\nb\nc").newLineEnd, LineEnd::Lf); // a tie
    EXPECT_EQ(DecodeEditorText("abc").newLineEnd, LineEnd::Lf);
}

TEST(EditorText, FilesTheControlCannotHoldAreNotExact) {
    const QByteArray files[] = {
        Bytes("<p>\0</p>", 8),
        Bytes("\xFF\xFEh\0i", 5),                     // odd UTF-16
        "para\xE2\x80\xA9graph",                      // U+2029
        "frame \xEF\xB7\x90 mark",                    // U+FDD0
        Bytes("\xFF\xFE\x00\x00\x00\xD8\x00\x00", 8), // a surrogate in UTF-32
    };
    for (const QByteArray &bytes : files) {
        const EditorText t = DecodeEditorText(bytes);
        EXPECT_FALSE(t.exact) << bytes.toHex().toStdString();
        EXPECT_FALSE(t.notice.isEmpty());
        EXPECT_EQ(EditorSaveProblem(t, t.text), t.notice);
    }
    EXPECT_TRUE(DecodeEditorText(Bytes("a\0", 2)).notice.contains(u"NUL"));
    // Characters the control keeps as they are.
    EXPECT_TRUE(DecodeEditorText("line\xE2\x80\xA8separator\xC2\xA0\t\x0C").exact);
}

TEST(EditorText, OverLongFilesAreCutAndNotExact) {
    QByteArray line(49, 'x');
    line += "\r\n";
    QByteArray bytes = line.repeated(kEditorMaxChars / 50);
    const EditorText full = DecodeEditorText(bytes);
    EXPECT_TRUE(full.exact);
    EXPECT_EQ(full.text.size(), kEditorMaxChars);

    bytes += "y\xF0\x9F\x98\x80"; // one more, then a surrogate pair across the limit
    const EditorText cut = DecodeEditorText(bytes);
    EXPECT_FALSE(cut.exact);
    EXPECT_TRUE(cut.notice.contains(u"2,000,000"));
    EXPECT_EQ(cut.text.size(), kEditorMaxChars);
    EXPECT_EQ(cut.lineEnds.size(), size_t(cut.text.count(u'\n')));

    const EditorText split = DecodeEditorText(bytes.sliced(2) + "z");
    EXPECT_EQ(split.text.size(), kEditorMaxChars - 1); // the pair is not split
    EXPECT_TRUE(split.text.endsWith(u'y'));
}

TEST(EditorText, CharactersTheEncodingCannotHoldAreReportedBeforeSaving) {
    const EditorText latin1 = DecodeEditorText("caf\xE9\r\n");
    EXPECT_TRUE(EditorSaveProblem(latin1, u"caf\u00E9\n\u00FF"_s).isEmpty());
    const QString euro = EditorSaveProblem(latin1, u"caf\u00E9\nprice 5\u20AC"_s);
    EXPECT_TRUE(euro.contains(u"Line 2")) << euro.toStdString();
    EXPECT_TRUE(euro.contains(u"U+20AC"));
    EXPECT_TRUE(euro.contains(u"&#8364;"));
    const QString emoji = EditorSaveProblem(latin1, u"\U0001F600"_s);
    EXPECT_TRUE(emoji.contains(u"U+1F600")) << emoji.toStdString();

    const EditorText utf8 = DecodeEditorText("plain");
    EXPECT_TRUE(EditorSaveProblem(utf8, u"5\u20AC \U0001F600"_s).isEmpty());
    EXPECT_TRUE(EditorSaveProblem(utf8, QString(QChar(0xD800))).contains(u"U+D800"));

    const EditorText utf16 = DecodeEditorText(Bytes("\xFF\xFEh\0", 4));
    EXPECT_TRUE(EditorSaveProblem(utf16, QString(QChar(0xD800))).isEmpty());
}

// Byte strings built from pieces that trouble decoders: line ends, marks,
// NUL, broken and unusual UTF-8, Latin-1 bytes.
QByteArray RandomBytes(std::mt19937 &random) {
    static const QByteArray pieces[] = {
        "a",
        "<p>",
        "\r",
        "\n",
        "\r\n",
        "\xA0",
        "\xE9",
        "\xC3\xA9",
        "\xC2\xA0",
        "\xE2\x80\xA8",
        "\xE2\x80\xA9",
        "\xEF\xBB\xBF",
        "\xFF\xFE",
        "\xFE\xFF",
        Bytes("\0", 1),
        "\xC3",
        "\xED\xA0\x80",
        "\xC0\xAF",
        "\xF0\x9F\x98\x80",
        "\xEF\xB7\x90",
        "\t",
        Bytes("\0\0", 2),
    };
    std::uniform_int_distribution<size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> count(0, 12);
    QByteArray bytes;
    for (int n = count(random); n > 0; --n)
        bytes += pieces[piece(random)];
    return bytes;
}

QString RandomEdit(const QString &text, std::mt19937 &random) {
    static const QString inserts[] = {u""_s, u"x"_s, u"\n"_s, u"y\nz"_s, u"\u00E9"_s, u"\n\n"_s};
    std::uniform_int_distribution<qsizetype> at(0, text.size());
    qsizetype from = at(random);
    qsizetype to = at(random);
    if (from > to)
        std::swap(from, to);
    std::uniform_int_distribution<size_t> insert(0, std::size(inserts) - 1);
    return text.first(from) + inserts[insert(random)] + text.sliced(to);
}

TEST(EditorText, GeneratedFilesRoundTripAndEditsKeepTheirText) {
    std::mt19937 random(20240611);
    int exact = 0;
    for (int n = 0; n < 20000; ++n) {
        const QByteArray bytes = RandomBytes(random);
        const EditorText t = DecodeEditorText(bytes);
        ASSERT_EQ(t.lineEnds.size(), size_t(t.text.count(u'\n')));
        if (!t.exact)
            continue;
        ++exact;
        ASSERT_EQ(EncodeEditorText(t, t.text), bytes) << bytes.toHex().toStdString();
        // An edit is written so that it reads back as the edited text.
        const QString edited = RandomEdit(t.text, random);
        if (!EditorSaveProblem(t, edited).isEmpty())
            continue;
        const EditorText back = DecodeEditorText(EncodeEditorText(t, edited));
        if (back.encoding == t.encoding) {
            ASSERT_EQ(back.text, edited) << bytes.toHex().toStdString();
        }
    }
    EXPECT_GT(exact, 2000);
}

} // namespace
} // namespace velmora
