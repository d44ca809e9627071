#include "sitewalk/file_entry.h"

#include "foundation/text_utils.h"

using namespace Qt::StringLiterals;

namespace velmora {

QString FileEntry::Line() const {
    QString line;
    line.reserve(folder.size() + filename.size() + ext.size() + size.size() + date.size() + 4);
    line += folder;
    line += kEntrySeparator;
    line += filename;
    line += kEntrySeparator;
    line += ext;
    line += kEntrySeparator;
    line += size;
    line += kEntrySeparator;
    line += date;
    return line;
}

NameParts SplitFileName(const QString &name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {name, {}};
    return {name.left(dot), name.mid(dot)};
}

FileEntry ParseEntryLine(QStringView line) {
    QString fields[kEntryFieldCount];
    qsizetype start = 0;
    for (int k = 0; k < kEntryFieldCount && start <= line.size(); ++k) {
        qsizetype end = line.indexOf(kEntrySeparator, start);
        if (end < 0)
            end = line.size();
        fields[k] = line.mid(start, end - start).toString();
        start = end + 1;
    }
    return {fields[0], fields[1], fields[2], fields[3], fields[4]};
}

QString EntryLinePath(QStringView line) {
    // Fields 0 to 2 joined without their separators.
    QString path;
    qsizetype start = 0;
    for (int k = 0; k < 3 && start <= line.size(); ++k) {
        qsizetype end = line.indexOf(kEntrySeparator, start);
        if (end < 0)
            end = line.size();
        path += line.mid(start, end - start);
        start = end + 1;
    }
    return path;
}

bool CanHoldInEntryLine(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'*' || u == u'\r' || u == u'\n' || u == 0)
            return false;
    }
    return true;
}

QString FormatEntrySize(qint64 size) {
    return QString::number(size);
}

namespace {

constexpr qsizetype kDateLength = 17; // "yyyy-mm-dd  hh:mm"

void PutDigits(char16_t *out, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char16_t(u'0' + value % 10);
        value /= 10;
    }
}

// Writes the date text into out; false for a time without a four-digit year.
bool WriteEntryDate(std::time_t modified, char16_t (&out)[kDateLength]) {
    std::tm local{};
    if (!localtime_r(&modified, &local))
        return false;
    const int year = local.tm_year + 1900;
    if (year < 0 || year > 9999)
        return false;
    PutDigits(out, year, 4);
    out[4] = out[7] = u'-';
    PutDigits(out + 5, local.tm_mon + 1, 2);
    PutDigits(out + 8, local.tm_mday, 2);
    out[10] = out[11] = u' ';
    PutDigits(out + 12, local.tm_hour, 2);
    out[14] = u':';
    PutDigits(out + 15, local.tm_min, 2);
    return true;
}

// Writes the decimal digits of value so that they end at end; returns where
// they start.
char16_t *WriteDecimal(qint64 value, char16_t *end) {
    const bool negative = value < 0;
    quint64 rest = negative ? 0 - quint64(value) : quint64(value);
    do {
        *--end = char16_t(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        *--end = u'-';
    return end;
}

} // namespace

QString FormatEntryDate(std::time_t modified) {
    char16_t text[kDateLength];
    if (!WriteEntryDate(modified, text))
        return {};
    return QString(reinterpret_cast<const QChar *>(text), kDateLength);
}

QString MakeEntryLine(const QString &folder, const FoundEntry &entry) {
    if (!CanHoldInEntryLine(folder) || !CanHoldInEntryLine(entry.name) || entry.name.isEmpty())
        return {};
    // Built in one piece, as the search forms one line per found file:
    // folder/ * filename * .ext * size * date
    qsizetype folderLength = folder.size();
    while (folderLength > 0 && folder[folderLength - 1] == u'/')
        --folderLength;
    const qsizetype dot = entry.name.lastIndexOf(u'.');
    const qsizetype stemLength = dot < 0 ? entry.name.size() : dot;
    char16_t sizeText[24];
    char16_t *const sizeEnd = sizeText + std::size(sizeText);
    const char16_t *const sizeStart = WriteDecimal(entry.size, sizeEnd);
    char16_t date[kDateLength];
    const qsizetype dateLength = WriteEntryDate(entry.modified, date) ? kDateLength : 0;

    QString line;
    line.reserve(folderLength + 1 + entry.name.size() + 3 + (sizeEnd - sizeStart) + 1 + dateLength);
    line.append(QStringView(folder).first(folderLength));
    line.append(u'/');
    line.append(kEntrySeparator);
    line.append(QStringView(entry.name).first(stemLength));
    line.append(kEntrySeparator);
    line.append(QStringView(entry.name).sliced(stemLength));
    line.append(kEntrySeparator);
    line.append(QStringView(sizeStart, sizeEnd - sizeStart));
    line.append(kEntrySeparator);
    line.append(QStringView(date, dateLength));
    return line;
}

bool IsDefaultPageName(const QString &name) {
    const QString upper = AsciiUpper(name);
    return upper == u"INDEX"_s || upper == u"DEFAULT"_s || upper == u"START"_s ||
           upper == u"WELCOME"_s;
}

} // namespace velmora
