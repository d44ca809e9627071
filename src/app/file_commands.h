#pragma once
// The commands that act on the selected files of the active tab: Make and
// Clear Thumbs, Delete, Copy, Create Snapshot(s) and Snap View, launching an
// external application, cleaning the thumbnail folder, and the context menu
// of the file views that offers them. The main window only places the
// actions in its menus and buttons; what a command needs of the window
// afterwards (list the folder again, redraw an entry, show a thumbnail) it
// asks through the signals below.

#include "app/context_menu_rules.h"
#include "foundation/file_utils.h"
#include "foundation/progress_window.h"
#include "pictures/capture_request.h"
#include "pictures/picture.h"
#include "snapshot/snapshot_params.h"

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;

namespace velmora {

class DesktopServices;
class EditorDocument;
class FileDialogs;
class PageCapture;
class Program;
class Prompts;
class RenderProfile;
class TFormView;
class ThumbnailMaker;
class ThumbnailStore;
class ViewSelection;
struct ViewFile;

struct FileCommandsServices {
    Program &program;
    Prompts &prompts;
    FileDialogs &dialogs;
    DesktopServices &desktop;
    // The active tab's current file and selection.
    const ViewSelection &selection;
    // Asked to save unsaved changes before an application gets the file.
    EditorDocument &document;
    // Where thumbnails are written.
    ThumbnailStore &thumbnails;
    // The engine that captures pages; none: no thumbnails and no captures.
    RenderProfile *render = nullptr;
    // The editor/browser window, whose browser captures share and Snap View
    // takes its page and size from; none without a rendering engine.
    TFormView *viewer = nullptr;
    FreeSpaceQuery freeSpace = FreeSpaceOfVolume;
    // Empty gives the real progress window (TFormProgress).
    ProgressWindowFactory progressWindows = {};
    // The files of the folder shown in the Folder View, in its order: file i
    // is tile i of the Thumbnail View. Empty: the folder has no files.
    std::function<QStringList()> folderFiles = {};
    // The thumbnail program (velmora-thumbs) whose worker processes make the
    // thumbnails of several pages at once. Empty or missing: Make Thumbs
    // renders one page after the other in this process.
    QString thumbWorkers = {};
};

// The actions that the main window places in its menus and buttons.
enum class FileAction {
    MakeThumbs,
    ClearThumbs,
    CreateSnapshots,
    RemoveOrphanedThumbs,
    RemoveAllThumbs,
    UpdateChangedThumbs,
};

class FileCommands final : public QObject {
    Q_OBJECT
public:
    enum ThumbMode { ModeClear = 0, ModeMake = 1 };

    // window is the main window: disabled during runs, the parent of the
    // dialogs and of the context menu.
    FileCommands(const FileCommandsServices &services, QWidget &window);
    ~FileCommands() override;

    QAction *Action(FileAction which) const { return actions_[size_t(which)]; }

    // ---- Make Thumbs / ClearThumbs (file_commands_thumbs.cpp) ----
    // Makes (mode 1) or clears (mode 0) the thumbnails of the selected files
    // of the active tab: one file directly, several under the progress
    // window, which can stop the run between files. The window is disabled
    // during the run and enabled again however it ends.
    void Add_Remove(int mode);
    // True while a run of Add_Remove is under way.
    bool ThumbRunActive() const { return thumbRunActive_; }
    // Null without a rendering engine: thumbnails cannot be made then.
    ThumbnailMaker *Maker() const { return thumbMaker_.get(); }

    // ---- Update Changed Thumbnails (file_commands_changed.cpp) ----
    // Makes the thumbnails of the folder shown that are missing or older
    // than their page, under the progress window as Make Thumbs does, and
    // redraws their tiles. Needs no selection.
    void UpdateChangedThumbs();

    // ---- deleting and copying files (file_commands_files.cpp) ----
    // Deletes the selected files of the active tab from disk after asking;
    // filesDeleted lets the window list the folder again.
    void DeleteSelectedFiles();
    // Copies the selected files of the active tab: one through the save
    // dialog, several into a chosen folder under the progress window; the
    // folder of the last copy of several is remembered in COPYPATH.
    void CopySelectedFiles();

    // ---- snapshots (file_commands_snapshots.cpp) ----
    // "Create Snapshot(s)" of the Extras menu and the context menu: the
    // snapshot options window for the selected files of the active view.
    void Snapcurrenrfile1Click();
    // "Snap View" of the editor/browser window: the snapshot options window
    // for what the internal browser shows, at that view's size.
    void BSnapClick();
    // The snapshot settings of the program; their persistent part goes back
    // into the settings each time the options window closes.
    TSnapShotParams &SnapShotParams() { return snapShotParams_; }

