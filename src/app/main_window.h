#pragma once
// The main window: the left column (the folder pane with the thumbnail
// corner), the three tabs, the main menu, the hint line and the progress bar.
// It keeps the FolderContext (folder, mask, active tab) and hands out the
// ViewSelection through which every part of the program asks for the current
// file and the selection of the active tab.

#include "app/context_menu_rules.h"
#include "app/program.h"
#include "editor/editor_document.h"
#include "filelists/window/file_lists_page.h"
#include "formatter/formatter_style.h"
#include "foundation/file_utils.h"
#include "foundation/folder_context.h"
#include "foundation/progress.h"
#include "foundation/progress_window.h"
#include "foundation/view_selection.h"
#include "snapshot/snapshot_params.h"
#include "widgets/tab_selection.h"
#include "widgets/tab_view.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStackedLayout;
class QTabWidget;

namespace velmora {

class CaptionPanel;
class DesktopServices;
class FileDialogs;
class FolderPane;
class ListsTabView;
class PageCapture;
class Prompts;
class RenderProfile;
class TFormView;
class ThumbnailMaker;
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

class TForm1 final : public QMainWindow, public ProgressBar {
    Q_OBJECT
public:
    enum Page { TabFile = 0, TabThumb = 1, TabTree = 2 };

    explicit TForm1(const MainWindowServices &services, MainWindowViews views = {});
    // Writes prg.ini, once, as the window goes away.
    ~TForm1() override;

    // The current file and the selection of the active tab.
    const ViewSelection &Selection() const { return *selection_; }
    // The folder on show, its mask and the active tab, with their signals.
    FolderContext &Context() { return context_; }

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
    // The formatter style folder chosen by LoadThumbStyle (StyleDir +
    // "THUMBS/") and the style read from it.
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
    QTabWidget *Pages() const { return pageControl_.get(); }
    QMenu *ExtrasMenu() const { return extrasMenu_; }
    // The File Lists tab; null when a test stood in another view for it.
    FileListsPage *ListsPage() const;

    // ---- context menu and General Options (main_window_menu.cpp) ----
    // Opens the context menu of the file views with its top edge at
    // globalPos; the editor/browser window opens it the same way.
    void PopUpContextMenu(const QPoint &globalPos);
    QMenu *ContextMenu() const { return popLBTree_; }
    // Entry index of the context menu, separators included.
    QAction *PopUpEntry(int index) const;
    // While the editor/browser window is open as a modal window, every
    // entry of the context menu is disabled.
    bool ViewerModal() const { return viewerModal_; }
    void SetViewerModal(bool modal) { viewerModal_ = modal; }
    // Shows the General Options dialog modally; OK re-captions the
    // application entries and applies hints and file icons.
    void ShowGeneralOptions();

    // ---- Make Thumbs / ClearThumbs (main_window_thumbs.cpp) ----
    enum ThumbMode { ModeClear = 0, ModeMake = 1 };
    // Makes (mode 1) or clears (mode 0) the thumbnails of the selected files
    // of the active tab: one file directly, several under the progress
    // window, which can stop the run between files. The window is disabled
    // during the run and enabled again however it ends.
    void Add_Remove(int mode);
    // Null without a rendering engine: thumbnails cannot be made then.
    ThumbnailMaker *Maker() const { return thumbMaker_.get(); }

    // ---- deleting and copying files (main_window_file_operations.cpp) ----
    // Deletes the selected files of the active tab from disk after asking,
    // then lists the folder again with the caret near the deleted entries.
    void DeleteSelectedFiles();
    // Copies the selected files of the active tab: one through the save
    // dialog, several into a chosen folder under the progress window; the
    // folder of the last copy of several is remembered in COPYPATH.
    void CopySelectedFiles();

    // ---- snapshots (main_window_snapshots.cpp) ----
    // "Create Snapshot(s)" of the Extras menu and the context menu: the
    // snapshot options window for the selected files of the active view.
    void Snapcurrenrfile1Click();
    // "Snap View" of the editor/browser window: the snapshot options window
    // for what the internal browser shows, at that view's size.
    void BSnapClick();
    // The snapshot settings of the program; their persistent part goes back
    // into the settings each time the options window closes.
    TSnapShotParams &SnapShotParams() { return snapShotParams_; }

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
    void CleanThumbnails(bool removeAll);

    void FormShow();
    void FormActivate();
    void ShowCommandFile();
    // Jumps to the page and selects it, so that it is previewed as after a
    // click; when its folder cannot be shown, nothing is selected.
    void OpenPageAsClicked(const QString &path);
    void LoadThumbStyle(const QString &name);
    void LoadTagSyntax();
    void ApplyHints();

