#pragma once
// The main window: the left column (the folder pane with the thumbnail
// corner), the three tabs, the main menu, the hint line and the progress bar.
// It keeps the FolderContext (folder, mask, active tab) and hands out the
// ViewSelection through which every part of the program asks for the current
// file and the selection of the active tab.

#include "app/file_commands.h"
#include "app/main_menu.h"
#include "app/preview_pane.h"
#include "app/program.h"
#include "app/program_start.h"
#include "app/status_line.h"
#include "editor/editor_document.h"
#include "filelists/window/file_lists_page.h"
#include "foundation/file_utils.h"
#include "foundation/folder_context.h"
#include "foundation/progress.h"
#include "foundation/progress_window.h"
#include "foundation/view_selection.h"
#include "snapshot/snapshot_params.h"
#include "widgets/bar_progress.h"
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
class Prompts;
class RenderProfile;
class SiteTools;
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
    // The thumbnail program whose workers make several thumbnails at once
    // (velmora-thumbs beside the program); empty: one at a time.
    QString thumbWorkers = {};
};

// The views of the three tabs; an empty slot gets a placeholder list.
struct MainWindowViews {
    std::unique_ptr<TabView> folder;
    std::unique_ptr<TabView> thumbs;
    std::unique_ptr<TabView> lists;
};

class TForm1 final : public QMainWindow, public StartWindow {
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

    // StartWindow
    bool JumpToFileAndFolder(const QString &path) override;
    QString CurrentFolder() const override { return context_.Folder(); }
    TabView *View(int page) const override;

    // True from the window's creation to its first activation.
    bool StartingUp() const { return startingUp_; }
    // The command line, drops and second starts.
    ProgramStart &Start() { return *start_; }
    // The hint line, the tab captions and the Extras menu.
    StatusLine &Status() { return *status_; }
    // The thumbnail files and the cache of their pictures, shared by the
    // thumbnail view, the thumbnail corner and the commands that make them.
    ThumbnailStore &Thumbnails() const { return *thumbStore_; }
    // The preview beside the folder view's list, with the editor's document.
    PreviewPane &Preview() const { return *preview_; }
    QTabWidget *Pages() const override { return pageControl_.get(); }
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
    // The commands' connections and the places of their actions.
    void ConnectCommands();
    void ConnectViews();
    void ConnectFolderPane();
    void ApplyHints();

    void OnFileListSelection();
    // The folder's files changed on disk: the views keep the selection and
    // the caret on the files still there.
    void RefreshViews();
    void SyncThumbCount();
    void PageControl1Change(int index);
    bool PageControl1Changing(int from);
    void OnTabBarChanged(int index);
    void OnFocusChanged(QWidget *now);

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
    // Declared before the views and the selection, which report to it.
    FolderContext context_;
    std::optional<QStringList> arguments_;
    bool quietSelection_ = false; // a selection the program made shows nothing new
    // The tab pages. Owned here rather than left to the window's children:
    // they must go after the views, some of which own a page's widget, and
    // before the thumbnail store, which the grid's model points at.
    std::unique_ptr<QTabWidget> pageControl_;
    std::array<std::unique_ptr<TabView>, 3> views_;
    std::unique_ptr<TabSelection> selection_; // over views_, so declared after them
    ListsTabView *listsTab_ = nullptr;        // the File Lists tab's view, when it is the real one
    // The parts below ask the selection, so they are made after it and go
    // before it.
    std::unique_ptr<PreviewPane> preview_;
    // Over the internal browser, the store and the document, so declared
    // after them.
    std::unique_ptr<FileCommands> commands_;
    std::unique_ptr<StatusLine> status_;
    std::unique_ptr<ProgramStart> start_;
    std::unique_ptr<MainMenu> menu_;
    // Find in Files and Check Links; over the document, the preview and the
    // views, so declared after them.
    std::unique_ptr<SiteTools> siteTools_;
    bool startingUp_ = true;
    int shownPage_ = TabFile;
    bool firstShowDone_ = false;
    bool switchingBack_ = false;

    // The thin bar ProgressActFile under the hint line.
    BarProgress progress_;
    FolderPane *folderPane_ = nullptr;
    CaptionPanel *labelFiles_ = nullptr;
    CaptionPanel *labelThumbs_ = nullptr;
    QComboBox *cbSnapBase_ = nullptr;

    // The context of every connection into the window from the application,
    // the tabs and the views. Declared last, it goes first as the window
    // goes: nothing calls back into the window while its parts are taken
    // down.
    QObject links_;
};

} // namespace velmora
