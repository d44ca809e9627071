#pragma once
// The pages the batch command works on: files named directly, and the pages of
// named folders that match a mask (the program's first filter), with their
// subfolders when asked. The subfolders are walked by the file search.

#include <QString>
#include <QStringList>

namespace velmora {

struct CollectedPages {
    QStringList pages;    // absolute paths, in the order found
    QStringList problems; // named paths that are neither a file nor a folder
};

// A file stands for itself. A folder stands for its regular, not hidden files
// that match the mask by the folder view's rule (sorted by name; "*.htm" also
// takes "index.html"); recursively also for those of its
// subfolders, searched depth first by the file search's rules: hidden folders
// and "_vti_cnf" folders are skipped, the subfolders of the thumbnail folder
// are never entered, and no folder is searched twice (symbolic link cycles).
CollectedPages CollectPages(const QStringList &paths, const QString &mask, bool recursive,
                            const QString &thumbDir);

} // namespace velmora
