#include "app/main_window.h"

#include "app/about_box.h"
#include "app/folder_pane.h"
#include "app/lists_tab_view.h"
#include "app/site_tools.h"
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

// What the File Lists tab reads of the window: the folder view's folder and
// mask, and the filter definition its Add dialog offers.
FileListsContext FileListsContextFor(const MainWindowServices &services, Program &program,
                                     const FolderContext &folder, ProgressBar *progress) {
    FileListsContext context(services.prompts, services.dialogs);
    context.listDir = program.Folders().ListDir;
    context.thumbDir = program.Folders().ThumbDir;
    context.progress = progress;
    context.folder = &folder;
    context.settings = &program.Config();
    context.deleteFile = [&program](const QString &path) {
        DeleteFileFromDisk(path, program.Config().DoRecycleBin);
    };
    context.runDialog = services.runDialog;
    return context;
}

} // namespace

TForm1::TForm1(const MainWindowServices &services, MainWindowViews views)
    : program_(services.program), prompts_(services.prompts), dialogs_(services.dialogs),
      desktop_(services.desktop), render_(services.render),
      thumbStore_(std::make_unique<ThumbnailStore>(program_.Folders().ThumbDir,
                                                   program_.Config().CacheMax)),
      ownDocument_(services.document ? nullptr : std::make_unique<EditorDocument>(prompts_)),
      document_(services.document ? services.document : ownDocument_.get()) {
    views_ = {std::move(views.folder), std::move(views.thumbs), std::move(views.lists)};
    if (!views_[TabFile])
        views_[TabFile] = std::make_unique<FolderFileList>(program_.Config().DoShowFileIcons);
    if (!views_[TabThumb])
        views_[TabThumb] = std::make_unique<ThumbsTabView>(*thumbStore_);
    if (!views_[TabTree]) {
        auto lists = std::make_unique<ListsTabView>(
            FileListsContextFor(services, program_, context_, &progress_));
        listsTab_ = lists.get();
        views_[TabTree] = std::move(lists);
    }
    selection_ = std::make_unique<TabSelection>(
        context_, std::array{views_[0].get(), views_[1].get(), views_[2].get()});

    setObjectName(u"Form1"_s);
    setWindowTitle(WindowTitle);
    preview_ = std::make_unique<PreviewPane>(
        PreviewPaneServices{*document_, *selection_, *thumbStore_, prompts_, dialogs_,
                            program_.Config(), services.render, &progress_},
        this);
    status_ = std::make_unique<StatusLine>(*selection_, kTabNames);
    start_ = std::make_unique<ProgramStart>(*this, *this, prompts_);
    commands_ = std::make_unique<FileCommands>(
        FileCommandsServices{
            program_, prompts_, dialogs_, desktop_, *selection_, *document_, *thumbStore_,
            services.render, preview_->FormView(), services.freeSpace, services.progressWindows,
            [this] { return folderPane_ ? folderPane_->FolderFiles() : QStringList(); },
            services.thumbWorkers},
        *this);
    arguments_ = services.arguments;
    BuildLayout();
    if (listsTab_)
        listsTab_->RestoreColumns(program_.Config());
    menu_ = std::make_unique<MainMenu>(MainMenuServices{program_, prompts_, dialogs_, desktop_,
                                                        services.render, preview_->Browser()},
                                       *this);
    status_->Attach(pageControl_.get(), menu_->Extras());
    ConnectViews();
    ConnectParts();
    ConnectCommands();

    // Position and size as stored; the first show centres the window, so in
    // effect only the size is restored.
    const Settings &s = program_.Config();
    move(s.Left, s.Top);
    resize(s.Width, s.Height);

    connect(qApp, &QGuiApplication::applicationStateChanged, &links_,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    preview_->AppActivate();
            });
    connect(qApp, &QApplication::focusChanged, &links_,
            [this](QWidget *, QWidget *now) { OnFocusChanged(now); });
}

TForm1::~TForm1() {
    if (listsTab_)
        listsTab_->SaveColumns(program_.Config());
    const QString folder = context_.Folder();
    const QString viewPath =
        folder.isEmpty() || IsInThumbFolder(folder, program_.Folders().ThumbDir)
            ? program_.Folders().ProgramDir
            : folder;
    // prg.ini always receives the colours of the first palette, whichever
    // palette was in use.
    SetSyntaxPalette(program_.Config(), 1);
    program_.SaveAtExit({geometry(), viewPath});
    // The views go back into their own window before the preview area goes.
    preview_->UndockAll();
    // The rest goes with the members: links_ first, which ends every
    // connection into the window, then the window's parts, the views and the
    // tab pages.
}