    // Removes the thumbnails whose page is gone, or all of them, and reports
    // the counts.
    void CleanThumbnails(bool removeAll);

    // ---- the context menu (file_commands_menu.cpp) ----
    // The menu opens on widget at a right click, the Menu key and Shift+F10.
    void AttachContextMenu(QWidget *widget);
    // Opens the context menu with its top edge at globalPos; the
    // editor/browser window opens it the same way.
    void PopUpContextMenu(const QPoint &globalPos);
    QMenu *ContextMenu() const { return popLBTree_; }
    // Entry index of the context menu, separators included.
    QAction *PopUpEntry(int index) const;
    // While the editor/browser window is open as a modal window, every
    // entry of the context menu is disabled.
    bool ViewerModal() const { return viewerModal_; }
    void SetViewerModal(bool modal) { viewerModal_ = modal; }
    // The application entries take the captions the options dialog gives
    // them once it has been confirmed.
    void RecaptionApplications();

signals:
    // Files of the active tab (page) were deleted; lastIndex is the highest
    // index deleted, -1 when none.
    void filesDeleted(int page, int lastIndex);
    // One file was copied to target.
    void fileCopied(const QString &target);
    // Entry index of tab page shows a thumbnail made or cleared.
    void entryChanged(int page, int index);
    // The thumbnail of file changed; the thumbnail corner shows it.
    void thumbnailShown(const QString &file);
    // The editor's changes were dropped before a launch: the current file
    // is loaded again from disk.
    void previewReloadWanted();
    // "Jump to folder": the folder view opens path's folder with the caret on it.
    void jumpRequested(const QString &path);

private:
    void BuildActions();
    void BuildThumbnailMaker(RenderProfile *profile);

    // thumbnails
    void ThumbOfOneFile(int mode);
    void ThumbsOfSeveralFiles(int mode, int count);
    // The run under the progress window over files; refreshTiles: their
    // indexes are tiles of the Thumbnail View, redrawn as they are made.
    void ThumbsOfFiles(int mode, const QList<ViewFile> &files, int count, bool refreshTiles);
    // False when there was no room for a thumbnail (the run ends).
    bool MakeOrClearThumb(int mode, const QString &file);
    // Whether a run over several pages can use the worker processes.
    bool CanUseThumbWorkers(int mode, const QStringList &pages) const;
    // What a worker needs to make exactly the thumbnails this window would.
    QStringList ThumbWorkerArguments() const;

    // files
    void CopyOneSelectedFile();
    void CopySeveralSelectedFiles();
    std::unique_ptr<ProgressWindow> MakeProgressWindow() const;

    // snapshots
    void ShowSnapshotOptions(bool snapViewMode);
    bool CaptureForSnapshot(const QString &pagePath, const CaptureRequest &request,
                            Picture *picture, QString *error);
    // The batch export's captures in worker processes of the thumbnail program.
    bool CanCaptureSnapshotsWithWorkers(const QStringList &pages) const;
    void CaptureSnapshotsWithWorkers(
        const QStringList &pages, const CaptureRequest &request,
        const std::function<void(int, bool, const Picture &, const QString &)> &captured,
        const std::function<bool()> &stopRequested);

    // context menu
    void BuildPopupMenu();
    ContextMenuState MenuState() const;
    void PopLBPoP();
    void MyLBPopUpHandler(int index);
    void LaunchApplication(int app, const QString &file);

    Program &program_;
    Prompts &prompts_;
    FileDialogs &dialogs_;
    DesktopServices &desktop_;
    const ViewSelection &selection_;
    EditorDocument &document_;
    ThumbnailStore &thumbnails_;
    TFormView *viewer_ = nullptr;
    QWidget &window_;
    FreeSpaceQuery freeSpace_;
    ProgressWindowFactory progressWindows_;
    std::function<QStringList()> folderFiles_;
    QString thumbWorkers_;
    // The maker captures through this one, so it is declared first.
    std::unique_ptr<PageCapture> pageCapture_;
    std::unique_ptr<ThumbnailMaker> thumbMaker_;
    std::array<QAction *, 6> actions_{};
    bool thumbRunActive_ = false;
    TSnapShotParams snapShotParams_;
    bool snapshotWindowOpen_ = false;
    QMenu *popLBTree_ = nullptr; // a child of the window
    bool viewerModal_ = false;
    AppCaptionStyle appCaptions_ = AppCaptionStyle::AtStart;
};

} // namespace velmora
