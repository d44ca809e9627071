#include "foundation/text_codec.h"

#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace velmora {

static const QByteArray kUtf8Bom("\xEF\xBB\xBF");
// The UTF-32 LE mark begins with the UTF-16 LE one, so it is looked for first.
static const QByteArray kUtf32LeBom("\xFF\xFE\x00\x00", 4);
static const QByteArray kUtf32BeBom("\x00\x00\xFE\xFF", 4);
static const QByteArray kUtf16LeBom("\xFF\xFE");
static const QByteArray kUtf16BeBom("\xFE\xFF");

static bool IsUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

static bool IsUtf32(TextEncoding encoding) {
    return encoding == TextEncoding::Utf32Le || encoding == TextEncoding::Utf32Be;
}

static bool IsLittleEndian(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf32Le;
}

// The UTF-16/32 encoding whose byte-order mark begins the bytes, if any.
static std::optional<TextEncoding> WideEncodingOf(QByteArrayView bytes) {
    if (bytes.startsWith(kUtf32LeBom))
        return TextEncoding::Utf32Le;
    if (bytes.startsWith(kUtf32BeBom))
        return TextEncoding::Utf32Be;
    if (bytes.startsWith(kUtf16LeBom))
        return TextEncoding::Utf16Le;
    if (bytes.startsWith(kUtf16BeBom))
        return TextEncoding::Utf16Be;
    return std::nullopt;
}

static QByteArray MarkOf(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return kUtf8Bom;
    case TextEncoding::Latin1:
        return {};
    case TextEncoding::Utf16Le:
        return kUtf16LeBom;
    case TextEncoding::Utf16Be:
        return kUtf16BeBom;
    case TextEncoding::Utf32Le:
        return kUtf32LeBom;
    case TextEncoding::Utf32Be:
        return kUtf32BeBom;
    }
    return {};
}

// UTF-16 code units are taken over one for one, lone surrogates included, so
// that encoding them again gives the same bytes. Fails for an odd number of
// bytes or a NUL character.
static bool DecodeUtf16(QByteArrayView body, bool littleEndian, QString &text) {
    if (body.size() % 2 != 0)
        return false;
    text.resize(body.size() / 2);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    if (littleEndian)
        qFromLittleEndian<quint16>(body.data(), text.size(), out);
    else
        qFromBigEndian<quint16>(body.data(), text.size(), out);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (out[i] == 0)
            return false;
    }
    return true;
}

// Fails for a byte count that is not a multiple of four, a NUL character, or a
// value that is no character (a surrogate or beyond U+10FFFF): these could not
// be written back as they were.
static bool DecodeUtf32(QByteArrayView body, bool littleEndian, QString &text) {
    if (body.size() % 4 != 0)
        return false;
    const qsizetype count = body.size() / 4;
    text.clear();
    text.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const char *unit = body.data() + i * 4;
        const char32_t c =
            littleEndian ? qFromLittleEndian<quint32>(unit) : qFromBigEndian<quint32>(unit);
        if (c == 0 || c > 0x10FFFF || QChar::isSurrogate(c))
            return false;
        if (QChar::requiresSurrogates(c)) {
            text.append(QChar(QChar::highSurrogate(c)));
            text.append(QChar(QChar::lowSurrogate(c)));
        } else {
            text.append(QChar(char16_t(c)));
        }
    }
    return true;
}

DecodedText DecodeText(const QByteArray &bytes) {
    DecodedText result;
    if (const std::optional<TextEncoding> wide = WideEncodingOf(bytes)) {
        const QByteArrayView body = QByteArrayView(bytes).sliced(MarkOf(*wide).size());
        const bool ok = IsUtf16(*wide) ? DecodeUtf16(body, IsLittleEndian(*wide), result.text)
                                       : DecodeUtf32(body, IsLittleEndian(*wide), result.text);
        if (ok) {
            result.encoding = *wide;
            result.byteOrderMark = true;
            return result;
        }
        // Not really UTF-16/32: read as before, and flagged as not text.
        result.text.clear();
        result.binary = true;
    }
    if (bytes.contains('\0'))
        result.binary = true;
    QByteArrayView body(bytes);
    if (body.startsWith(kUtf8Bom)) {
        result.byteOrderMark = true;
        body = body.sliced(kUtf8Bom.size());
    }
    // The mark was taken off above; the decoder would drop one more that
    // follows it, which then would be missing when the text is written back.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        result.text = std::move(text);
        return result;
    }
    result.encoding = TextEncoding::Latin1;
    result.byteOrderMark = false;
    result.text = QString::fromLatin1(bytes);
    return result;
}

