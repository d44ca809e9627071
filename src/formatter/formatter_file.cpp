#include "formatter/formatter_file.h"

#include "formatter/html_formatter.h"
#include "foundation/file_reader.h"
#include "foundation/text_codec.h"

#include <QFile>
#include <QFileInfo>

namespace velmora {

using namespace Qt::StringLiterals;

LineEnding DetectLineEnding(const QByteArray &bytes) {
    const qsizetype lf = bytes.indexOf('\n');
    return (lf > 0 && bytes[lf - 1] == '\r') ? LineEnding::CrLf : LineEnding::Lf;
}

void FormatFileStream(QByteArray bytes, const FormatterStyle &style, const ByteSink &sink) {
    const QByteArray lineEnd = DetectLineEnding(bytes) == LineEnding::CrLf ? "\r\n" : "\n";
    DecodedText decoded = DecodeText(bytes);
    // The raw bytes are not needed once decoded.
    bytes = QByteArray();
    const QByteArray mark = EncodeText(QString(), decoded.encoding, decoded.byteOrderMark);
    if (!mark.isEmpty())
        sink(mark);
    const TextEncoding encoding = decoded.encoding;
    // Each line is encoded and passed on as it is laid out, so neither the
    // formatted text nor its encoded bytes are ever held as a whole.
    FormatHtmlToSink(std::move(decoded.text), style, QString(), {}, [&](QString &&line) {
        QByteArray encoded = EncodeText(line, encoding);
        line = QString();
        encoded += lineEnd;
        sink(encoded);
    });
}

QByteArray FormatFileBytes(const QByteArray &bytes, const FormatterStyle &style) {
    QByteArray out;
    FormatFileStream(bytes, style, [&out](const QByteArray &chunk) { out += chunk; });
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
