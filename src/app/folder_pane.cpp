#include "app/folder_pane.h"

#include "foundation/document_guard.h"
#include "foundation/file_masks.h"
#include "foundation/file_utils.h"
#include "foundation/filter_definition.h"
#include "foundation/folder_context.h"
#include "foundation/folder_listing.h"
#include "foundation/program_folders.h"
#include "foundation/prompts.h"
#include "foundation/settings.h"
#include "widgets/caption_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>
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

// Enter (either key) on the watched widget runs a command instead of going
// on to the window.
class EnterKey final : public QObject {
public:
    EnterKey(QObject *parent, std::function<void()> command)
        : QObject(parent), command_(std::move(command)) {}
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        command_();
        return true;
    }

private:
    std::function<void()> command_;
};

// The folder tree. The row under the pointer stays there while a mouse
// button acts on it: the view scrolls a partly hidden row into view when it
// becomes current, and the pane scrolls to the folder a click opens, and
// either would slide the rows by one so that the next click lands on the
// neighbour. userActs is told of every mouse, wheel and key press.
class FolderTree final : public QTreeView {
public:
    FolderTree(QWidget *parent, std::function<void()> userActs)
        : QTreeView(parent), userActs_(std::move(userActs)) {
        connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { userActs_(); });
    }
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override {
        if (!clicking_)
            QTreeView::scrollTo(index, hint);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override {
        userActs_();
        Clicking([&] { QTreeView::mousePressEvent(event); });
    }
    void mouseReleaseEvent(QMouseEvent *event) override {
        Clicking([&] { QTreeView::mouseReleaseEvent(event); });
    }
    void mouseDoubleClickEvent(QMouseEvent *event) override {
        Clicking([&] { QTreeView::mouseDoubleClickEvent(event); });
    }
    void wheelEvent(QWheelEvent *event) override {
        userActs_();
        QTreeView::wheelEvent(event);
    }
    void keyPressEvent(QKeyEvent *event) override {
        userActs_();
        QTreeView::keyPressEvent(event);
    }

private:
    void Clicking(const std::function<void()> &handle) {
        const bool before = std::exchange(clicking_, true);
        handle();
        clicking_ = before;
    }
    std::function<void()> userActs_;
    bool clicking_ = false;
};

// Drive roots: the root folder and the home folder first, then every other
// mounted volume.
QStringList DriveRoots() {
    QStringList roots{u"/"_s, QDir::homePath()};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    return roots;
}

} // namespace

FolderPane::FolderPane(FolderContext &context, DocumentGuard &document, Prompts &prompts,
                       const Settings &settings, QString thumbDir, QWidget *parent)
    : QWidget(parent), context_(context), document_(document), prompts_(prompts),
      settings_(settings), thumbDir_(std::move(thumbDir)) {
    setObjectName(u"PanelDateiManager"_s);
    setMinimumWidth(120);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(2, 0, 2, 2);
    layout_->setSpacing(2);
    BuildDriveBox();
    BuildFolderTree();
    belowTreeIndex_ = layout_->count();
    BuildFilterBox();
    WatchFolders();
    // The caption over the drive box shows whether the focus is in the pane.
    // The caption is the connection's context: the focus leaves a control
    // that is being destroyed, and the caption may be gone by then.
    connect(qApp, &QApplication::focusChanged, panelDirectoryTop_, [this](QWidget *, QWidget *now) {
        panelDirectoryTop_->SetActive(now && isAncestorOf(now));
    });
}

void FolderPane::AddBelowTree(QWidget *widget, Qt::Alignment alignment) {
    layout_->insertWidget(belowTreeIndex_++, widget, 0, alignment);
}

void FolderPane::BuildDriveBox() {
    panelDirectoryTop_ = new CaptionPanel(u"Folder Selection"_s, this);
    panelDirectoryTop_->setObjectName(u"PanelDirectoryTop"_s);
    layout_->addWidget(panelDirectoryTop_);

    cbDrive_ = new QComboBox(this);
    cbDrive_->setObjectName(u"CBDrive"_s);
    // On Linux a combo box's accessible name is its current text; the caption
    // above names it through the "labelled by" relation instead.
    panelDirectoryTop_->setBuddy(cbDrive_);
    cbDrive_->addItems(DriveRoots());
    connect(cbDrive_, &QComboBox::activated, this, &FolderPane::CBDriveChange);
    layout_->addWidget(cbDrive_);
}