FileListsPage *TForm1::ListsPage() const {
    return listsTab_ ? listsTab_->Page() : nullptr;
}

TabView *TForm1::View(int page) const {
    return views_[size_t(page)].get();
}

// A view's signals reach the window while both live.
void TForm1::ConnectViews() {
    for (const auto &view : views_) {
        connect(view.get(), &TabView::selectionChanged, &links_, [this] { OnFileListSelection(); });
        connect(view.get(), &TabView::statusChanged, &links_, [this] { status_->Update(); });
        connect(view.get(), &TabView::openRequested, &links_,
                [this] { preview_->DblClickForAll(); });
    }
    FileListsPage *page = ListsPage();
    if (!page)
        return;
    connect(page, &FileListsPage::thumbnailWanted, &links_,
            [this](const QString &path) { preview_->ShowMiniThumb(path); });
    // Like every search, a list search switches list validation off.
    connect(page, &FileListsPage::searchStarting, &links_,
            [this] { program_.Config().DoValidate = false; });
}

// The pane chooses folder and filter; the window shows what they list.
void TForm1::ConnectFolderPane() {
    // Another folder or filter: the thumbnail view takes the files, the
    // preview empties and the status is counted again.
    const auto showFolderAnew = [this] {
        SyncThumbCount();
        preview_->ClearPreview();
        status_->Update();
    };
    connect(folderPane_, &FolderPane::editorTextDropped, &links_, [this] {
        preview_->ClearPreview();
        status_->Update();
    });
    connect(&context_, &FolderContext::folderChanged, &links_, [this](const QString &folder) {
        labelFiles_->setText(folder);
        labelThumbs_->setText(folder);
    });
    connect(folderPane_, &FolderPane::filesListed, &links_,
            [this] { View(TabFile)->ShowFolderFiles(folderPane_->FolderFiles()); });
    connect(folderPane_, &FolderPane::filesRefreshed, &links_, [this] { RefreshViews(); });
    // The thumbnail folder's files are never shown as pages: all three tabs
    // stay disabled until another folder is chosen.
    connect(folderPane_, &FolderPane::folderShown, &links_, [this, showFolderAnew](bool open) {
        pageControl_->setEnabled(open);
        if (open)
            showFolderAnew();
    });
    connect(folderPane_, &FolderPane::filterApplied, &links_, [this, showFolderAnew] {
        if (!startingUp_)
            showFolderAnew();
    });
}

// ---- start-up --------------------------------------------------------------

void TForm1::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (firstShowDone_)
        return;
    firstShowDone_ = true;
    preview_->LoadSyntax(program_.Folders());
    start_->ReadArguments(arguments_.value_or(QApplication::arguments().mid(1)));
    folderPane_->ApplyFilterDefinition(program_.Config().AllowedExtensions);
    setAcceptDrops(true);
    // A drop is delivered to the control under the pointer when it takes
    // drops; seeing every event first lets the window have it wherever it
    // lands.
    qApp->installEventFilter(this);
    folderPane_->ShowFolder(program_.Config().ViewPath);
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
        status_->Start();
        start_->OpenCommandFileOnce();
        preview_->SetButtonState();
        status_->Update();
        status_->ShowWelcome();
        start_->OpenCommandListFileOnce();
    }
    return QMainWindow::event(event);
}