// Pieces of a long text decoded one after the other: each takes a few
// milliseconds, most of it for the memory of its share of the text.
static constexpr qsizetype kDecodePiece = qsizetype(256) << 10;

// Where a piece of UTF-8 that should end near `end` ends: before the lead
// byte of a character, never inside its sequence. Valid bytes thus fall into
// pieces that are each valid and decode to their share of the text; and when
// every piece is valid, so is the whole.
static qsizetype Utf8PieceEnd(QByteArrayView body, qsizetype end) {
    if (end >= body.size())
        return body.size();
    for (int k = 0; k < 3 && (uchar(body[end]) & 0xC0) == 0x80; ++k)
        --end;
    return end;
}

// Decodes body piece by piece into a text made once at its full size, so
// that the memory is taken a piece at a time too. False when stopped, or
// (for UTF-8) when the bytes are not valid.
static bool DecodePieces(QByteArrayView body, QStringConverter::Encoding encoding,
                         const std::function<bool()> &stop, bool *stopped, QString &text) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    text = QString(body.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype pos = 0; pos < body.size();) {
        if (stop()) {
            *stopped = true;
            return false;
        }
        const qsizetype end = encoding == QStringConverter::Utf8
                                  ? Utf8PieceEnd(body, pos + kDecodePiece)
                                  : std::min(body.size(), pos + kDecodePiece);
        out = decoder.appendToBuffer(out, body.sliced(pos, end - pos));
        if (decoder.hasError())
            return false;
        pos = end;
    }
    text.truncate(out - text.constData());
    return true;
}

std::optional<DecodedText> DecodeTextStoppable(const QByteArray &bytes,
                                               const std::function<bool()> &stop) {
    if (!stop || WideEncodingOf(bytes))
        return DecodeText(bytes);
    DecodedText result;
    result.binary = bytes.contains('\0');
    QByteArrayView body(bytes);
    if (body.startsWith(kUtf8Bom)) {
        result.byteOrderMark = true;
        body = body.sliced(kUtf8Bom.size());
    }
    bool stopped = false;
    if (DecodePieces(body, QStringConverter::Utf8, stop, &stopped, result.text))
        return result;
    if (stopped)
        return std::nullopt;
    result.encoding = TextEncoding::Latin1;
    result.byteOrderMark = false;
    if (!DecodePieces(bytes, QStringConverter::Latin1, stop, &stopped, result.text))
        return std::nullopt;
    return result;
}

static QByteArray EncodeUtf16(const QString &text, bool littleEndian) {
    QByteArray out;
    out.resize(text.size() * 2);
    const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
    if (littleEndian)
        qToLittleEndian<quint16>(units, text.size(), out.data());
    else
        qToBigEndian<quint16>(units, text.size(), out.data());
    return out;
}

static QByteArray EncodeUtf32(const QString &text, bool littleEndian) {
    QByteArray out;
    out.reserve(text.size() * 4);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && i + 1 < n && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(u, text[++i].unicode());
        else if (QChar::isSurrogate(u))
            c = u'?';
        char unit[4];
        if (littleEndian)
            qToLittleEndian<quint32>(c, unit);
        else
            qToBigEndian<quint32>(c, unit);
        out.append(unit, 4);
    }
    return out;
}

QByteArray EncodeText(const QString &text, TextEncoding encoding, bool byteOrderMark) {
    if (encoding == TextEncoding::Latin1) {
        QByteArray out;
        out.resize(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            out[i] = u < 256 ? char(u) : '?';
        }
        return out;
    }
    QByteArray out = byteOrderMark ? MarkOf(encoding) : QByteArray();
    if (IsUtf16(encoding))
        out += EncodeUtf16(text, IsLittleEndian(encoding));
    else if (IsUtf32(encoding))
        out += EncodeUtf32(text, IsLittleEndian(encoding));
    else
        out += text.toUtf8();
    return out;
}

} // namespace velmora
