#pragma once
// Verifying a loaded list against the disk, and merging list files. Both work
// on the model and the working list; the messages, the save dialog and the
// report window belong to the window that calls them.

#include "filelists/file_list_model.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velmora {

class ProgressBar;
struct TListFileStatus;

struct VerifyResult {
    int total = 0;   // entries when the verification started
    int removed = 0; // entries whose file is gone, taken out
    int updated = 0; // entries rebuilt from the disk because they differed

    bool AllRemoved() const { return total > 0 && removed >= total; }
    // True when the corrected list should be offered for saving.
    bool OffersSave() const { return !AllRemoved() && (removed > 0 || updated > 0); }
};

// Looks every entry up on disk: an entry whose file is gone is taken out and
// reported as "Not Found:  " + path; an entry whose line rebuilt from the disk
// differs (size, minute of the date, letter case of the name) is replaced and
// reported as "Updated:  " + its old path. The report lines replace workList.
// A name not found exactly is also looked for without regard to letter case,
// as the file may have been renamed to another case.
VerifyResult VerifyLoadedList(FileListModel &model, QStringList &workList,
                              ProgressBar *progress = nullptr);
// Sets Saved to false when the verification changed something it offers to save.
void ApplyVerifyResult(const VerifyResult &result, TListFileStatus &status);
QString VerifySaveQuestion(const VerifyResult &result);
QString NoValidEntriesMessage();

// The lines of a file found by the lookup rules of the verification.
std::optional<FoundEntry> LookUpFileAnyCase(const QString &path);

struct MergeResult {
    bool ok = false;
    QString failedPath; // the list file that could not be read
    QString error;
    QString caption; // " a.lst + b.lst " for ShowFilesFoundIn
};

QString MergeQuestion(const QStringList &names);
// Reads the named list files of listDir in order, removes repeated paths and
// fills the model. When a file cannot be read nothing else changes; otherwise
// the list state names no file and is unsaved. generating, when given, is
// called once the files are read, before the model is filled.
MergeResult MergeListFiles(const QString &listDir, const QStringList &names, FileListModel &model,
                           QStringList &workList, TListFileStatus &status,
                           const QLocale &locale = QLocale(),
                           const std::function<void()> &generating = {});

} // namespace velmora
