// The file commands placed in the window: their context menu on the file
// views, what the window does after them.
#include "app/file_commands.h"
#include "app/folder_pane.h"
#include "app/lists_tab_view.h"
#include "app/main_window.h"
#include "app/site_tools.h"
#include "filelists/file_operations.h"
#include "filelists/window/elv_report.h"
#include "foundation/prompts.h"

#include <QLabel>
#include <QMenu>
#include <QTabWidget>

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
    siteTools_ = std::make_unique<SiteTools>(
        SiteToolsServices{program_, prompts_, dialogs_, context_, *document_, *preview_, *this},
        *this);
    siteTools_->AddTo(*menu_->Extras());
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

} // namespace velmora
