#include "app/main_window.h"

#include "app/about_box.h"
#include "app/lists_tab_view.h"
#include "app/thumbs_tab_view.h"
#include "editor/syntax_palette.h"
#include "editor/window/form_view.h"
#include "filelists/window/elv_report.h"
#include "folder_view/folder_file_list.h"
#include "foundation/desktop_services.h"
#include "foundation/document_guard.h"
#include "foundation/file_masks.h"
#include "foundation/file_utils.h"
#include "foundation/filter_definition.h"
#include "foundation/folder_listing.h"
#include "foundation/prompts.h"
#include "sitewalk/file_search.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/thumbnail_names.h"
#include "thumbs/thumbnail_store.h"
#include "widgets/caption_panel.h"
#include "widgets/window_placement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// The paths of the regular, not hidden files of folder that match mask, by
// name without regard to letter case.
QStringList FolderFilesOf(const QString &folder, const QString &mask) {
    QStringList paths;
    if (folder.isEmpty())
        return paths;
    const QStringList names = ListFolderFileNames(folder, FileMask(mask));
    paths.reserve(names.size());
    for (const QString &name : names)
        paths << folder + name;
    return paths;
}

} // namespace

TForm1::TForm1(const MainWindowServices &services, MainWindowViews views)
    : program_(services.program), prompts_(services.prompts), dialogs_(services.dialogs),
      desktop_(services.desktop), render_(services.render),
      thumbStore_(std::make_unique<ThumbnailStore>(program_.Folders().ThumbDir,
                                                   program_.Config().CacheMax)),
      ownDocument_(services.document ? nullptr : std::make_unique<EditorDocument>(prompts_)),
      document_(services.document ? services.document : ownDocument_.get()),
      preview_(std::make_unique<PreviewPane>(
          PreviewPaneServices{*document_, *this, *thumbStore_, prompts_, dialogs_,
                              program_.Config(), services.render, this},
          this)),
      status_(*this, kTabNames), start_(*this, *this, prompts_) {
    views_ = {std::move(views.folder), std::move(views.thumbs), std::move(views.lists)};
    if (!views_[TabFile])
        views_[TabFile] = std::make_unique<FolderFileList>(program_.Config().DoShowFileIcons);
    if (!views_[TabThumb])
        views_[TabThumb] = std::make_unique<ThumbsTabView>(*thumbStore_);
    if (!views_[TabTree]) {
        auto lists = std::make_unique<ListsTabView>(FileListsContextFor(services));
        listsTab_ = lists.get();
        views_[TabTree] = std::move(lists);
    }
    for (auto &view : views_)
        view->SelectionChanged = [this] { OnFileListSelection(); };

    setObjectName(u"Form1"_s);
    setWindowTitle(WindowTitle);
    commands_ = std::make_unique<FileCommands>(
        FileCommandsServices{program_, prompts_, dialogs_, desktop_, *this, *document_,
                             *thumbStore_, services.render, preview_->FormView(),
                             services.freeSpace, services.progressWindows},
        *this);
    arguments_ = services.arguments;
    BuildLayout();
    RestoreListView();
    menu_ = std::make_unique<MainMenu>(MainMenuServices{program_, prompts_, dialogs_, desktop_,
                                                        services.render, preview_->Browser()},
                                       *this);
    status_.Attach(pageControl_, menu_->Extras());
    ConnectParts();
    ConnectCommands();

    // Position and size as stored; the first show centres the window, so in
    // effect only the size is restored.
    const Settings &s = program_.Config();
    move(s.Left, s.Top);
    resize(s.Width, s.Height);

    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    AppActivate();
            });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { OnFocusChanged(now); });
}

