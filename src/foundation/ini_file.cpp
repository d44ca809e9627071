#include "foundation/ini_file.h"

#include "foundation/atomic_file.h"
#include "foundation/file_reader.h"

#include "foundation/text_codec.h"

#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {

static bool IsIniBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

static QStringView TrimIniBlanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsIniBlank(s[b]))
        ++b;
    while (e > b && IsIniBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

static bool IsQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

IniFile::Line IniFile::Classify(const QString &text) {
    Line line{text, LineKind::Other, {}};
    const QStringView t = TrimIniBlanks(text);
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        line.kind = LineKind::Section;
        line.name = TrimIniBlanks(t.sliced(1, (close < 0 ? t.size() : close) - 1)).toString();
    } else if (!t.startsWith(u';')) {
        const qsizetype eq = t.indexOf(u'=');
        if (eq > 0) {
            line.kind = LineKind::Key;
            line.name = TrimIniBlanks(t.first(eq)).toString();
        }
    }
    return line;
}

void IniFile::Parse(const QByteArray &bytes) {
    ForgetLastSection();
    lines_.clear();
    const DecodedText decoded = DecodeText(bytes);
    byteOrderMark_ = decoded.byteOrderMark;
    encoding_ = decoded.encoding;
    const QString &text = decoded.text;
    const qsizetype firstBreak = text.indexOf(u'\n');
    lineEnd_ = (firstBreak > 0 && text[firstBreak - 1] == u'\r') ? u"\r\n"_s : u"\n"_s;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        lines_.push_back(Classify(text.sliced(start, end - start)));
        if (end < n && text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
}

bool IniFile::Load(const QString &path) {
    const FileRead read = ReadRegularFile(path, kMaxSettingsFileBytes);
    Parse(read.bytes);
    return read.ok() || read.status == ReadStatus::Missing;
}

int IniFile::FindSection(const QString &section) const {
    // Readers ask for many keys of one section in a row (a style holds a
    // hundred rules of a dozen keys each), so the last answer is kept until
    // the next parse. Writes leave it right: they add lines only below the
    // section they looked up (the one kept) or at the end of the file.
    if (lastSectionLine_ >= 0 && lastSection_.compare(section, Qt::CaseInsensitive) == 0)
        return lastSectionLine_;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == LineKind::Section &&
            lines_[i].name.compare(section, Qt::CaseInsensitive) == 0) {
            lastSection_ = section;
            lastSectionLine_ = int(i);
            return int(i);
        }
    return -1;
}

void IniFile::ForgetLastSection() {
    lastSectionLine_ = -1;
}

int IniFile::EndOfSection(int sectionLine) const {
    size_t i = size_t(sectionLine) + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::Section)
        ++i;
    return int(i);
}

int IniFile::FindKey(int sectionLine, const QString &key) const {
    const int end = EndOfSection(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i)
        if (lines_[i].kind == LineKind::Key &&
            lines_[i].name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<QString> IniFile::Value(const QString &section, const QString &key) const {
    const int s = FindSection(section);
    if (s < 0)
        return std::nullopt;
    const int k = FindKey(s, key);
    if (k < 0)
        return std::nullopt;
    const QString &text = lines_[k].text;
    QStringView value = TrimIniBlanks(QStringView(text).sliced(text.indexOf(u'=') + 1));
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.first(std::min<qsizetype>(value.size(), kMaxValueLength)).toString();
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &def) const {
    return Value(section, key).value_or(def);
}

int IniFile::ReadInteger(const QString &section, const QString &key, int def) const {
    const std::optional<QString> text = Value(section, key);
    if (!text)
        return def;
    return ParseIniInteger(*text).value_or(def);
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString &section, const QString &key, const QString &value) {
    const Line line = Classify(key + u'=' + EncodeIniValue(value));
    int s = FindSection(section);
    if (s < 0) {
        lines_.push_back(Classify(u'[' + section + u']'));
        lines_.push_back(line);
        return;
    }
    const int k = FindKey(s, key);
    if (k >= 0) {
        lines_[k] = line;
        return;
    }
    // After the last non-blank line of the section, so blank lines that
    // separate it from the next section stay where they are.
    int insertAt = EndOfSection(s);
    while (insertAt - 1 > s && TrimIniBlanks(lines_[insertAt - 1].text).isEmpty())
        --insertAt;
    lines_.insert(lines_.begin() + insertAt, line);
}

void IniFile::WriteInteger(const QString &section, const QString &key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString &section, const QString &key, bool value) {
    WriteString(section, key, value ? u"1"_s : u"0"_s);
}

QStringList IniFile::SectionNames() const {
    QStringList names;
    for (const Line &line : lines_)
        if (line.kind == LineKind::Section)
            names.append(line.name);
    return names;
}

QStringList IniFile::KeyNames(const QString &section) const {
    QStringList names;
    const int s = FindSection(section);
    if (s < 0)
        return names;
    const int end = EndOfSection(s);
    for (int i = s + 1; i < end; ++i)
        if (lines_[i].kind == LineKind::Key)
            names.append(lines_[i].name);
    return names;
}

QByteArray IniFile::ToBytes() const {
    QString text;
    for (const Line &line : lines_) {
        text += line.text;
        text += lineEnd_;
    }
    // The file keeps the encoding it was read in; Latin-1 gives way to UTF-8
    // only when the text now holds a character that Latin-1 cannot.
    TextEncoding encoding = encoding_;
    if (encoding == TextEncoding::Latin1 &&
        std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; }))
        encoding = TextEncoding::Utf8;
    return EncodeText(text, encoding, byteOrderMark_);
}

bool IniFile::Save(const QString &path, QString *error) const {
    return WriteFileAtomically(path, ToBytes(), error);
}

static std::optional<qint64> ParseDigits(QStringView digits, int base) {
    if (digits.isEmpty() || digits.size() > 16)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        const int d = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                      : (base == 16 && c.toLower() >= u'a' && c.toLower() <= u'f')
                          ? c.toLower().unicode() - 'a' + 10
                          : -1;
        if (d < 0 || d >= base)
            return std::nullopt;
        value = value * base + d;
        if (value > 0xFFFFFFFFLL)
            return std::nullopt;
    }
    return value;
}

std::optional<int> ParseIniInteger(const QString &text) {
    QStringView t(text);
    bool negative = false;
    if (!t.isEmpty() && (t.front() == u'-' || t.front() == u'+')) {
        negative = t.front() == u'-';
        t = t.sliced(1);
    }
    std::optional<qint64> value;
    if (t.startsWith(u'$')) {
        value = ParseDigits(t.sliced(1), 16);
    } else if (t.startsWith(u"0x") || t.startsWith(u"0X")) {
        value = ParseDigits(t.sliced(2), 16);
    } else {
        value = ParseDigits(t, 10);
        if (value && *value > (negative ? 2147483648LL : 2147483647LL))
            return std::nullopt;
    }
    if (!value)
        return std::nullopt;
    // Hexadecimal text covers all 32 bits: $FFFFFFFF is -1.
    const qint64 signedValue = negative ? -*value : *value;
    return int(qint32(quint32(signedValue)));
}

QString EncodeIniValue(const QString &value) {
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    const bool trimmedAway = !v.isEmpty() && (IsIniBlank(v.front()) || IsIniBlank(v.back()));
    const bool quotesStripped = v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front();
    if (trimmedAway || quotesStripped)
        return u'"' + v + u'"';
    return v;
}

} // namespace velmora
