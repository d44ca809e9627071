#pragma once
// Tag syntax hints from tagsyntax.txt: a line that begins with a tag name in
// angle brackets (any letter case) gives the hint for that tag, everything
// after the line's first ':'.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace velmora {

inline constexpr qsizetype kMaxHintLength = 1000;

// The lines of the file (UTF-8 or Latin-1, any line ends); empty when the file
// does not exist or cannot be read.
QStringList LoadTagSyntax(const QString &path);
QStringList TagSyntaxFromBytes(const QByteArray &bytes);

// The hint of a hint line: after the first ':', blanks trimmed, at most 1000
// characters; empty when the line has no ':'.
QString HintOfLine(const QString &line);

// The hint for the tag around caret (a closing tag gives its opening tag's
// hint): nullopt when there is no hint list or no tag range around the caret
// (the hint field keeps its text), an empty string when no line matches.
std::optional<QString> TagHintAt(const QStringList &tagSyntax, QStringView text, qsizetype caret);

} // namespace velmora