TForm1::~TForm1() {
    if (listsTab_) {
        Settings &s = program_.Config();
        s.ColumnSizes = listsTab_->Report()->ColumnSizesText();
        s.SortCol = listsTab_->Report()->Model().SortColumn();
        s.SortAscending = listsTab_->Report()->Model().SortOrder() == Qt::AscendingOrder;
    }
    const QString viewPath =
        currentFolder_.isEmpty() || IsInThumbFolder(currentFolder_, program_.Folders().ThumbDir)
            ? program_.Folders().ProgramDir
            : currentFolder_;
    // prg.ini always receives the colours of the first palette, whichever
    // palette was in use.
    SetSyntaxPalette(program_.Config(), 1);
    program_.SaveAtExit({geometry(), viewPath});
    // The views go back into their own window before the preview area goes.
    preview_->UndockAll();
    // The views may own their widgets and go before the tabs do: nothing may
    // call back into this half-destroyed window while they are taken down.
    disconnect(pageControl_, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    for (auto &view : views_) {
        view->CurrentChanged = nullptr;
        view->SelectionChanged = nullptr;
    }
    // The tab pages go now, while the thumbnail store their grid's model
    // points at still exists: as children of the window they would otherwise
    // be destroyed after every member, the store included. The views first,
    // since some own their widget.
    for (auto &view : views_)
        view.reset();
    listsTab_ = nullptr;
    delete pageControl_;
    pageControl_ = nullptr;
}

// What the File Lists tab needs of the window: the folder view's folder and
// mask, the viewer, the status line and the thumbnail corner.
FileListsContext TForm1::FileListsContextFor(const MainWindowServices &services) {
    FileListsContext context(services.prompts, services.dialogs, workList_);
    context.listDir = program_.Folders().ListDir;
    context.thumbDir = program_.Folders().ThumbDir;
    context.progress = this;
    context.currentFolder = [this] { return currentFolder_; };
    context.currentMask = [this] { return currentMask_; };
    context.allowedExtensions = [this] { return program_.Config().AllowedExtensions; };
    context.searchStarting = [this] { program_.Config().DoValidate = false; };
    context.openCurrentFile = [this] { preview_->DblClickForAll(); };
    context.updateStatus = [this] { status_.Update(); };
    context.showMiniThumb = [this](const QString &path) { preview_->ShowMiniThumb(path); };
    context.deleteFile = [this](const QString &path) {
        DeleteFileFromDisk(path, program_.Config().DoRecycleBin);
    };
    context.runDialog = services.runDialog;
    return context;
}

FileListsPage *TForm1::ListsPage() const {
    return listsTab_ ? listsTab_->Page() : nullptr;
}

void TForm1::RestoreListView() {
    if (!listsTab_)
        return;
    const Settings &s = program_.Config();
    listsTab_->Report()->RestoreColumnSizes(s.ColumnSizes);
    listsTab_->Report()->RestoreSort(s.SortCol, s.SortAscending);
}

TabView *TForm1::View(int page) const {
    return views_[size_t(page)].get();
}

// ---- start-up --------------------------------------------------------------

void TForm1::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (firstShowDone_)
        return;
    firstShowDone_ = true;
    preview_->LoadSyntax(program_.Folders());
    start_.ReadArguments(arguments_.value_or(QApplication::arguments().mid(1)));
    ApplyFilterDefinition();
    setAcceptDrops(true);
    // A drop is delivered to the control under the pointer when it takes
    // drops; seeing every event first lets the window have it wherever it
    // lands.
    qApp->installEventFilter(this);
    ShowFolder(program_.Config().ViewPath);
    pageControl_->setCurrentIndex(TabThumb);
    pageControl_->setCurrentIndex(TabFile);
    preview_->SBBrowserClick();
    ApplyHints();
    FitAndCentreOnScreen(this);
}

bool TForm1::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) {
        startingUp_ = false;
        preview_->Start();
        status_.Start();
        start_.OpenCommandFileOnce();
        preview_->SetButtonState();
        status_.Update();
        status_.ShowWelcome();
        start_.OpenCommandListFileOnce();
    }
    return QMainWindow::event(event);
}

// The preview and the menu tell the window what they need of it.
void TForm1::ConnectParts() {
    PreviewPane *preview = preview_.get();
    connect(preview, &PreviewPane::HintChanged, this,
            [this](const QString &text) { status_.SetHint(text); });
    connect(preview, &PreviewPane::StatusChanged, this, [this] { status_.Update(); });
    FileCommands *commands = commands_.get();
    connect(preview, &PreviewPane::ContextMenuWanted, commands, &FileCommands::PopUpContextMenu);
    connect(preview, &PreviewPane::SnapViewWanted, commands, &FileCommands::BSnapClick);
    connect(preview, &PreviewPane::ThumbnailsWanted, commands,
            [commands] { commands->Action(FileAction::MakeThumbs)->trigger(); });
    connect(preview, &PreviewPane::ViewerModalChanged, commands, &FileCommands::SetViewerModal);
    // A copy saved into the folder on show appears in the file list, selected.
    connect(preview, &PreviewPane::CopySaved, this, [this](const QString &copy) {
        if (WithBackslash(QFileInfo(copy).absolutePath()) != currentFolder_)
            return;
        quietSelection_ = true;
        ListFolderFiles();
        SyncThumbCount();
        View(TabFile)->SelectFile(copy);
        quietSelection_ = false;
        status_.Update();
        if (View(TabFile)->Widget()->isVisible())
            View(TabFile)->Widget()->setFocus();
    });
    preview_->SetButtonState();

    connect(menu_.get(), &MainMenu::FormatterStyleChosen, this,
            [this] { preview_->LoadStyle(program_.Folders()); });
    connect(menu_.get(), &MainMenu::OptionsChanged, this, [this] {
        commands_->RecaptionApplications();
        ApplyHints();
        // The folder view's file list shows or hides its icons.
        View(TabFile)->SetShowIcons(program_.Config().DoShowFileIcons);
    });
}

