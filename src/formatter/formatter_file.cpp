#include "formatter/formatter_file.h"

#include "formatter/html_formatter.h"
#include "foundation/file_reader.h"
#include "foundation/text_codec.h"

#include <QFile>
#include <QFileInfo>

namespace velmora {

using namespace Qt::StringLiterals;

LineEnding DetectLineEnding(QStringView text) {
    const qsizetype lf = text.indexOf(u'\n');
    return (lf > 0 && text[lf - 1] == u'\r') ? LineEnding::CrLf : LineEnding::Lf;
}

LineEnding DetectLineEnding(const QByteArray &bytes) {
    return DetectLineEnding(DecodeText(bytes).text);
}

bool FormatFileStream(QByteArray bytes, const FormatterStyle &style, const ByteSink &sink) {
    DecodedText decoded = DecodeText(bytes);
    // The raw bytes are not needed once decoded.
    bytes = QByteArray();
    if (decoded.binary)
        return false;
    const TextEncoding encoding = decoded.encoding;
    // The line break is encoded like the text: two or four bytes each in
    // UTF-16 and UTF-32.
    const QByteArray lineEnd = EncodeText(
        DetectLineEnding(decoded.text) == LineEnding::CrLf ? u"\r\n"_s : u"\n"_s, encoding);
    const QByteArray mark = EncodeText(QString(), encoding, decoded.byteOrderMark);
    if (!mark.isEmpty())
        sink(mark);
    // Each line is encoded and passed on as it is laid out, so neither the
    // formatted text nor its encoded bytes are ever held as a whole.
    FormatHtmlToSink(std::move(decoded.text), style, QString(), {}, [&](QString &&line) {
        QByteArray encoded = EncodeText(line, encoding);
        line = QString();
        encoded += lineEnd;
        sink(encoded);
    });
    return true;
}

std::optional<QByteArray> FormatFileBytes(const QByteArray &bytes, const FormatterStyle &style) {
    QByteArray out;
    if (!FormatFileStream(bytes, style, [&out](const QByteArray &chunk) { out += chunk; }))
        return std::nullopt;
    return out;
}

bool ReadWholeFile(const QString &path, QByteArray &bytes, QString &error) {
    FileRead read = ReadRegularFile(path, kMaxPageBytes);
    if (!read.ok()) {
        error = read.error;
        return false;
    }
    bytes = std::move(read.bytes);
    return true;
}

} // namespace velmora
