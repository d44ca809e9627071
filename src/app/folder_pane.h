#pragma once
// The main window's left column: the drive box, the folder tree and the
// filter box, with the watch on the folder on show. It chooses the folder
// and the mask, keeps them in the FolderContext and lists the folder's
// files; what the window does with them (the views, the preview, the status
// line) it learns from the pane's signals. The window puts its thumbnail
// corner between the tree and the filter.

#include <QStringList>
#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class QModelIndex;
class QTimer;
class QTreeView;
class QVBoxLayout;

namespace velmora {

class CaptionPanel;
class DocumentGuard;
class FolderContext;
class Prompts;
struct Settings;

class FolderPane final : public QWidget {
    Q_OBJECT
public:
    // thumbDir is the program's own thumbnail folder, never shown as a site.
    FolderPane(FolderContext &context, DocumentGuard &document, Prompts &prompts,
               const Settings &settings, QString thumbDir, QWidget *parent = nullptr);

    // Adds a widget of the window's below the folder tree, above the filter.
    void AddBelowTree(QWidget *widget, Qt::Alignment alignment = {});

    QComboBox *DriveBox() const { return cbDrive_; }
    QTreeView *Tree() const { return lbDir_; }
    QComboBox *FilterBox() const { return cbFilter_; }
    // The files of the folder on show that match the mask, in name order.
    const QStringList &FolderFiles() const { return folderFiles_; }

    // Shows folder (when it is one): it becomes current, is watched and
    // listed, and the tree points at it.
    void ShowFolder(const QString &folder);
    // Fills the filter box from a definition ("Web files|*.htm;*.html|...")
    // and applies its first filter.
    void ApplyFilterDefinition(const QString &definition);
    // Lists the folder on show again (after the program changed its files).
    void ListFolderFiles();
    // Lists the folder again after a change on disk (or F5); a disabled
    // window (a run over the selected files) makes it wait until it is over.
    void RefreshFolder();
    // Asked before a folder or filter change replaces the editor's text:
    // false when the user cancels, and the change must not happen.
    bool MayReplaceEditorText();

signals:
    // The folder's files were listed anew (another folder or filter, or the
    // program changed them): FolderFiles() holds them.
    void filesListed();
    // The files changed on disk: FolderFiles() holds them as they are now.
    void filesRefreshed();
    // A folder was shown; open is false for the thumbnail folder, whose
    // files must not be offered as pages.
    void folderShown(bool open);
    // The user (or the definition) chose a filter, and the files are listed.
    void filterApplied();
    // The user dropped the editor's unsaved changes to change folder or
    // filter: the preview is to be emptied at once.
    void editorTextDropped();

private:
    void BuildDriveBox();
    void BuildFolderTree();
    void BuildFilterBox();
    void WatchFolders();
    // The folder tree's entry at index opened by a click, a double click or
    // Enter.
    void OpenTreeFolder(const QModelIndex &index);
    void CBDriveChange(int index);
    void ApplyFilter(int index);
    void CBFilterChange();
    void LBDirXChange();
    void WatchCurrentFolder();
    // Keeps the folder tree's current folder in view while its folders are
    // still being read at start.
    void ScrollTreeToCurrentFolder();

    FolderContext &context_;
    DocumentGuard &document_;
    Prompts &prompts_;
    const Settings &settings_;
    const QString thumbDir_;
    QStringList folderFiles_;
    int filterIndex_ = -1;        // the filter box's entry the mask came from
    int driveIndex_ = 0;          // the drive box's entry last chosen
    bool treeFollowsLoad_ = true; // until the user works in the folder tree
    int belowTreeIndex_ = 0;      // where AddBelowTree puts the next widget

    QVBoxLayout *layout_ = nullptr;
    CaptionPanel *panelDirectoryTop_ = nullptr;
    CaptionPanel *panelFilterTop_ = nullptr;
    QComboBox *cbDrive_ = nullptr;
    QTreeView *lbDir_ = nullptr;
    QFileSystemModel *dirModel_ = nullptr;
    QComboBox *cbFilter_ = nullptr;
    QFileSystemWatcher *folderWatcher_ = nullptr;
    QTimer *refreshTimer_ = nullptr; // gathers a burst of changes into one refresh
};

} // namespace velmora
