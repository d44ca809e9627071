#pragma once
// The files a folder shows in the Folder View: its regular files whose names
// match a mask, without hidden ones (names starting with '.'), sorted by name
// without regard to letter case. Symbolic links are followed: a link to a
// regular file is listed under the link's name; a dangling link, a folder, a
// FIFO, a socket or a device is not.

#include "foundation/file_masks.h"

#include <QString>
#include <QStringList>

namespace velmora {

// The names (not paths) of the listed files of folder; empty when the folder
// cannot be read. Names whose bytes are not valid in the file-name encoding
// are left out: no path built from their decoded text would open them.
QStringList ListFolderFileNames(const QString &folder, const FileMask &mask);

// Sorts names by their case-folded text; names that differ only in letter
// case keep one fixed order among themselves (by their exact text), so the
// order never depends on the order the folder returned them in.
void SortFileNamesIgnoringCase(QStringList &names);

} // namespace velmora
