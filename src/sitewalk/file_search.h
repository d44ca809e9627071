#pragma once
// Folder listing and file search for the file lists and the thumbnail
// cleaning. A listing returns every entry except hidden ones (names starting
// with '.'); symbolic links are followed, and a folder reached twice (a link
// cycle) is searched only once.

#include "sitewalk/file_entry.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velmora {

// The extension test of the search: the name's final extension, upper-cased
// and cut to four characters (".HTML" becomes ".HTM"), must occur in the mask
// with its '*' removed. "." alone and names without extension never pass.
class ExtensionFilter {
public:
    explicit ExtensionFilter(const QString &mask);
    bool Allows(QStringView name) const;

private:
    QString reducedMask_;
};

bool HasAllowedExtension(const QString &name, const QString &mask);

// A test of a file name of its own, instead of the extension test.
using NameTest = std::function<bool(const QString &name)>;

struct FileSearchOptions {
    QString mask;                   // the mask the extension test uses
    QString thumbDir;               // folders inside it are not descended into ...
    bool descendEverywhere = false; // ... unless this is set
    bool entryMode = true;          // entry lines; otherwise plain full paths
    // Called once per directory entry, so that a window can keep repainting.
    std::function<void()> onEntry;
    // When off, folders reached through a symbolic link are not entered (the
    // thumbnail cleaning must not delete files outside the thumbnail folder).
    bool descendIntoLinks = true;
    // When set, decides which names are results instead of the mask.
    NameTest nameTest;
    // Results are regular files only: no folders, devices, FIFOs or sockets.
    bool regularFilesOnly = false;
    // When off, only the starting folder is listed.
    bool includeSubfolders = true;
    // Outside entry mode, when set, takes each result as it is found instead
    // of appending it to the list: a caller can start on the first file while
    // the walk goes on.
    std::function<void(const QString &path)> onFound;
    // When set and true, no further folder is listed and no further result
    // given: a walk on another thread can be stopped at once.
    std::function<bool()> stopRequested;
};

// Depth first, entries in the order the file system lists them, a subfolder's
// content where the subfolder stands. Folders whose name contains "_vti_cnf"
// (any letter case) are not entered; a folder not entered takes part in the
// extension test like a file. Appends to out. In entry mode a file whose name
// or folder cannot be held in an entry line is left out.
void SearchFilesRecursive(const QString &folder, const FileSearchOptions &options,
                          QStringList &out);
// The matching entries of one folder as entry lines; no subfolder is entered.
void SearchFilesInFolder(QStringList &list, const QString &folder, const QString &mask);

// One file looked up by the listing rules: nothing for a hidden or missing one.
std::optional<FoundEntry> LookUpListedFile(const QString &path);

} // namespace velmora
