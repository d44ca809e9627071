#include "filelists/list_file.h"

#include "foundation/atomic_file.h"

#include "filelists/list_status.h"
#include "foundation/file_utils.h"
#include "foundation/text_codec.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {
// A list of a million entries is some 100 MB; anything far beyond that is not
// a list file and is refused rather than read into memory.
constexpr qint64 kMaxListFileBytes = qint64(1) << 30;
} // namespace

QStringList ParseListFileText(const QByteArray &bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    const QString text = DecodeText(nul < 0 ? bytes : bytes.left(nul)).text;
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
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        result.error = u"Cannot open a folder as a list file"_s;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (file.size() > kMaxListFileBytes) {
        result.error = u"The file is too large for a list file"_s;
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    result.lines = ParseListFileText(bytes);
    result.ok = true;
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
