#pragma once
// Path, file-name and file operations shared by the whole program.
// Folder paths end in exactly one '/' (WithBackslash keeps its traditional
// name but appends this platform's separator).

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velmora {

class Prompts;

QString WithBackslash(const QString &path);
// File name of path without its final extension ("a.bc.b" gives "a.bc").
QString FileNameNoExt(const QString &path);
// Refuses names holding '\', '/', "..", '?', '*' or ':' with a beep and the error
// box "Invalid Filename: " + name.
bool ValidFileName(const QString &name, Prompts &prompts);
// folder + cleaned name + extension (unless the name already ends in it);
// empty after the error box when the name is not valid.
QString MakeFileName(const QString &folder, const QString &name, QString extension,
                     Prompts &prompts);
// True when an entry of any kind (file, folder, hidden, link) matches the path
// or the wildcard pattern in its last component; found receives the entry.
bool FileFound(const QString &pathOrPattern, QFileInfo *found = nullptr);
// Copies source to target and gives the target the source's exact modification
// time. The target is replaced only when the whole copy succeeded.
bool CopyFileKeepDate(const QString &source, const QString &target);
// Deletes the file permanently (never to the trash) and switches doRecycleBin
// off, as the deletion never uses it.
void DeleteFileFromDisk(const QString &path, bool &doRecycleBin);
// Index of the first item equal to name when both are upper-cased, or -1.
int IndexOfFileName(const QStringList &items, const QString &name);

// Free bytes available on the volume holding path; nullopt when unknown.
using FreeSpaceQuery = std::function<std::optional<qint64>(const QString &path)>;
std::optional<qint64> FreeSpaceOfVolume(const QString &path);
QString VolumeRootOf(const QString &path);
// Yes when at least minimumKb * 1000 bytes are free (or the free space cannot
// be told); otherwise an information box names the volume and the answer is no.
bool CheckDiskSpace(const QString &path, qint64 minimumKb, Prompts &prompts,
                    const FreeSpaceQuery &freeSpace = FreeSpaceOfVolume);

// Modification time in milliseconds since the epoch; 0 when the file is missing.
qint64 FileStamp(const QString &path);

} // namespace velmora
