#pragma once
// The texts and decisions of the File Lists tab's commands, apart from the
// window that shows them: captions of the panel above the report view, the
// messages of Search and Add, the questions of Save, Delete and Merge, and
// the saved list files of the list folder.

#include <QString>
#include <QStringList>

namespace velmora {

enum class CopyMode;

// The panel's caption before any list is shown.
QString NoListCaption();
// The caption after the loaded list file was deleted.
QString DeletedListCaption();
// " Files found in \"x\":" for a folder, a list file or merged lists.
QString FilesFoundInCaption(const QString &x);

// What a search or an addition ends with: n lines in the working list after
// it, k of which were there before (the current list when adding to it).
enum class SearchOutcome { NoneFound, NothingNew, Show };
SearchOutcome JudgeSearch(int n, int k, bool add);
QString NoMatchingFilesMessage(const QString &folder);
QString NoNewEntriesMessage(const QString &folder);
QString SearchFinishedMessage(int n, int added);
QString FilesAddedMessage(int added);
QString SearchDialogLabel(const QString &mask, const QString &folder);

// The add dialog's file-type filter in the form "Description (*.a *.b);;...",
// from the ALLOWED_EXTENSIONS definition. A three-letter extension also
// offers its longer forms, as ".htm" stands for ".html" in the folder view.
QString AddDialogFilter(const QString &allowedExtensions);

QString SaveCurrentListMessage(const QString &listDir);
QString NothingToSaveMessage();
// How many rows a save of the given mode writes.
int EntriesToSave(CopyMode mode, int rows, int selected);

QString DeleteListQuestion(const QString &path);
QString MergeSavedMessage();

// The names of the list files ("*.lst", any letter case) in listDir, sorted.
QStringList SavedListNames(const QString &listDir);

} // namespace velmora
