#pragma once
// Small string and character operations shared by the whole program.
// Positions are 1-based as in the rest of the program's text handling; 0 means
// "not found".

#include <QString>
#include <QStringList>

namespace velmora {

QString TrimCharLeft(const QString &s, QChar c);
QString TrimCharRight(const QString &s, QChar c);
// Removes blanks (character 32 only, not tabs) at both ends.
QString TrimSpaces(const QString &s);
// Tabs become blanks, then every run of blanks becomes one blank.
QString CollapseBlanks(const QString &s);
bool IsSpaceChar(QChar c);
bool IsBlank(const QString &s);
bool IsAlphaNum(QChar c);
// A-Z and the three German umlauts become lower case; everything else is kept.
QChar ToLowerChar(QChar c);
bool StartsWithTag(const QString &s);
// "<  b >  " gives "<b> ": trims, strips stray brackets, re-encloses, and keeps
// one trailing blank if the text ended in one.
QString NormalizeTag(const QString &s);
// From position p, until a blank, '"' or '>' : mode 1 ASCII upper case, mode 2
// ToLowerChar, any other mode leaves the text alone.
void SetWordCase(QString &s, int p, int mode);
// Position (in s) of pattern at or after position f, compared in ASCII upper case.
int PosFrom(const QString &pattern, const QString &s, int f);
// Field n (0-based) of s split at c; empty when s has fewer fields.
QString ExtractField(const QString &s, QChar c, int n);
// Replaces every occurrence of search (compared in locale upper case), left to
// right, without overlaps and without rescanning the replacement.
void ReplaceAll(QString &s, const QString &search, const QString &replacement);

// Thrown by NextCounter when the counter text is not a number.
struct ConversionError {
    QString text;
};
// prefix + ":" + (number after the first ':' of s) + 1.
QString NextCounter(const QString &prefix, const QString &s);

// ASCII-only upper case: changes a to z and nothing else.
QString AsciiUpper(const QString &s);
bool SameTextAscii(const QString &a, const QString &b);

} // namespace velmora
