#include "file_entry.h"

#include "file_utils.h"
#include "text_utils.h"

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

static void PutDigits(char16_t *out, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char16_t(u'0' + value % 10);
        value /= 10;
    }
}

QString FormatEntryDate(std::time_t modified) {
    std::tm local{};
    if (!localtime_r(&modified, &local))
        return {};
    // Written digit by digit: this runs once per found file.
    char16_t text[18] = u"0000-00-00  00:00";
    const int year = local.tm_year + 1900;
    if (year < 0 || year > 9999)
        return {};
    PutDigits(text, year, 4);
    PutDigits(text + 5, local.tm_mon + 1, 2);
    PutDigits(text + 8, local.tm_mday, 2);
    PutDigits(text + 12, local.tm_hour, 2);
    PutDigits(text + 15, local.tm_min, 2);
    return QString(reinterpret_cast<const QChar *>(text), 17);
}

QString MakeEntryLine(const QString &folder, const FoundEntry &entry) {
    if (!CanHoldInEntryLine(folder) || !CanHoldInEntryLine(entry.name) || entry.name.isEmpty())
        return {};
    const NameParts parts = SplitFileName(entry.name);
    return FileEntry{WithBackslash(folder), parts.filename, parts.ext, FormatEntrySize(entry.size),
                     FormatEntryDate(entry.modified)}
        .Line();
}

bool IsDefaultPageName(const QString &name) {
    const QString upper = AsciiUpper(name);
    return upper == u"INDEX"_s || upper == u"DEFAULT"_s || upper == u"START"_s ||
           upper == u"WELCOME"_s;
}

} // namespace velmora
