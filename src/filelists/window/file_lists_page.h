#pragma once
// The File Lists tab: the caption PanelTreeTop over the report view ELVReport,
// the button bar PanLV below it, and behind a splitter on the right the saved
// lists LBListen with Load List, Delete and Merge. It runs the tab's commands:
// Search and Add, Select All and Take out, saving, loading with its
// verification, deleting and merging list files. It reads the folder view's
// folder and mask from the FolderContext and tells the window what it needs
// (the status line, the viewer, the thumbnail corner) through its signals.

#include "filelists/list_status.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QDialog;
class QListWidget;
class QPushButton;

namespace velmora {

class CaptionPanel;
class ELVReport;
class FileDialogs;
class FolderContext;
class ProgressBar;
class Prompts;
class TFormAskFName;
class TFormSearch;
struct Settings;

// Shows a modal dialog and returns its result; tests answer in its place.
using DialogRunner = std::function<int(QDialog &dialog)>;

struct FileListsContext {
    FileListsContext(Prompts &prompts, FileDialogs &dialogs) : prompts(prompts), dialogs(dialogs) {}

    Prompts &prompts;
    FileDialogs &dialogs;
    QString listDir;  // FILELISTS, with its trailing '/'
    QString thumbDir; // not descended into by the search
    ProgressBar *progress = nullptr;
    // The folder view's folder and the filter's mask, which Search and Add
    // start from; none: no folder and every file.
    const FolderContext *folder = nullptr;
    // The Add dialog's filter comes from AllowedExtensions; none: all files.
    const Settings *settings = nullptr;
    // Deletes a list file for good; empty: removed directly.
    std::function<void(const QString &path)> deleteFile;
    DialogRunner runDialog; // empty: exec()
};

class FileListsPage final : public QWidget {
    Q_OBJECT
public:
    explicit FileListsPage(FileListsContext context, QWidget *parent = nullptr);
    ~FileListsPage() override;

    ELVReport *Report() const { return report_; }
    CaptionPanel *PanelTreeTop() const { return panelTreeTop_; }
    QListWidget *LBListen() const { return lbListen_; }
    TFormSearch *SearchForm() const { return formSearch_; }
    TFormAskFName *AskForm() const { return formAskFName_; }
    const TListFileStatus &CurrentList() const { return currentList_; }

    // The path of the focused row while it is the only one selected.
    QString CurrentFile() const;
    QString EntryPath(int row) const;

    void ShowFilesFoundIn(const QString &x);
    void SetListButtonState();
    void BSelectClick();
    void BTakeOutClick();

    // Search and Add (file_lists_search.cpp)
    void BGetFilesClick();
    void BAddClick();

    // Saving and the saved lists (file_lists_saving.cpp)
    void SaveLVToFile(const QString &message);
    void BSaveListClick();
    void ReadSavedLists();
    void BOpenListClick();
    // Loads the list file at path into the view and verifies it, as Load List
    // does for a saved list.
    void OpenListFile(const QString &path);
    void BDeleteListClick();
    void BMergeListClick();
    void VerifyLoadedList();

signals:
    // The user asked to open the current row's file (double click, Enter).
    void openRequested();
    // The rows or the selection changed through the page's own commands:
    // the status line is to be recounted.
    void statusChanged();
    // A click or a key in the report: the thumbnail corner is to show the
    // file now current (empty: none), which may be the one shown before.
    void thumbnailWanted(const QString &path);
    // A search is about to walk the disk: list validation goes off, as for
    // every search of the program.
    void searchStarting();

private:
    QWidget *BuildReportColumn();
    QWidget *BuildSavedLists();
    void FillLVFromList(const QStringList &lines);
    void ShowCurrentThumb();
    void FocusReport();
    int RunDialog(QDialog &dialog);
    void LBListenChange();
    void ShowReport();
    void WriteListFile(const QString &path);
    QString SearchFolder() const;
    QString SearchMask() const;

    FileListsContext context_;
    TListFileStatus currentList_;
    // What the last verification found (not found, updated), shown by the
    // save dialog's report button.
    QStringList verifyReport_;
    ELVReport *report_ = nullptr;
    CaptionPanel *panelTreeTop_ = nullptr;
    CaptionPanel *panelListTop_ = nullptr;
    QListWidget *lbListen_ = nullptr;
    QPushButton *bGetFiles_ = nullptr;
    QPushButton *bSelect_ = nullptr;
    QPushButton *bTakeOut_ = nullptr;
    QPushButton *bSaveList_ = nullptr;
    QPushButton *bAdd_ = nullptr;
    QPushButton *bOpenList_ = nullptr;
    QPushButton *bDeleteList_ = nullptr;
    QPushButton *bMergeList_ = nullptr;
    TFormSearch *formSearch_ = nullptr; // owned as a child, kept for the run
    TFormAskFName *formAskFName_ = nullptr;
};

} // namespace velmora
