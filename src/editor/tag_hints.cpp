#include "editor/tag_hints.h"

#include "editor/caret_colouring.h"
#include "foundation/file_reader.h"
#include "foundation/text_codec.h"
#include "foundation/text_utils.h"

#include <QFile>

namespace velmora {

using namespace Qt::StringLiterals;

QStringList LoadTagSyntax(const QString &path) {
    const FileRead read = ReadRegularFile(path, kMaxTagSyntaxBytes);
    if (!read.ok())
        return {};
    return TagSyntaxFromBytes(read.bytes);
}

QStringList TagSyntaxFromBytes(const QByteArray &bytes) {
    QString text = DecodeText(bytes).text;
    text.replace(u"\r\n"_s, u"\n"_s);
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QString HintOfLine(const QString &line) {
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return {};
    return TrimSpaces(line.mid(colon + 1)).left(kMaxHintLength);
}

std::optional<QString> TagHintAt(const QStringList &tagSyntax, QStringView text, qsizetype caret) {
    if (tagSyntax.isEmpty())
        return std::nullopt;
    const RecEditTagInfo range = TagAroundCaret(text, caret);
    if (range.kind == 0)
        return std::nullopt;
    QString t = range.text.left(range.text.indexOf(u'>') + 1);
    if (t.size() > 1 && t[1] == u'/')
        t.remove(1, 1);
    qsizetype nameEnd = 0;
    while (nameEnd < t.size() && t[nameEnd] != u'>' && !IsSpaceChar(t[nameEnd]))
        ++nameEnd;
    const QString key = t.left(nameEnd) + u'>';
    for (const QString &line : tagSyntax)
        if (line.startsWith(key, Qt::CaseInsensitive))
            return HintOfLine(line);
    return QString();
}

} // namespace velmora
