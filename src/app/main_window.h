#pragma once
// The main window: the left column (drive, folder tree, thumbnail corner,
// filter), the three tabs, the main menu, the hint line and the progress bar.
// It implements ViewSelection, through which every part of the program asks
// for the current file and the selection of the active tab.

#include "app/file_commands.h"
#include "app/main_menu.h"
#include "app/preview_pane.h"
#include "app/program.h"
#include "app/program_start.h"
#include "app/status_line.h"
#include "editor/editor_document.h"
#include "filelists/window/file_lists_page.h"
#include "foundation/file_utils.h"
#include "foundation/progress.h"
#include "foundation/progress_window.h"
#include "foundation/view_selection.h"
#include "widgets/tab_view.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStackedLayout;
class QTabWidget;
class QTimer;
class QTreeView;

namespace velmora {

class CaptionPanel;
class DesktopServices;
class FileDialogs;
class ListsTabView;
class Prompts;
class RenderProfile;
class TFormView;
class ThumbnailStore;

// The captions of the three tabs, in tab order.
inline const QStringList kTabNames{QStringLiteral("Folder View"), QStringLiteral("Thumbnail View"),
                                   QStringLiteral("File Lists")};

// The long-lived services the main window works with.
struct MainWindowServices {
    Program &program;
    Prompts &prompts;
    FileDialogs &dialogs;
    DesktopServices &desktop;
    // The engine profile of the page views. With it the preview has its
    // browser and editor (TFormView), which show the document; without one
    // (tests of the window's logic) the document keeps its text alone.
    RenderProfile *render = nullptr;
    // The editor's document; none: the window makes its own. Tests give
    // theirs to answer its questions.
    EditorDocument *document = nullptr;
    // The free space of the thumbnail folder's volume, asked before every
    // thumbnail is made; tests stand in a full disk.
    FreeSpaceQuery freeSpace = FreeSpaceOfVolume;
    // The progress window of thumbnail runs over several files; empty gives
    // the real window (TFormProgress).
    ProgressWindowFactory progressWindows = {};
    // Shows the File Lists tab's dialogs; empty runs them modally. Tests
    // answer them in place.
    DialogRunner runDialog = {};
    // The program's arguments after its name, read at the first show; none:
    // the process's own.
    std::optional<QStringList> arguments = {};
};

// The views of the three tabs; an empty slot gets a placeholder list.
struct MainWindowViews {
    std::unique_ptr<TabView> folder;
    std::unique_ptr<TabView> thumbs;
    std::unique_ptr<TabView> lists;
};

class TForm1 final : public QMainWindow,
                     public ViewSelection,
                     public ProgressBar,
                     public StartWindow {
    Q_OBJECT
public:
    enum Page { TabFile = 0, TabThumb = 1, TabTree = 2 };

    explicit TForm1(const MainWindowServices &services, MainWindowViews views = {});
    // Writes prg.ini, once, as the window goes away.
    ~TForm1() override;

    // ViewSelection
    QString GetCurrentFile() const override;
    TSelectionInfo GetSelectionInfo() const override;
    QStringList SelectedFiles() const override;
    QString GetViewFile(int i, bool selectedOnly) const override;

    // ProgressBar: the thin bar ProgressActFile under the hint line.
    void SetRange(int minimum, int maximum) override;
    void SetPosition(int position) override;

    // Called when the user returns to the program from another application.
    void AppActivate();
    // StartWindow
    void JumpToFileAndFolder(const QString &path) override;
    QString CurrentFolder() const override { return currentFolder_; }
    TabView *View(int page) const override;

    // True from the window's creation to its first activation.
    bool StartingUp() const { return startingUp_; }
    // The command line, drops and second starts.
    ProgramStart &Start() { return start_; }
    // The hint line, the tab captions and the Extras menu.
    StatusLine &Status() { return status_; }
    // The thumbnail files and the cache of their pictures, shared by the
    // thumbnail view, the thumbnail corner and the commands that make them.
    ThumbnailStore &Thumbnails() const { return *thumbStore_; }
    // The preview beside the folder view's list, with the editor's document.
    PreviewPane &Preview() const { return *preview_; }
    QTabWidget *Pages() const override { return pageControl_; }
    QMenu *ExtrasMenu() const { return menu_->Extras(); }
    FileListsPage *ListsPage() const override;

    // The commands on the selected files and the context menu that offers
    // them.
    FileCommands &Commands() const { return *commands_; }

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // Takes files dragged over any control of this window before the control
    // does: the browser would swallow them, an edit box insert their names.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildLeftColumn();
    QWidget *BuildFolderViewPage(QWidget *fileList);
    QWidget *BuildThumbViewPage(QWidget *grid);
    QWidget *BuildThumbButtons(QWidget *parent);
    void BThumbSelAllClick();

    // The signals of the preview and the menu to the window's answers.
    void ConnectParts();
    void ApplyFilterDefinition();
    void ApplyHints();

    void OnFileListSelection();

    void ShowFolder(const QString &folder);
    // The folder tree's entry at index opened by a click, a double click or
    // Enter; the drive box's entry chosen.
    void OpenTreeFolder(const QModelIndex &index);
    void CBDriveChange(int index);
    // Lists the current folder again after a change on disk (or F5), keeping
    // the selection and the caret on the files still there.
    void RefreshFolder();
    void WatchCurrentFolder();
    // Keeps the folder tree's current folder in view while its folders are
    // still being read at start.
    void ScrollTreeToCurrentFolder();
    void LBDirXChange();
    void ApplyFilter(int index);
    void CBFilterChange();
    void ListFolderFiles();
    void SyncThumbCount();
    void PageControl1Change(int index);
    bool PageControl1Changing(int from);
    void OnTabBarChanged(int index);
    void OnFocusChanged(QWidget *now);

    FileListsContext FileListsContextFor(const MainWindowServices &services);
    void RestoreListView();

    // The commands' connections and the places of their actions.
    void ConnectCommands();

    Program &program_;
    Prompts &prompts_;
    FileDialogs &dialogs_;
    DesktopServices &desktop_;
    RenderProfile *render_ = nullptr; // null: no page views
    std::unique_ptr<ThumbnailStore> thumbStore_;
    // The editor's document, unless one was given; declared before the
    // window that shows it.
    std::unique_ptr<EditorDocument> ownDocument_;
    EditorDocument *document_ = nullptr;
    std::unique_ptr<PreviewPane> preview_;
    // Over the internal browser, the store and the document, so declared
    // after them.
    std::unique_ptr<FileCommands> commands_;
    std::optional<QStringList> arguments_;
    bool quietSelection_ = false; // a selection the program made shows nothing new
    std::array<std::unique_ptr<TabView>, 3> views_;
    ListsTabView *listsTab_ = nullptr; // the File Lists tab's view, when it is the real one
    bool startingUp_ = true;
    StatusLine status_;
    ProgramStart start_;
    std::unique_ptr<MainMenu> menu_;
    QStringList workList_; // scratch list of the file-list operations
    QString currentFolder_;
    QString currentMask_;
    int filterIndex_ = -1; // the filter box's entry that currentMask_ came from
    int driveIndex_ = 0;   // the drive box's entry last chosen
    QFileSystemWatcher *folderWatcher_ = nullptr;
    QTimer *refreshTimer_ = nullptr; // gathers a burst of changes into one refresh
    bool treeFollowsLoad_ = true;    // until the user works in the folder tree
    QStringList folderFiles_;
    int shownPage_ = TabFile;
    bool firstShowDone_ = false;
    bool switchingBack_ = false;

    QProgressBar *progressActFile_ = nullptr;
    QComboBox *cbDrive_ = nullptr;
    QTreeView *lbDir_ = nullptr;
    QFileSystemModel *dirModel_ = nullptr;
    QComboBox *cbFilter_ = nullptr;
    QTabWidget *pageControl_ = nullptr;
    CaptionPanel *panelDirectoryTop_ = nullptr;
    CaptionPanel *panelFilterTop_ = nullptr;
    CaptionPanel *labelFiles_ = nullptr;
    CaptionPanel *labelThumbs_ = nullptr;
    QComboBox *cbSnapBase_ = nullptr;
    QWidget *leftColumn_ = nullptr;
};

} // namespace velmora
