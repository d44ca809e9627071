#pragma once
// The pages the batch command works on: files named directly, and the pages of
// named folders that match the program's default filter, with their
// subfolders when asked.

#include <QString>
#include <QStringList>

namespace velmora {

// The mask of the first filter of a filter definition ("Name|mask|Name|mask"),
// "*.*" when there is none.
QString FirstFilterMask(const QString &filterDefinition);

// The folder view's mask rule: patterns separated by ';', matched without
// regard to letter case with '*' and '?'; a pattern whose extension has three
// characters also matches longer extensions that start with them (*.htm
// matches index.html).
bool MatchesFileMask(const QString &fileName, const QString &mask);

// The file search's extension rule: the name's extension, cut to a dot and
// three characters, occurs in the mask with its '*' removed (ignoring case).
bool HasAllowedExtension(const QString &fileName, const QString &mask);

struct CollectedPages {
    QStringList pages;    // absolute paths, in the order found
    QStringList problems; // named paths that are neither a file nor a folder
};

// A file stands for itself. A folder stands for its regular, not hidden files
// that match the mask (sorted by name); recursively also for those of its
// subfolders, searched depth first by the file search's rules: hidden folders
// and "_vti_cnf" folders are skipped, the subfolders of the thumbnail folder
// are never entered, and no folder is searched twice (symbolic link cycles).
CollectedPages CollectPages(const QStringList &paths, const QString &mask, bool recursive,
                            const QString &thumbDir);

} // namespace velmora
