#include "filelists/list_file.h"

#include "foundation/atomic_file.h"
#include "foundation/file_reader.h"

#include "filelists/list_status.h"
#include "foundation/file_utils.h"
#include "foundation/text_codec.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velmora {

QStringList ParseListFileText(const QByteArray &bytes) {
    // A NUL byte (no list the program writes holds one) is part of its line:
    // that line is read as a damaged entry, which the verification then
    // reports and removes, and every later line is kept.
    const QString text = DecodeText(bytes).text;
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    const QChar *chars = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = chars[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && chars[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

ListFileText ReadListFile(const QString &path) {
    ListFileText result;
    // A list of a million entries is some 100 MB; anything far beyond that is
    // not a list file and is refused rather than read into memory.
    FileRead read = ReadRegularFile(path, kMaxListFileBytes);
    switch (read.status) {
    case ReadStatus::Ok:
        result.lines = ParseListFileText(read.bytes);
        result.ok = true;
        break;
    case ReadStatus::NotRegularFile:
        result.error = u"Cannot open this as a list file: "_s + read.error;
        break;
    case ReadStatus::TooLarge:
        result.error = u"The file is too large for a list file"_s;
        break;
    case ReadStatus::Missing:
    case ReadStatus::Failed:
        result.error = read.error;
        break;
    }
    return result;
}

QByteArray ListFileBytes(const QStringList &lines) {
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(total + total / 8);
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool WriteListFile(const QString &path, const QStringList &lines) {
    return WriteFileAtomically(path, ListFileBytes(lines));
}

bool WriteModelToListFile(const QString &path, const FileListModel &model, CopyMode mode,
                          const QList<int> &selectedRows, QStringList &workList,
                          TListFileStatus &status) {
    workList.clear();
    model.CopyLVToList(workList, mode, selectedRows);
    if (!WriteListFile(path, workList))
        return false;
    status.Name = path;
    status.Saved = true;
    return true;
}

QString FindFreeFileName(const QString &folder, const QString &pattern, int limit) {
    const QString base = WithBackslash(folder);
    QString candidate;
    for (int number = 1; number <= limit; ++number) {
        candidate = base + QString(pattern).replace(u'*', QString::number(number));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    return candidate;
}

} // namespace velmora
