#include "formatter_file.h"

#include "html_formatter.h"
#include "text_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace velmora {

using namespace Qt::StringLiterals;

LineEnding DetectLineEnding(const QByteArray &bytes) {
    const qsizetype lf = bytes.indexOf('\n');
    return (lf > 0 && bytes[lf - 1] == '\r') ? LineEnding::CrLf : LineEnding::Lf;
}

QByteArray FormatFileBytes(const QByteArray &bytes, const FormatterStyle &style) {
    DecodedText decoded = DecodeText(bytes);
    const QByteArray lineEnd = DetectLineEnding(bytes) == LineEnding::CrLf ? "\r\n" : "\n";
    QStringList lines = FormatHtmlLines(std::move(decoded.text), style);
    // Encoded line by line: the formatted text is never held twice.
    QByteArray out = EncodeText(QString(), decoded.encoding, decoded.byteOrderMark);
    qsizetype total = out.size();
    for (const QString &line : lines)
        total += line.size() + lineEnd.size();
    out.reserve(total);
    for (QString &line : lines) {
        out += EncodeText(line, decoded.encoding);
        out += lineEnd;
        line = QString();
    }
    return out;
}

bool ReadWholeFile(const QString &path, QByteArray &bytes, QString &error) {
    if (QFileInfo(path).isDir()) {
        error = u"is a folder"_s;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString &error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace velmora
