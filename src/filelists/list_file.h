#pragma once
// List files: one entry line per line, every line ending in CR LF, UTF-8.
// Reading accepts more than writing produces: lines end at CR, LF or CR LF, a
// last line without an end is read, and a NUL byte is kept in its line (which
// then reads as a damaged entry).

#include "filelists/file_list_model.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velmora {

struct TListFileStatus;

struct ListFileText {
    bool ok = false;
    QStringList lines;
    QString error; // why the file could not be read, when !ok
};

// Lines of the bytes of a list file (UTF-8 when valid, else Latin-1).
QStringList ParseListFileText(const QByteArray &bytes);
// Reads the whole file or nothing: on failure the result holds no lines.
ListFileText ReadListFile(const QString &path);

QByteArray ListFileBytes(const QStringList &lines);
// Creates or replaces the file atomically: a failure leaves the old file intact.
bool WriteListFile(const QString &path, const QStringList &lines);

// Writes the rows chosen by mode to path (through workList, which is cleared
// first). On success the list state names the file and is saved; on failure it
// stays as it was.
bool WriteModelToListFile(const QString &path, const FileListModel &model, CopyMode mode,
                          const QList<int> &selectedRows, QStringList &workList,
                          TListFileStatus &status);

// folder + pattern with each '*' replaced by 1, 2, ... up to limit: the first
// that does not exist, or the one for the limit when all exist.
QString FindFreeFileName(const QString &folder, const QString &pattern, int limit);

} // namespace velmora