// The preview and the menu tell the window what they need of it.
void TForm1::ConnectParts() {
    PreviewPane *preview = preview_.get();
    connect(preview, &PreviewPane::HintChanged, &links_,
            [this](const QString &text) { status_->SetHint(text); });
    connect(preview, &PreviewPane::StatusChanged, &links_, [this] { status_->Update(); });
    FileCommands *commands = commands_.get();
    connect(preview, &PreviewPane::ContextMenuWanted, commands, &FileCommands::PopUpContextMenu);
    connect(preview, &PreviewPane::SnapViewWanted, commands, &FileCommands::BSnapClick);
    connect(preview, &PreviewPane::ThumbnailsWanted, commands,
            [commands] { commands->Action(FileAction::MakeThumbs)->trigger(); });
    connect(preview, &PreviewPane::ViewerModalChanged, commands, &FileCommands::SetViewerModal);
    // A copy saved into the folder on show appears in the file list, selected.
    connect(preview, &PreviewPane::CopySaved, &links_, [this](const QString &copy) {
        if (WithBackslash(QFileInfo(copy).absolutePath()) != context_.Folder())
            return;
        quietSelection_ = true;
        folderPane_->ListFolderFiles();
        SyncThumbCount();
        View(TabFile)->SelectFile(copy);
        quietSelection_ = false;
        status_->Update();
        if (View(TabFile)->Widget()->isVisible())
            View(TabFile)->Widget()->setFocus();
    });
    preview_->SetButtonState();

    connect(menu_.get(), &MainMenu::FormatterStyleChosen, &links_,
            [this] { preview_->LoadStyle(program_.Folders()); });
    connect(menu_.get(), &MainMenu::OptionsChanged, &links_, [this] {
        commands_->RecaptionApplications();
        ApplyHints();
        // The folder view's file list shows or hides its icons.
        View(TabFile)->SetShowIcons(program_.Config().DoShowFileIcons);
        // The editor shows or hides its line numbers.
        if (TFormView *view = preview_->FormView())
            view->SetSettings(program_.Config());
    });
}

void TForm1::ApplyHints() {
    const bool show = program_.Config().DoShowHints;
    const std::pair<QWidget *, QString> hints[] = {
        {folderPane_->DriveBox(), u"Select File(s):"_s},
        {preview_->ThumbnailCorner(), u"Double click here to create/update thumbnail(s)"_s},
        {folderPane_->FilterBox(), u"Determine which files types should be filtered"_s},
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

// The views keep what they can; the preview follows only when the current
// file is another now, and the status only when what it shows changed.
void TForm1::RefreshViews() {
    const QString shown = selection_->GetCurrentFile();
    const bool quiet = std::exchange(quietSelection_, true);
    View(TabFile)->RefreshFolderFiles(folderPane_->FolderFiles());
    if (!startingUp_)
        View(TabThumb)->RefreshFolderFiles(folderPane_->FolderFiles());
    quietSelection_ = quiet;
    if (selection_->GetCurrentFile() != shown)
        OnFileListSelection();
    else if (!startingUp_ && status_->Outdated())
        status_->Update();
}

bool TForm1::JumpToFileAndFolder(const QString &path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.dir().exists())
        return false;
    if (!folderPane_->MayReplaceEditorText())
        return false;
    pageControl_->setCurrentIndex(TabFile);
    folderPane_->ShowFolder(info.absolutePath());
    // Names here are case-sensitive: the entry is looked up without regard to
    // letter case instead of asking whether the file exists as spelled, so a
    // jump to INDEX.HTM still finds index.htm.
    View(TabFile)->FocusFile(info.absoluteFilePath());
    return true;
}

void TForm1::SyncThumbCount() {
    if (startingUp_)
        return;
    View(TabThumb)->ShowFolderFiles(folderPane_->FolderFiles());
}

// Before another file replaces the editor's text, unsaved changes may be
// saved; the answer does not stop the change of selection.
void TForm1::OnFileListSelection() {
    if (quietSelection_)
        return;
    if (!startingUp_ && selection_->GetCurrentFile() != document_->File())
        document_->SaveChangesPrompt();
    if (status_->Outdated())
        status_->Update();
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
    status_->SetHint(QString());
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
        if (const QString current = selection_->GetCurrentFile(); !current.isEmpty())
            preview_->ShowMiniThumb(current);
        break;
    case TabTree:
        if (const QString current = selection_->GetCurrentFile(); !current.isEmpty())
            preview_->ShowMiniThumb(current);
        break;
    default:
        break;
    }
    status_->Update();
}

// ---- returning to the program, closing ----------------------------------------

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
    start_->DropFiles(names);
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
        start_->DropFiles(names);
    return true;
}

void TForm1::OnFocusChanged(QWidget *now) {
    labelFiles_->SetActive(now && pageControl_->widget(TabFile)->isAncestorOf(now));
    labelThumbs_->SetActive(now && pageControl_->widget(TabThumb)->isAncestorOf(now));
}

} // namespace velmora
