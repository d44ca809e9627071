#pragma once
// Deleting the selected files of the active view from disk and copying them
// elsewhere: which files, the questions asked, the refusals and the per-file
// decisions of a copy of several files. The main window adds the dialogs and
// the refresh of its views; everything here works on the view through
// ViewSelection, so the three tabs behave alike.

#include "foundation/view_selection.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

class Prompts;
class ProgressWindow;

// ---- deleting ----

// The question before a deletion: the one current file by name, otherwise
// the number of selected files; both open with the caution that nothing goes
// to the trash.
QString DeleteQuestion(const QString &currentFile, int count);

struct DeletionResult {
    int lastIndex = -1; // index of the last entry whose deletion was tried
    QStringList failed; // paths still on disk afterwards
};

// Deletes exactly the given paths; a symbolic link loses the link, never its
// target, and a folder is never removed. Switches doRecycleBin off.
DeletionResult DeleteViewFiles(const QList<ViewFile> &files, bool &doRecycleBin);

// Where the folder list's caret goes after a deletion: the entry that now has
// the last deleted index, or the last entry when the list got shorter; -1
// when the list is empty or nothing was deleted.
int FocusIndexAfterDeletion(int lastIndex, int itemCount);

// ---- copying ----

// True when the two paths are the same without regard to letter case.
bool SamePathIgnoringCase(const QString &a, const QString &b);

// Copying one file to the path chosen in the save dialog.
enum class SingleCopy {
    Refused, // the chosen name was not valid (after its error box)
    Itself,  // source and target are the same file (after the information box)
    Copied,
    Failed // the copy could not be made (after the error box)
};
struct SingleCopyResult {
    SingleCopy outcome = SingleCopy::Refused;
    QString target;
};
SingleCopyResult CopyOneFile(const QString &source, const QString &chosen, Prompts &prompts);

// "Copy n file(s) to folder:" and the folder.
QString CopySeveralQuestion(int count, const QString &folder);
QString OverwriteQuestion(const QString &target);
// The progress window's text for file k of n.
QString CopyProgressText(int k, int count, const QString &source);

struct SeveralCopyResult {
    QStringList copied;     // targets written
    QStringList skipped;    // targets kept (No, or the source itself)
    QStringList failed;     // sources whose copy could not be made
    bool cancelled = false; // Cancel to an overwrite question, or Stop
};

// Copies each source into folder (ending in '/'), under the progress window
// that is already shown. An existing target is overwritten only after Yes;
// No skips it, Cancel ends the run. betweenFiles runs after every file so
// that the stop button can act; a stop ends the run there.
SeveralCopyResult CopyFilesToFolder(const QStringList &sources, const QString &folder,
                                    Prompts &prompts, ProgressWindow &progress,
                                    const std::function<void()> &betweenFiles);

// The error box text naming the files an operation could not handle; empty
// when there are none. At most ten names are listed.
QString FailureText(const QString &heading, const QStringList &paths);

} // namespace velmora
