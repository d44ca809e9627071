#include "formatter/formatter_file.h"

#include "formatter/html_formatter.h"
#include "foundation/file_reader.h"
#include "foundation/text_codec.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

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
    // The lines are gathered into pieces of at most kEncodePiece characters,
    // each encoded and passed on as a whole: neither the formatted text nor
    // its encoded bytes are ever held in full, and no line costs an encoding
    // of its own. A piece holds whole lines, so it encodes as they would. The
    // lines are copied into the piece's buffer directly: most are short, and
    // appending to a string twice per line took longer than the copying.
    QString piece(kEncodePiece, Qt::Uninitialized);
    char16_t *const buffer = reinterpret_cast<char16_t *>(piece.data());
    qsizetype used = 0;
    const auto encodePiece = [&] {
        if (used > 0)
            sink(EncodeText(QString::fromRawData(piece.constData(), used), encoding));
        used = 0;
    };
    const auto copy = [&](QStringView part) {
        std::memcpy(buffer + used, part.utf16(), size_t(part.size()) * sizeof(char16_t));
        used += part.size();
    };
    FormatHtmlToSink(std::move(decoded.text), style, QString(), {}, [&](QStringView line) {
        const qsizetype length = line.size() + lineEnd.size();
        if (used + length > kEncodePiece) {
            encodePiece();
            if (length > kEncodePiece) { // a line longer than a piece goes on its own
                sink(EncodeText(line.toString() + lineEnd, encoding));
                return;
            }
        }
        copy(line);
        copy(lineEnd);
    });
    encodePiece();
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
