// Reading text in its encoding and writing it back byte for byte: UTF-8,
// Latin-1, UTF-16 and UTF-32 after their byte-order marks, and files that are
// not text.

#include "foundation/text_codec.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

QByteArray Bytes(const char *data, qsizetype size) {
    return QByteArray(data, size);
}

// "a", the euro sign, a character beyond the BMP (U+1F600) and a line break.
const QString kSample = u"a\u20AC\U0001F600\n"_s;

struct Encoded {
    const char *name;
    TextEncoding encoding;
    QByteArray bytes;
};

TEST(TextCodec, EachEncodingIsRecognisedAndWrittenBackByteForByte) {
    const Encoded cases[] = {
        {"UTF-8", TextEncoding::Utf8, "a\xE2\x82\xAC\xF0\x9F\x98\x80\n"},
        {"UTF-16 LE", TextEncoding::Utf16Le,
         Bytes("\xFF\xFE"
               "a\0\xAC\x20\x3D\xD8\x00\xDE\n\0",
               12)},
        {"UTF-16 BE", TextEncoding::Utf16Be, Bytes("\xFE\xFF\0a\x20\xAC\xD8\x3D\xDE\x00\0\n", 12)},
        {"UTF-32 LE", TextEncoding::Utf32Le,
         Bytes("\xFF\xFE\0\0"
               "a\0\0\0\xAC\x20\0\0\x00\xF6\x01\0\n\0\0\0",
               20)},
        {"UTF-32 BE", TextEncoding::Utf32Be,
         Bytes("\0\0\xFE\xFF\0\0\0a\0\0\x20\xAC\0\x01\xF6\x00\0\0\0\n", 20)},
    };
    for (const Encoded &c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedText d = DecodeText(c.bytes);
        EXPECT_EQ(d.text, kSample);
        EXPECT_EQ(d.encoding, c.encoding);
        EXPECT_EQ(d.byteOrderMark, c.encoding != TextEncoding::Utf8);
        EXPECT_FALSE(d.binary);
        EXPECT_EQ(EncodeText(d.text, d.encoding, d.byteOrderMark), c.bytes);
    }

    const QByteArray utf8Bom("\xEF\xBB\xBF<p>\xC3\xBC\r\n");
    const DecodedText withBom = DecodeText(utf8Bom);
    EXPECT_EQ(withBom.text, u"<p>\u00FC\r\n"_s);
    EXPECT_TRUE(withBom.byteOrderMark);
    EXPECT_EQ(EncodeText(withBom.text, withBom.encoding, withBom.byteOrderMark), utf8Bom);

    // A second mark after the first is a character of the text.
    const QByteArray twoBoms("\xEF\xBB\xBF\xEF\xBB\xBF"
                             "a");
    const DecodedText twice = DecodeText(twoBoms);
    EXPECT_EQ(twice.text, u"\uFEFFa"_s);
    EXPECT_EQ(EncodeText(twice.text, twice.encoding, twice.byteOrderMark), twoBoms);

    const QByteArray latin1("caf\xE9 \xFF\xFE");
    const DecodedText l = DecodeText(latin1);
    EXPECT_EQ(l.encoding, TextEncoding::Latin1);
    EXPECT_FALSE(l.binary);
    EXPECT_EQ(EncodeText(l.text, l.encoding, l.byteOrderMark), latin1);
}

TEST(TextCodec, MarksAloneAndTheUtf32LeMarkBeforeTheUtf16LeOne) {
    // FF FE 00 00 could be UTF-16 LE beginning with a NUL: it is UTF-32 LE.
    const DecodedText u32 = DecodeText(Bytes("\xFF\xFE\0\0", 4));
    EXPECT_EQ(u32.encoding, TextEncoding::Utf32Le);
    EXPECT_TRUE(u32.text.isEmpty());
    EXPECT_FALSE(u32.binary);
    const DecodedText u16 = DecodeText(Bytes("\xFF\xFE", 2));
    EXPECT_EQ(u16.encoding, TextEncoding::Utf16Le);
    EXPECT_TRUE(u16.byteOrderMark);
    EXPECT_EQ(EncodeText(u16.text, u16.encoding, true), Bytes("\xFF\xFE", 2));
    EXPECT_EQ(DecodeText(Bytes("\0\0\xFE\xFF", 4)).encoding, TextEncoding::Utf32Be);
    EXPECT_EQ(DecodeText(Bytes("\xFE\xFF", 2)).encoding, TextEncoding::Utf16Be);
}

TEST(TextCodec, LoneSurrogatesInUtf16AreKeptAsTheyWere) {
    const QByteArray cases[] = {
        Bytes("\xFF\xFE\x3D\xD8"
              "a\0",
              6),                             // high surrogate without its pair
        Bytes("\xFE\xFF\0a\xDE\x00", 6),      // low surrogate at the end
        Bytes("\xFF\xFE\x00\xDE\x3D\xD8", 6), // the pair in the wrong order
    };
    for (const QByteArray &bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const DecodedText d = DecodeText(bytes);
        EXPECT_FALSE(d.binary);
        EXPECT_EQ(d.text.size(), 2);
        EXPECT_EQ(EncodeText(d.text, d.encoding, d.byteOrderMark), bytes);
    }
}

