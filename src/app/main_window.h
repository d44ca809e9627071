#pragma once
// The main window: the left column (drive, folder tree, thumbnail corner,
// filter), the three tabs, the main menu, the hint line and the progress bar.
// It implements ViewSelection, through which every part of the program asks
// for the current file and the selection of the active tab.

#include "app/file_commands.h"
#include "app/program.h"
#include "editor/editor_document.h"
#include "filelists/window/file_lists_page.h"
#include "formatter/formatter_style.h"
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

class TForm1 final : public QMainWindow, public ViewSelection, public ProgressBar {
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

    // Recounts the active view's selection; refreshes tab captions, the hint
    // line and the Extras menu. Does nothing while starting up.
    void UpdateStatus();

    // Called when the user returns to the program from another application.
    void AppActivate();
    // Opens folder in the folder view and puts the caret on file (if given).
    void JumpToFileAndFolder(const QString &path);
    QString CurrentFolder() const { return currentFolder_; }

    // True from the window's creation to its first activation.
    bool StartingUp() const { return startingUp_; }
    // The page named on the command line, read at the first show; the first
    // activation opens it, selected, and no later one goes back to it.
    QString CommandFile() const { return commandFile_; }
    // A list file named on the command line, until the first activation
    // loads it into the File Lists tab; empty after that.
    QString CommandListFile() const { return commandListFile_; }
    // Shows the File Lists tab with the list file at path loaded and verified.
    void OpenListFile(const QString &path);
    // Files dropped onto the window, in the order they came: the folder of
    // the first opens when it is of an accepted kind.
    void DropFiles(const QStringList &names);
    // The names of the last drop onto the window, in the order they came.
    const QStringList &DroppedFiles() const { return droppedFiles_; }
    // A path handed over by a second start of the program (empty: none). The
    // window comes to the front and opens it as the command line would: a
    // list file in File Lists, a page in its folder; a folder opens as well.
    void OpenHandedOverPath(const QString &path);
    // The lines of tagsyntax.txt, loaded at the first show.
    const QStringList &TagSyntaxList() const { return tagSyntaxList_; }
    // The formatter style folder chosen by LoadThumbStyle (StyleDir + the
    // stored StyleName, or "THUMBS/" when there is no such style) and the
    // style read from it.
    QString StyleFolder() const { return styleFolder_; }
    const FormatterStyle &Style() const { return style_; }

    QString HintText() const;
    // The thumbnail files and the cache of their pictures, shared by the
    // thumbnail view, the thumbnail corner and the commands that make them.
    ThumbnailStore &Thumbnails() const { return *thumbStore_; }
    // The editor/browser window; null without a rendering engine.
    TFormView *FormView() const { return formView_.get(); }
    EditorDocument &Document() const { return *document_; }
    // Places the browser (Browser pressed) or the editor in the preview area.
    void SBBrowserClick();
    void BSaveAsClick();
    QTabWidget *Pages() const { return pageControl_; }
    QMenu *ExtrasMenu() const { return extrasMenu_; }
    // The File Lists tab; null when a test stood in another view for it.
    FileListsPage *ListsPage() const;

    // Shows the General Options dialog modally; OK re-captions the
    // application entries and applies hints and file icons.
    void ShowGeneralOptions();

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
    QWidget *BuildPreviewArea(QWidget *parent);
    QWidget *BuildThumbViewPage(QWidget *grid);
    QWidget *BuildThumbButtons(QWidget *parent);
    void BThumbSelAllClick();
    void BuildMenu();
    QAction *AddMenuEntry(QMenu *menu, const QString &caption, const QString &name,
                          std::function<void()> command);
    void NotYetAvailable(const QString &caption);
    void ShowHelp();
    void ShowBrowserSettings();
    void ShowAbout();

    void FormShow();
    void FormActivate();
    void ShowCommandFile();
    // Jumps to the page and selects it, so that it is previewed as after a
    // click; when its folder cannot be shown, nothing is selected.
    void OpenPageAsClicked(const QString &path);
    void LoadThumbStyle(const QString &name);
    void LoadTagSyntax();
    void ApplyFilterDefinition();
    void ApplyHints();

