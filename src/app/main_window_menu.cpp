// The file commands placed in the window: their context menu on the file
// views, what the window does after them.
#include "app/file_commands.h"
#include "app/folder_pane.h"
#include "app/lists_tab_view.h"
#include "app/main_window.h"
#include "filelists/file_operations.h"
#include "filelists/window/elv_report.h"
#include "foundation/prompts.h"
#include "sitecheck/window/check_links_window.h"

#include <QAction>
#include <QKeySequence>

#include <QLabel>
#include <QMenu>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace velmora {

void TForm1::ConnectCommands() {
    FileCommands *commands = commands_.get();
    commands->AttachContextMenu(View(TabFile)->Widget());
    commands->AttachContextMenu(View(TabThumb)->Widget());
    if (listsTab_)
        commands->AttachContextMenu(listsTab_->Report());
    commands->AttachContextMenu(preview_->ThumbnailCorner());
    menu_->Extras()->addAction(commands->Action(FileAction::CreateSnapshots));
    menu_->Extras()->addAction(commands->Action(FileAction::UpdateChangedThumbs));
    AddFindInFiles();
    QAction *checkLinks = menu_->Extras()->addAction(u"Check &Links..."_s);
    checkLinks->setObjectName(u"CheckLinks1"_s);
    checkLinks->setShortcut(QKeySequence(u"Ctrl+Shift+L"_s));
    // The Extras menu is disabled while nothing is selected; the check of
    // the folder on show needs no selection, so its shortcut lives on the
    // window too.
    addAction(checkLinks);
    connect(checkLinks, &QAction::triggered, &links_, [this] { ShowCheckLinks(); });
    menu_->Clean()->addAction(commands->Action(FileAction::RemoveOrphanedThumbs));
    menu_->Clean()->addAction(commands->Action(FileAction::RemoveAllThumbs));

    connect(commands, &FileCommands::filesDeleted, &links_, [this](int page, int lastIndex) {
        if (page == TabFile) {
            folderPane_->ListFolderFiles();
            // Nothing is selected after the re-read: the preview empties.
            preview_->ShowCurrentFile(false);
            View(TabFile)->FocusEntry(FocusIndexAfterDeletion(lastIndex, View(TabFile)->Count()));
            SyncThumbCount();
        } else if (page == TabThumb) {
            folderPane_->ListFolderFiles();
            SyncThumbCount();
        }
        status_->Update();
    });
    connect(commands, &FileCommands::fileCopied, &links_, [this](const QString &target) {
        const QString targetFolder = target.left(target.lastIndexOf(u'/') + 1);
        if (targetFolder != WithBackslash(context_.Folder()))
            return;
        // The list is read again quietly: a copy gives nothing up, so the
        // preview keeps what it shows and no save question is asked.
        quietSelection_ = true;
        folderPane_->ListFolderFiles();
        View(TabFile)->FocusFile(target);
        SyncThumbCount();
        quietSelection_ = false;
        status_->Update();
    });
    connect(commands, &FileCommands::entryChanged, &links_,
            [this](int page, int index) { View(page)->RefreshEntry(index); });
    connect(commands, &FileCommands::thumbnailShown, preview_.get(), &PreviewPane::ShowMiniThumb);
    connect(commands, &FileCommands::previewReloadWanted, &links_,
            [this] { preview_->ShowCurrentFile(true); });
    connect(commands, &FileCommands::jumpRequested, &links_,
            [this](const QString &path) { JumpToFileAndFolder(path); });
}

// ---- Check Links ---------------------------------------------------------------

void TForm1::ShowCheckLinks() {
    if (!checkLinks_) {
        checkLinks_ = std::make_unique<CheckLinksWindow>(
            CheckLinksServices{prompts_, dialogs_, program_.Config().AllowedExtensions,
                               program_.Folders().ThumbDir},
            this);
        connect(checkLinks_.get(), &CheckLinksWindow::OpenPageRequested, &links_,
                [this](const QString &page, int line) { OpenPageAtLine(page, line); });
        // First shown over the middle of the main window.
        QRect placed(QPoint(), checkLinks_->size());
        placed.moveCenter(frameGeometry().center());
        checkLinks_->move(placed.topLeft());
    }
    checkLinks_->SetAllowedExtensions(program_.Config().AllowedExtensions);
    if (!checkLinks_->isVisible())
        checkLinks_->SetFolder(context_.Folder());
    checkLinks_->show();
    checkLinks_->raise();
    checkLinks_->activateWindow();
}

void TForm1::OpenPageAtLine(const QString &page, int line) {
    if (!JumpToPage(page))
        return;
    // The page selected, not only focused: the status line and the Extras
    // menu follow it.
    View(TabFile)->SelectFile(page);
    preview_->ShowEditorAt(page, line);
    raise();
    activateWindow();
}

} // namespace velmora