void FolderPane::BuildFolderTree() {
    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dirModel_->setRootPath(u"/"_s);
    lbDir_ = new FolderTree(this, [this] { treeFollowsLoad_ = false; });
    lbDir_->setObjectName(u"LBDir"_s);
    lbDir_->setAccessibleName(u"Folder tree"_s);
    lbDir_->setModel(dirModel_);
    lbDir_->setHeaderHidden(true);
    // The column is narrow and sites lie deep: a small step per level leaves
    // the names of deep folders readable.
    lbDir_->setIndentation(10);
    for (int c = 1; c < dirModel_->columnCount(); ++c)
        lbDir_->hideColumn(c);
    connect(lbDir_, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        if (settings_.DoOpenOnSingleClick)
            OpenTreeFolder(index);
    });
    connect(lbDir_, &QTreeView::doubleClicked, this, &FolderPane::OpenTreeFolder);
    // The folders are read in the background, and every folder read (and
    // sorted) may move the current one: the tree follows it until the user
    // works in the tree.
    auto *follow = new QTimer(this);
    follow->setSingleShot(true);
    connect(follow, &QTimer::timeout, this, [this] {
        if (treeFollowsLoad_)
            ScrollTreeToCurrentFolder();
    });
    const auto followLater = [this, follow] {
        if (treeFollowsLoad_)
            follow->start(0);
    };
    connect(dirModel_, &QFileSystemModel::directoryLoaded, this, followLater);
    connect(dirModel_, &QFileSystemModel::layoutChanged, this, followLater);
    connect(dirModel_, &QFileSystemModel::rowsInserted, this, followLater);
    lbDir_->installEventFilter(
        new EnterKey(lbDir_, [this] { OpenTreeFolder(lbDir_->currentIndex()); }));
    layout_->addWidget(lbDir_, 1);
}

void FolderPane::BuildFilterBox() {
    panelFilterTop_ = new CaptionPanel(u"Filter: "_s, this);
    panelFilterTop_->setObjectName(u"PanelFilterTop"_s);
    // The caption holds the whole mask: its start matters, its end may be cut.
    panelFilterTop_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout_->addWidget(panelFilterTop_);
    cbFilter_ = new QComboBox(this);
    cbFilter_->setObjectName(u"CBFilter"_s);
    panelFilterTop_->setBuddy(cbFilter_);
    cbFilter_->setStyleSheet(u"QComboBox { color: blue; }"_s);
    connect(cbFilter_, &QComboBox::activated, this, &FolderPane::ApplyFilter);
    layout_->addWidget(cbFilter_);
}

// The folder on show is watched: files added or removed by another program
// appear in the views after a short pause that gathers a burst of changes
// into one refresh. F5 lists the folder again at once.
void FolderPane::WatchFolders() {
    folderWatcher_ = new QFileSystemWatcher(this);
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(200);
    connect(folderWatcher_, &QFileSystemWatcher::directoryChanged, refreshTimer_,
            qOverload<>(&QTimer::start));
    connect(refreshTimer_, &QTimer::timeout, this, &FolderPane::RefreshFolder);
    auto *refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, &FolderPane::RefreshFolder);
}

