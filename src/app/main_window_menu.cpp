// The file commands placed in the window: their context menu on the file
// views, what the window does after them; and the General Options dialog.
#include "app/file_commands.h"
#include "app/general_options.h"
#include "app/lists_tab_view.h"
#include "app/main_window.h"
#include "filelists/file_operations.h"
#include "filelists/window/elv_report.h"
#include "foundation/prompts.h"

#include <QLabel>
#include <QTabWidget>

namespace velmora {

void TForm1::ConnectCommands() {
    FileCommands *commands = commands_.get();
    commands->AttachContextMenu(View(TabFile)->Widget());
    commands->AttachContextMenu(View(TabThumb)->Widget());
    if (listsTab_)
        commands->AttachContextMenu(listsTab_->Report());
    commands->AttachContextMenu(imgMini_);

    connect(commands, &FileCommands::filesDeleted, this, [this](int page, int lastIndex) {
        if (page == TabFile) {
            ListFolderFiles();
            // Nothing is selected after the re-read: the preview empties.
            ShowCurrentFile(false);
            View(TabFile)->FocusEntry(FocusIndexAfterDeletion(lastIndex, View(TabFile)->Count()));
            SyncThumbCount();
        } else if (page == TabThumb) {
            ListFolderFiles();
            SyncThumbCount();
        }
        UpdateStatus();
    });
    connect(commands, &FileCommands::fileCopied, this, [this](const QString &target) {
        const QString targetFolder = target.left(target.lastIndexOf(u'/') + 1);
        if (targetFolder != WithBackslash(currentFolder_))
            return;
        // The list is read again quietly: a copy gives nothing up, so the
        // preview keeps what it shows and no save question is asked.
        quietSelection_ = true;
        ListFolderFiles();
        View(TabFile)->FocusFile(target);
        SyncThumbCount();
        quietSelection_ = false;
        UpdateStatus();
    });
    connect(commands, &FileCommands::entryChanged, this,
            [this](int page, int index) { View(page)->RefreshEntry(index); });
    connect(commands, &FileCommands::thumbnailShown, this, &TForm1::ShowMiniThumb);
    connect(commands, &FileCommands::previewReloadWanted, this, [this] { ShowCurrentFile(true); });
    connect(commands, &FileCommands::jumpRequested, this, &TForm1::JumpToFileAndFolder);
}

void TForm1::ShowGeneralOptions() {
    TFormGenOpt dialog(program_.Config(), prompts_, dialogs_, this,
                       FormatterStyleNames(program_.Folders().StyleDir));
    const QString styleBefore = program_.Config().StyleName;
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A newly chosen formatter style is used from now on, not only after
    // the next start.
    if (program_.Config().StyleName != styleBefore)
        LoadThumbStyle(program_.Config().StyleName);
    commands_->RecaptionApplications();
    ApplyHints();
    // The folder view's file list shows or hides its icons.
    View(TabFile)->SetShowIcons(program_.Config().DoShowFileIcons);
}

} // namespace velmora
