#include "foundation/text_codec.h"

#include <QStringDecoder>

namespace velmora {

static const QByteArray kUtf8Bom("\xEF\xBB\xBF");

DecodedText DecodeText(const QByteArray &bytes) {
    DecodedText result;
    QByteArrayView body(bytes);
    if (body.startsWith(kUtf8Bom)) {
        result.byteOrderMark = true;
        body = body.sliced(kUtf8Bom.size());
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
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
    QByteArray out = byteOrderMark ? kUtf8Bom : QByteArray();
    out += text.toUtf8();
    return out;
}

} // namespace velmora