    QWidget *BuildPreviewHost(QWidget *parent);
    enum class DockedView { Browser, Editor };
    enum class DockPlace { MainWindow, ViewWindow };
    void DockView(DockedView what, DockPlace where);
    void ConnectFormView();
    void OnEditorButtons(bool inHand, bool modified);
    void OnFileListSelection();
    void FormViewClosing();

    void ShowFolder(const QString &folder);
    // The folder tree's entry at index opened by a click, a double click or
    // Enter; the drive box's entry chosen.
    void OpenTreeFolder(const QModelIndex &index);
    void CBDriveChange(int index);
    // Asked before a folder or filter change replaces the editor's text:
    // false when the user cancels, and the change must not happen.
    bool MayReplaceEditorText();
    // Lists the current folder again after a change on disk (or F5), keeping
    // the selection and the caret on the files still there.
    void RefreshFolder();
    void WatchCurrentFolder();
    // Keeps the folder tree's current folder in view while its folders are
    // still being read at start.
    void ScrollTreeToCurrentFolder();
    void LBDirXChange();
    void ClearPreview();
    void ShowCurrentFile(bool force);
    void ShowMiniThumb(const QString &path);
    void DblClickForAll();
    void ApplyFilter(int index);
    void CBFilterChange();
    void ListFolderFiles();
    void SyncThumbCount();
    void ClearThumbnailCorner();
    void PageControl1Change(int index);
    bool PageControl1Changing(int from);
    void OnTabBarChanged(int index);
    void OnFocusChanged(QWidget *now);

    TabView *View(int page) const;
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
    std::unique_ptr<TFormView> formView_;
    // Over the internal browser, the store and the document, so declared
    // after them.
    std::unique_ptr<FileCommands> commands_;
    std::optional<QStringList> arguments_;
    bool quietSelection_ = false; // a selection the program made shows nothing new
    std::array<std::unique_ptr<TabView>, 3> views_;
    ListsTabView *listsTab_ = nullptr; // the File Lists tab's view, when it is the real one
    bool startingUp_ = true;
    // What the status last showed: a report that changes none of it (the
    // caret a list puts on its first row when it gets the focus) leaves the
    // hint line as it is, welcome text included.
    struct StatusShown {
        int page = -1, selected = -1, count = -1;
        QString current;
        bool operator==(const StatusShown &) const = default;
    };
    StatusShown StatusNow() const;
    StatusShown statusShown_;
    QString commandFile_;
    bool commandFileDone_ = false; // opened once, or overtaken by a drop
    QString commandListFile_;
    QStringList droppedFiles_;
    QStringList tagSyntaxList_;
    QString styleFolder_;
    FormatterStyle style_;
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

    QLabel *labelHint_ = nullptr;
    QProgressBar *progressActFile_ = nullptr;
    QComboBox *cbDrive_ = nullptr;
    QTreeView *lbDir_ = nullptr;
    QFileSystemModel *dirModel_ = nullptr;
    QLabel *imgMini_ = nullptr;
    QComboBox *cbFilter_ = nullptr;
    QTabWidget *pageControl_ = nullptr;
    QMenu *extrasMenu_ = nullptr;
    CaptionPanel *panelDirectoryTop_ = nullptr;
    CaptionPanel *panelFilterTop_ = nullptr;
    CaptionPanel *labelFiles_ = nullptr;
    CaptionPanel *labelThumbs_ = nullptr;
    QComboBox *cbSnapBase_ = nullptr;
    QWidget *panel1_ = nullptr;
    QStackedLayout *panel1Layout_ = nullptr;
    QPushButton *sbBrowser_ = nullptr;
    QPushButton *sbEditor_ = nullptr;
    QPushButton *bSave_ = nullptr;
    QPushButton *bSaveAs_ = nullptr;
    QWidget *leftColumn_ = nullptr;
};

} // namespace velmora