// Data after a UTF-16/32 mark that cannot be written back as it was is not
// text; its bytes are still all there in the text read as Latin-1.
TEST(TextCodec, WideDataThatDoesNotDecodeIsNotTextAndLosesNoByte) {
    const QByteArray cases[] = {
        Bytes("\xFF\xFE"
              "a\0b",
              5),                             // UTF-16 with an odd byte
        Bytes("\xFE\xFF\0a\0\0\0b", 8),       // UTF-16 NUL character
        Bytes("\0\0\xFE\xFF\0\0\0a\0\0", 10), // UTF-32 cut short
        Bytes("\xFF\xFE\0\0\x00\xD8\0\0", 8), // UTF-32 surrogate value
        Bytes("\0\0\xFE\xFF\0\x11\0\0", 8),   // beyond U+10FFFF
        Bytes("\xFF\xFE\0\0"
              "a\0\0\0\0\0\0\0",
              12), // UTF-32 NUL character
    };
    for (const QByteArray &bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const DecodedText d = DecodeText(bytes);
        EXPECT_TRUE(d.binary);
        EXPECT_EQ(d.encoding, TextEncoding::Latin1);
        EXPECT_EQ(EncodeText(d.text, d.encoding, d.byteOrderMark), bytes);
    }
}

TEST(TextCodec, NulBytesOutsideWideTextMeanNotText) {
    // The first bytes of a JPEG picture.
    const QByteArray jpeg = Bytes("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\x01\0H\0H\0\0", 20);
    const DecodedText picture = DecodeText(jpeg);
    EXPECT_TRUE(picture.binary);
    EXPECT_EQ(EncodeText(picture.text, picture.encoding, picture.byteOrderMark), jpeg);

    // The text is read as before: callers that do not mind NULs keep it.
    const DecodedText utf8 = DecodeText(Bytes("<p>\0caf\xC3\xA9", 9));
    EXPECT_TRUE(utf8.binary);
    EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
    EXPECT_EQ(utf8.text, QStringView(u"<p>\0caf\u00E9", 8).toString());
    const DecodedText latin1 = DecodeText(Bytes("caf\xE9\0", 5));
    EXPECT_TRUE(latin1.binary);
    EXPECT_EQ(latin1.encoding, TextEncoding::Latin1);
    const DecodedText marked = DecodeText(Bytes("\xEF\xBB\xBF\0", 4));
    EXPECT_TRUE(marked.binary);
    EXPECT_TRUE(marked.byteOrderMark);

    EXPECT_FALSE(DecodeText(QByteArray()).binary);
    EXPECT_FALSE(DecodeText("<p>text\r\n").binary);
}

TEST(TextCodec, PiecesAreEncodedWithoutTheMarkUnlessAsked) {
    EXPECT_EQ(EncodeText(u"\r\n"_s, TextEncoding::Utf16Be), Bytes("\0\r\0\n", 4));
    EXPECT_EQ(EncodeText(u"\n"_s, TextEncoding::Utf32Le), Bytes("\n\0\0\0", 4));
    EXPECT_EQ(EncodeText(QString(), TextEncoding::Utf32Be, true), Bytes("\0\0\xFE\xFF", 4));
    EXPECT_EQ(EncodeText(QString(), TextEncoding::Latin1, true), QByteArray());
    // What the encoding cannot hold.
    EXPECT_EQ(EncodeText(u"x\u20AC"_s, TextEncoding::Latin1), QByteArray("x?"));
    EXPECT_EQ(EncodeText(QString(QChar(0xD83D)) + u'a', TextEncoding::Utf32Le),
              Bytes("?\0\0\0a\0\0\0", 8));
}

// A long page decoded a piece at a time gives what decoding it at once
// gives (a megabyte into a page of ASCII is the edge of a piece): characters
// whose bytes lie across the edge, a broken sequence there (Latin-1 then), a
// mark at the start and one in the middle.
TEST(TextCodec, DecodingInPiecesGivesTheSameText) {
    constexpr qsizetype kMegabyte = qsizetype(1) << 20;
    const auto around = [&](qsizetype at, const QByteArray &placed) {
        QByteArray page = QByteArray("abc def\n").repeated(kMegabyte / 4);
        page.replace(at, placed.size(), placed);
        return page;
    };
    std::vector<QByteArray> pages;
    for (qsizetype shift = -4; shift <= 1; ++shift) {
        pages.push_back(around(kMegabyte + shift, "\xE2\x82\xAC\xF0\x9F\x98\x80"));
        pages.push_back(around(kMegabyte + shift, "\xF0\x9F\x98"));     // cut short
        pages.push_back(around(kMegabyte + shift, "\x80\x80\x80\x80")); // no lead byte
    }
    pages.push_back("\xEF\xBB\xBF" + around(kMegabyte, "\xEF\xBB\xBF"));
    pages.push_back(around(3, QByteArray("\0", 1)));
    pages.push_back({});
    for (size_t k = 0; k < pages.size(); ++k) {
        SCOPED_TRACE(k);
        const DecodedText whole = DecodeText(pages[k]);
        const std::optional<DecodedText> pieces =
            DecodeTextStoppable(pages[k], [] { return false; });
        ASSERT_TRUE(pieces.has_value());
        EXPECT_EQ(pieces->encoding, whole.encoding);
        EXPECT_EQ(pieces->byteOrderMark, whole.byteOrderMark);
        EXPECT_EQ(pieces->binary, whole.binary);
        EXPECT_TRUE(pieces->text == whole.text);
    }
    int asked = 0;
    EXPECT_FALSE(DecodeTextStoppable(pages[0], [&] { return ++asked == 2; }).has_value());
}

} // namespace
} // namespace velmora