void TForm1::ApplyFilterDefinition() {
    const QSignalBlocker blocker(cbFilter_);
    cbFilter_->clear();
    for (const FileFilter &filter : ParseFilterDefinition(program_.Config().AllowedExtensions))
        cbFilter_->addItem(filter.description, filter.mask);
    cbFilter_->setCurrentIndex(0);
    CBFilterChange();
}

void TForm1::ApplyHints() {
    const bool show = program_.Config().DoShowHints;
    const std::pair<QWidget *, QString> hints[] = {
        {cbDrive_, u"Select File(s):"_s},
        {preview_->ThumbnailCorner(), u"Double click here to create/update thumbnail(s)"_s},
        {cbFilter_, u"Determine which files types should be filtered"_s},
        {View(TabFile)->Widget(), u"[Right Mouse Button] = PopUp , [DEL] = Delete File"_s},
        {View(TabThumb)->Widget(), u"[Right Mouse Button] = PopUp , [DEL] = Delete File"_s},
    };
    if (listsTab_)
        listsTab_->Report()->setToolTip(
            show ? u"[Right Mouse Button] = PopUp, [Shift-Click] [Ctrl-Click] = Select/unselect"_s
                 : QString());
    for (const auto &[widget, hint] : hints) {
        widget->setToolTip(show ? hint : QString());
        widget->setToolTipDuration(5000);
    }
    preview_->SetShowHints(show);
    // Every other hint of the window (buttons, captions, tabs, the hosted
    // views' own) is held back by eventFilter while hints are off.
    if (!show)
        QToolTip::hideText();
}

// ---- folders and the active view -------------------------------------------

void TForm1::ShowFolder(const QString &folder) {
    if (!QFileInfo(folder).isDir())
        return;
    currentFolder_ = WithBackslash(QDir(folder).absolutePath());
    labelFiles_->setText(currentFolder_);
    labelThumbs_->setText(currentFolder_);
    WatchCurrentFolder();
    ListFolderFiles();
    const QModelIndex index = dirModel_->index(currentFolder_);
    if (index.isValid()) {
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            lbDir_->expand(parent);
        lbDir_->setCurrentIndex(index);
        treeFollowsLoad_ = true;
        ScrollTreeToCurrentFolder();
    }
    LBDirXChange();
}

