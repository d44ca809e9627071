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
    const DecodedText decoded = DecodeText(bytes);
    QString text = FormatHtml(decoded.text, style);
    if (DetectLineEnding(bytes) == LineEnding::Lf)
        text.replace(u"\r\n"_s, u"\n"_s);
    return EncodeText(text, decoded.encoding, decoded.byteOrderMark);
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