void FolderPane::ShowFolder(const QString &folder) {
    if (!QFileInfo(folder).isDir())
        return;
    context_.SetFolder(WithBackslash(QDir(folder).absolutePath()));
    WatchCurrentFolder();
    ListFolderFiles();
    const QModelIndex index = dirModel_->index(context_.Folder());
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
void FolderPane::ScrollTreeToCurrentFolder() {
    const QModelIndex index = dirModel_->index(context_.Folder());
    if (!index.isValid())
        return;
    const QRect row = lbDir_->visualRect(index);
    if (row.top() < 0 || row.bottom() >= lbDir_->viewport()->height())
        lbDir_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FolderPane::OpenTreeFolder(const QModelIndex &index) {
    const QString folder = dirModel_->filePath(index);
    if (!index.isValid() || WithBackslash(QDir(folder).absolutePath()) == context_.Folder())
        return;
    if (!MayReplaceEditorText()) {
        // The tree points at the folder on show again.
        lbDir_->setCurrentIndex(dirModel_->index(context_.Folder()));
        return;
    }
    ShowFolder(folder);
    // Chosen in the tree: what the user sees there stays as it is.
    treeFollowsLoad_ = false;
}

void FolderPane::CBDriveChange(int index) {
    if (!MayReplaceEditorText()) {
        cbDrive_->setCurrentIndex(driveIndex_);
        return;
    }
    driveIndex_ = index;
    ShowFolder(cbDrive_->itemText(index));
}

// A folder or filter change lists other files: the text of the one shown
// would be given up without a word. Cancel keeps everything as it is; No
// empties the preview at once, so that nothing asks again.
bool FolderPane::MayReplaceEditorText() {
    const SaveChangesReply reply = document_.SaveChangesPrompt();
    if (reply == SaveChangesReply::Cancel)
        return false;
    if (reply == SaveChangesReply::No)
        emit editorTextDropped();
    return true;
}

void FolderPane::WatchCurrentFolder() {
    const QString path = QDir(context_.Folder()).absolutePath();
    const QStringList watched = folderWatcher_->directories();
    if (watched == QStringList{path})
        return;
    if (!watched.isEmpty())
        folderWatcher_->removePaths(watched);
    if (!context_.Folder().isEmpty() && QFileInfo(path).isDir())
        folderWatcher_->addPath(path);
}

// Nothing is reported unless the folder's files changed.
void FolderPane::RefreshFolder() {
    refreshTimer_->stop();
    if (context_.Folder().isEmpty())
        return;
    // A run over the selected files (thumbnails, copies) disables the window
    // and counts on the rows staying as they are: the refresh waits.
    if (!window()->isEnabled()) {
        refreshTimer_->start();
        return;
    }
    // A folder removed and made again is a new folder to the watch.
    WatchCurrentFolder();
    QStringList listed = FolderFilesOf(context_.Folder(), context_.Mask());
    if (listed == folderFiles_)
        return;
    folderFiles_ = std::move(listed);
    emit filesRefreshed();
}

// The thumbnail folder is the program's own: its files are never shown as
// pages.
void FolderPane::LBDirXChange() {
    if (IsInThumbFolder(context_.Folder(), thumbDir_)) {
        prompts_.ShowInfo(u"Sorry, access denied. This is your thumbnail folder."_s +
                          kMessageBreak + u"Please choose another folder ..."_s);
        emit folderShown(false);
        return;
    }
    emit folderShown(true);
}

void FolderPane::ListFolderFiles() {
    folderFiles_ = FolderFilesOf(context_.Folder(), context_.Mask());
    emit filesListed();
}

void FolderPane::ApplyFilterDefinition(const QString &definition) {
    const QSignalBlocker blocker(cbFilter_);
    cbFilter_->clear();
    for (const FileFilter &filter : ParseFilterDefinition(definition))
        cbFilter_->addItem(filter.description, filter.mask);
    cbFilter_->setCurrentIndex(0);
    CBFilterChange();
}

void FolderPane::ApplyFilter(int) {
    if (!MayReplaceEditorText()) {
        cbFilter_->setCurrentIndex(filterIndex_);
        return;
    }
    CBFilterChange();
}

// The selected filter's mask lists the folder and shows in the caption above
// the filter box; with no filter selected the last one is taken, and with no
// filter at all every file is listed.
void FolderPane::CBFilterChange() {
    if (cbFilter_->currentIndex() < 0 && cbFilter_->count() > 0)
        cbFilter_->setCurrentIndex(cbFilter_->count() - 1);
    const QString mask = cbFilter_->count() > 0 ? cbFilter_->currentData().toString() : u"*.*"_s;
    context_.SetMask(mask);
    filterIndex_ = cbFilter_->currentIndex();
    ListFolderFiles();
    panelFilterTop_->setText(u" Filter: "_s + mask);
    panelFilterTop_->setToolTip(mask);
    panelFilterTop_->repaint();
    emit filterApplied();
}

} // namespace velmora