// A folder out of view comes to the middle of the tree; one in view stays
// where it is.
void TForm1::ScrollTreeToCurrentFolder() {
    const QModelIndex index = dirModel_->index(currentFolder_);
    if (!index.isValid())
        return;
    const QRect row = lbDir_->visualRect(index);
    if (row.top() < 0 || row.bottom() >= lbDir_->viewport()->height())
        lbDir_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void TForm1::OpenTreeFolder(const QModelIndex &index) {
    const QString folder = dirModel_->filePath(index);
    if (!index.isValid() || WithBackslash(QDir(folder).absolutePath()) == currentFolder_)
        return;
    if (!preview_->MayReplaceEditorText()) {
        // The tree points at the folder on show again.
        lbDir_->setCurrentIndex(dirModel_->index(currentFolder_));
        return;
    }
    ShowFolder(folder);
    // Chosen in the tree: what the user sees there stays as it is.
    treeFollowsLoad_ = false;
}

void TForm1::CBDriveChange(int index) {
    if (!preview_->MayReplaceEditorText()) {
        cbDrive_->setCurrentIndex(driveIndex_);
        return;
    }
    driveIndex_ = index;
    ShowFolder(cbDrive_->itemText(index));
}

void TForm1::WatchCurrentFolder() {
    const QString path = QDir(currentFolder_).absolutePath();
    const QStringList watched = folderWatcher_->directories();
    if (watched == QStringList{path})
        return;
    if (!watched.isEmpty())
        folderWatcher_->removePaths(watched);
    if (!currentFolder_.isEmpty() && QFileInfo(path).isDir())
        folderWatcher_->addPath(path);
}

// Nothing changes for the user unless the folder's files did: the preview of
// a file still there is neither emptied nor loaded again, and no question is
// asked for it.
void TForm1::RefreshFolder() {
    refreshTimer_->stop();
    if (currentFolder_.isEmpty())
        return;
    // A run over the selected files (thumbnails, copies) counts on the rows
    // staying as they are: the refresh waits until it is over.
    if (commands_->ThumbRunActive() || !isEnabled()) {
        refreshTimer_->start();
        return;
    }
    // A folder removed and made again is a new folder to the watch.
    WatchCurrentFolder();
    const QStringList listed = FolderFilesOf(currentFolder_, currentMask_);
    if (listed == folderFiles_)
        return;
    folderFiles_ = listed;
    const QString shown = GetCurrentFile();
    const bool quiet = std::exchange(quietSelection_, true);
    View(TabFile)->RefreshFolderFiles(folderFiles_);
    if (!startingUp_)
        View(TabThumb)->RefreshFolderFiles(folderFiles_);
    quietSelection_ = quiet;
    if (GetCurrentFile() != shown)
        OnFileListSelection();
    else if (!startingUp_ && status_.Outdated())
        status_.Update();
}

// The thumbnail folder is the program's own: its files are never shown as
// pages, and all three tabs stay disabled until another folder is chosen.
void TForm1::LBDirXChange() {
    if (IsInThumbFolder(currentFolder_, program_.Folders().ThumbDir)) {
        prompts_.ShowInfo(u"Sorry, access denied. This is your thumbnail folder."_s +
                          kMessageBreak + u"Please choose another folder ..."_s);
        pageControl_->setEnabled(false);
        return;
    }
    pageControl_->setEnabled(true);
    SyncThumbCount();
    preview_->ClearPreview();
    status_.Update();
}

// The regular, not hidden files of the current folder that match the mask,
// by name without regard to letter case.
void TForm1::ListFolderFiles() {
    folderFiles_ = FolderFilesOf(currentFolder_, currentMask_);
    View(TabFile)->ShowFolderFiles(folderFiles_);
}

void TForm1::ApplyFilter(int) {
    if (!preview_->MayReplaceEditorText()) {
        cbFilter_->setCurrentIndex(filterIndex_);
        return;
    }
    CBFilterChange();
}

// The selected filter's mask lists the folder and shows in the caption above
// the filter box; with no filter selected the last one is taken, and with no
// filter at all every file is listed.
void TForm1::CBFilterChange() {
    if (cbFilter_->currentIndex() < 0 && cbFilter_->count() > 0)
        cbFilter_->setCurrentIndex(cbFilter_->count() - 1);
    currentMask_ = cbFilter_->count() > 0 ? cbFilter_->currentData().toString() : u"*.*"_s;
    filterIndex_ = cbFilter_->currentIndex();
    ListFolderFiles();
    panelFilterTop_->setText(u" Filter: "_s + currentMask_);
    panelFilterTop_->setToolTip(currentMask_);
    panelFilterTop_->repaint();
    if (startingUp_)
        return;
    SyncThumbCount();
    preview_->ClearPreview();
    status_.Update();
}

void TForm1::JumpToFileAndFolder(const QString &path) {
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (!info.dir().exists())
        return;
    if (!preview_->MayReplaceEditorText())
        return;
    pageControl_->setCurrentIndex(TabFile);
    ShowFolder(info.absolutePath());
    // Names here are case-sensitive: the entry is looked up without regard to
    // letter case instead of asking whether the file exists as spelled, so a
    // jump to INDEX.HTM still finds index.htm.
    View(TabFile)->FocusFile(info.absoluteFilePath());
}

void TForm1::SyncThumbCount() {
    if (startingUp_)
        return;
    View(TabThumb)->ShowFolderFiles(folderFiles_);
}

QString TForm1::GetCurrentFile() const {
    return View(pageControl_->currentIndex())->CurrentFile();
}

TSelectionInfo TForm1::GetSelectionInfo() const {
    const int page = pageControl_->currentIndex();
    const TabView *view = View(page);
    return {page, view->SelectedCount(), view->Count()};
}

QString TForm1::GetViewFile(int i, bool selectedOnly) const {
    return View(pageControl_->currentIndex())->ViewFile(i, selectedOnly);
}

QStringList TForm1::SelectedFiles() const {
    return View(pageControl_->currentIndex())->SelectedFiles();
}

// Before another file replaces the editor's text, unsaved changes may be
// saved; the answer does not stop the change of selection.
void TForm1::OnFileListSelection() {
    if (quietSelection_)
        return;
    if (!startingUp_ && GetCurrentFile() != document_->File())
        document_->SaveChangesPrompt();
    if (status_.Outdated())
        status_.Update();
    preview_->ShowCurrentFile(false);
    preview_->SetButtonState();
}

// ---- tabs --------------------------------------------------------------------

void TForm1::OnTabBarChanged(int index) {
    if (switchingBack_)
        return;
    if (!PageControl1Changing(shownPage_)) {
        switchingBack_ = true;
        pageControl_->setCurrentIndex(shownPage_);
        switchingBack_ = false;
        return;
    }
    shownPage_ = index;
    PageControl1Change(index);
}

bool TForm1::PageControl1Changing(int from) {
    if (startingUp_ || from != TabFile)
        return true;
    return MayGoOn(document_->SaveChangesPrompt());
}

void TForm1::PageControl1Change(int index) {
    status_.SetHint(QString());
    preview_->ClearThumbnailCorner();
    switch (index) {
    case TabFile:
        // The preview may hold a tile or a list entry shown from another
        // tab: the file current here is loaded into it again, and its
        // thumbnail shown in the corner.
        document_->ForgetFile();
        preview_->ShowCurrentFile(false);
        break;
    case TabThumb:
        SyncThumbCount();
        View(TabThumb)->SelectFirstIfNone();
        if (View(TabThumb)->Widget()->focusPolicy() != Qt::NoFocus)
            View(TabThumb)->Widget()->setFocus();
        if (const QString current = GetCurrentFile(); !current.isEmpty())
            preview_->ShowMiniThumb(current);
        break;
    case TabTree:
        if (const QString current = GetCurrentFile(); !current.isEmpty())
            preview_->ShowMiniThumb(current);
        break;
    default:
        break;
    }
    status_.Update();
}

// ---- returning to the program, closing ----------------------------------------

void TForm1::AppActivate() {
    if (startingUp_ || pageControl_->currentIndex() != TabFile)
        return;
    const QString current = GetCurrentFile();
    if (current.isEmpty() || current != document_->File() || document_->FileTime() == 0)
        return;
    const qint64 stamp = FileStamp(current);
    if (stamp == 0 || stamp == document_->FileTime())
        return;
    // Remember the new stamp first, so one outside change asks only once.
    document_->SetFileTime(stamp);
    const bool reload = prompts_.AskYesNo(u"File: "_s + current + kMessageBreak +
                                          u" has been changed by another application."_s +
                                          kMessageBreak + kMessageBreak + u"Reload from disk?"_s);
    if (reload)
        document_->ReloadFromDisk();
}

void TForm1::closeEvent(QCloseEvent *event) {
    if (!MayGoOn(document_->SaveChangesPrompt())) {
        event->ignore();
        return;
    }
    event->accept();
}

// ---- dropped files ---------------------------------------------------------------

namespace {

QStringList LocalFilesOf(const QMimeData *data) {
    QStringList names;
    if (data)
        for (const QUrl &url : data->urls())
            if (url.isLocalFile())
                names << url.toLocalFile();
    return names;
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent *event) {
    if (!LocalFilesOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event) {
    const QStringList names = LocalFilesOf(event->mimeData());
    if (names.isEmpty())
        return;
    event->acceptProposedAction();
    start_.DropFiles(names);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ToolTip && !program_.Config().DoShowHints) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && (widget->window() == this || preview_->IsInViewerWindow(widget)))
            return true;
    }
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QMainWindow::eventFilter(watched, event);
    // The preview views may sit in their own window; drops there are theirs.
    // A disabled window, as during a thumbnail run, takes no drop at all.
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget == this || widget->window() != this || !widget->isEnabled())
        return QMainWindow::eventFilter(watched, event);
    auto *drag = static_cast<QDropEvent *>(event);
    const QStringList names = LocalFilesOf(drag->mimeData());
    if (names.isEmpty())
        return QMainWindow::eventFilter(watched, event); // text dragged inside a control
    drag->acceptProposedAction();
    if (type == QEvent::Drop)
        start_.DropFiles(names);
    return true;
}

// ---- progress bar -------------------------------------------------------------

void TForm1::SetRange(int minimum, int maximum) {
    progressActFile_->setRange(minimum, maximum);
}

void TForm1::SetPosition(int position) {
    progressActFile_->setValue(position);
}

void TForm1::OnFocusChanged(QWidget *now) {
    panelDirectoryTop_->SetActive(now && leftColumn_->isAncestorOf(now));
    labelFiles_->SetActive(now && pageControl_->widget(TabFile)->isAncestorOf(now));
    labelThumbs_->SetActive(now && pageControl_->widget(TabThumb)->isAncestorOf(now));
}

} // namespace velmora
