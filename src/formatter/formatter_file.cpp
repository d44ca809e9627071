#include "formatter/formatter_file.h"

#include "formatter/html_formatter.h"
#include "foundation/file_reader.h"
#include "foundation/text_codec.h"

#include <QFile>
#include <QFileInfo>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

// Characters of output encoded at a time.
constexpr qsizetype kEncodePiece = 32 * 1024;

} // namespace

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
    const QString lineEnd =
        DetectLineEnding(decoded.text) == LineEnding::CrLf ? u"\r\n"_s : u"\n"_s;
    const QByteArray mark = EncodeText(QString(), encoding, decoded.byteOrderMark);
    if (!mark.isEmpty())
        sink(mark);
    // The lines are gathered into pieces of about kEncodePiece characters,
    // each encoded and passed on as a whole: neither the formatted text nor
    // its encoded bytes are ever held in full, and no line costs an encoding
    // of its own. A piece holds whole lines, so it encodes as they would.
    QString piece;
    piece.reserve(kEncodePiece + kEncodePiece / 4);
    FormatHtmlToSink(std::move(decoded.text), style, QString(), {}, [&](QStringView line) {
        piece += line;
        piece += lineEnd;
        if (piece.size() >= kEncodePiece) {
            sink(EncodeText(piece, encoding));
            piece.resize(0);
        }
    });
    if (!piece.isEmpty())
        sink(EncodeText(piece, encoding));
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
