#pragma once
// The INI (profile) file format of prg.ini and the formatter styles.
//
// Reading: section and key names match without regard to case; blanks and tabs
// around a value are removed, then one pair of enclosing quotes (single or
// double); at most 2047 characters of a value are read. Lines starting with
// ';' are comments. The first of repeated sections or keys wins.
// Writing: a key is replaced in place, a new key goes after the last entry of
// its section, a new section at the end of the file; every other line (unknown
// keys, comments, blank lines) is kept as it was. The file is saved atomically.

#include "foundation/text_codec.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmora {

class IniFile {
public:
    static constexpr int kMaxValueLength = 2047;

    IniFile() = default;
    // Loads path; a missing file gives an empty file. False (and an empty file)
    // when it exists but cannot be read: when it is no regular file, or
    // larger than any settings file could be.
    bool Load(const QString &path);
    void Parse(const QByteArray &bytes);

    std::optional<QString> Value(const QString &section, const QString &key) const;
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    QStringList SectionNames() const;
    QStringList KeyNames(const QString &section) const;

    QByteArray ToBytes() const;
    // Writes the whole file through a temporary file and a rename, so a failure
    // leaves the old file as it was. On failure error receives the reason.
    bool Save(const QString &path, QString *error = nullptr) const;

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        QString text;
        LineKind kind = LineKind::Other;
        QString name; // section or key name as written, trimmed
    };

    static Line Classify(const QString &text);
    int FindSection(const QString &section) const;
    int FindKey(int sectionLine, const QString &key) const;
    int EndOfSection(int sectionLine) const;
    void ForgetLastSection();

    std::vector<Line> lines_;
    QString lineEnd_ = QStringLiteral("\n");
    bool byteOrderMark_ = false;
    TextEncoding encoding_ = TextEncoding::Utf8;
    mutable QString lastSection_;
    mutable int lastSectionLine_ = -1;
};

// Integer text as the settings read it: optional sign, then decimal digits or
// hexadecimal digits after "$", "0x" or "0X". nullopt for anything else.
std::optional<int> ParseIniInteger(const QString &text);
// The value text that reads back as value (quoted when blanks or quotes at its
// ends would otherwise be lost; line breaks, which a line cannot hold, become
// blanks).
QString EncodeIniValue(const QString &value);

} // namespace velmora