    QWidget *BuildPreviewHost(QWidget *parent);
    enum class DockedView { Browser, Editor };
    enum class DockPlace { MainWindow, ViewWindow };
    void DockView(DockedView what, DockPlace where);
    void ConnectFormView();
    void OnEditorButtons(bool inHand, bool modified);
    void OnFileListSelection();
    void FormViewClosing();

    void ConnectViews();
    void ConnectFolderPane();
    // The folder's files changed on disk: the views keep the selection and
    // the caret on the files still there.
    void RefreshViews();
    void ClearPreview();
    void ShowCurrentFile(bool force);
    void ShowMiniThumb(const QString &path);
    void DblClickForAll();
    void SyncThumbCount();
    void ClearThumbnailCorner();
    void PageControl1Change(int index);
    bool PageControl1Changing(int from);
    void OnTabBarChanged(int index);
    void OnFocusChanged(QWidget *now);

    TabView *View(int page) const;
    void RestoreListView();

    // thumbnails (main_window_thumbs.cpp)
    void BuildThumbnailMaker(RenderProfile *profile, FreeSpaceQuery freeSpace);
    void ThumbOfOneFile(int mode);
    void ThumbsOfSeveralFiles(int mode, int count);
    // False when there was no room for a thumbnail (the run ends).
    bool MakeOrClearThumb(int mode, const QString &file);

    // file operations (main_window_file_operations.cpp)
    void CopyOneSelectedFile();
    void CopySeveralSelectedFiles();

    // snapshots (main_window_snapshots.cpp)
    void ShowSnapshotOptions(bool snapViewMode);
    bool CaptureForSnapshot(const QString &pagePath, QSize base, int cropRight, int cropBottom,
                            bool snapViewMode, Picture *picture, QString *error);

    // context menu (main_window_menu.cpp)
    void BuildPopupMenu();
    void AttachContextMenu(QWidget *widget);
    ContextMenuState MenuState() const;
    void PopLBPoP();
    void MyLBPopUpHandler(int index);
    void LaunchApplication(int app, const QString &file);

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
    // Over the internal browser and the store, so declared after both.
    std::unique_ptr<PageCapture> pageCapture_;
    std::unique_ptr<ThumbnailMaker> thumbMaker_;
    ProgressWindowFactory progressWindows_;
    FreeSpaceQuery freeSpace_;
    // Declared before the views and the selection, which report to it.
    FolderContext context_;
    std::optional<QStringList> arguments_;
    bool thumbRunActive_ = false;
    TSnapShotParams snapShotParams_;
    bool snapshotWindowOpen_ = false;
    bool quietSelection_ = false; // a selection the program made shows nothing new
    // The tab pages. Owned here rather than left to the window's children:
    // they must go after the views, some of which own a page's widget, and
    // before the thumbnail store, which the grid's model points at.
    std::unique_ptr<QTabWidget> pageControl_;
    std::array<std::unique_ptr<TabView>, 3> views_;
    std::unique_ptr<TabSelection> selection_; // over views_, so declared after them
    ListsTabView *listsTab_ = nullptr;        // the File Lists tab's view, when it is the real one
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
    int shownPage_ = TabFile;
    bool firstShowDone_ = false;
    bool switchingBack_ = false;

    QLabel *labelHint_ = nullptr;
    QProgressBar *progressActFile_ = nullptr;
    FolderPane *folderPane_ = nullptr;
    QLabel *imgMini_ = nullptr;
    QMenu *extrasMenu_ = nullptr;
    CaptionPanel *labelFiles_ = nullptr;
    CaptionPanel *labelThumbs_ = nullptr;
    QComboBox *cbSnapBase_ = nullptr;
    QWidget *panel1_ = nullptr;
    QStackedLayout *panel1Layout_ = nullptr;
    QPushButton *sbBrowser_ = nullptr;
    QPushButton *sbEditor_ = nullptr;
    QPushButton *bSave_ = nullptr;
    QPushButton *bSaveAs_ = nullptr;

    // context menu (main_window_menu.cpp)
    QMenu *popLBTree_ = nullptr;
    bool viewerModal_ = false;
    AppCaptionStyle appCaptions_ = AppCaptionStyle::AtStart;

    // The context of every connection into the window from the application,
    // the tabs and the views. Declared last, it goes first as the window
    // goes: nothing calls back into the window while its parts are taken
    // down.
    QObject links_;
};

} // namespace velmora
