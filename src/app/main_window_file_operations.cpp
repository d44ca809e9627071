// Deleting the selected files of the active tab from disk and copying them
// to another place: the dialogs, the progress window and the refresh of the
// views around the file operations of the file lists library.
#include "app/folder_pane.h"
#include "app/main_window.h"
#include "widgets/window_guards.h"

#include "filelists/file_operations.h"
#include "foundation/prompts.h"
#include "foundation/settings.h"
#include "widgets/form_progress.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace velmora {

void TForm1::DeleteSelectedFiles() {
    const QString current = selection_->GetCurrentFile();
    const TSelectionInfo selection = selection_->GetSelectionInfo();
    if (selection.SelCount < 1)
        return;
    if (prompts_.AskYesNoCancel(DeleteQuestion(current, selection.SelCount)) != Answer::Yes)
        return;
    const DeletionResult result =
        DeleteViewFiles(SelectedViewFiles(*selection_), program_.Config().DoRecycleBin);
    if (selection.Page == TabFile) {
        folderPane_->ListFolderFiles();
        // Nothing is selected after the re-read: the preview empties.
        ShowCurrentFile(false);
        View(TabFile)->FocusEntry(
            FocusIndexAfterDeletion(result.lastIndex, View(TabFile)->Count()));
        SyncThumbCount();
    } else if (selection.Page == TabThumb) {
        folderPane_->ListFolderFiles();
        SyncThumbCount();
    }
    UpdateStatus();
    // A file that stayed (no permission, or a folder) is named rather than
    // left to look deleted.
    if (!result.failed.isEmpty())
        prompts_.ShowError(FailureText(u"Could not delete:"_s, result.failed));
}

void TForm1::CopySelectedFiles() {
    const int count = selection_->GetSelectionInfo().SelCount;
    if (count < 1)
        return;
    if (count == 1)
        CopyOneSelectedFile();
    else
        CopySeveralSelectedFiles();
}

// The current file is the one selected entry when it holds the caret; with
// the caret elsewhere the selected entry itself is copied, so that the
// command never does nothing without a word.
void TForm1::CopyOneSelectedFile() {
    QString source = selection_->GetCurrentFile();
    if (source.isEmpty()) {
        const QList<ViewFile> selected = SelectedViewFiles(*selection_);
        if (selected.isEmpty())
            return;
        source = selected.first().path;
    }
    const QString chosen = dialogs_.GetSaveFileName(u"Copy File To"_s, source, QString());
    if (chosen.isEmpty())
        return;
    const SingleCopyResult result = CopyOneFile(source, chosen, prompts_);
    if (result.outcome != SingleCopy::Copied)
        return;
    const QString targetFolder = result.target.left(result.target.lastIndexOf(u'/') + 1);
    if (targetFolder != WithBackslash(context_.Folder()))
        return;
    // The list is read again quietly: a copy gives nothing up, so the
    // preview keeps what it shows and no save question is asked.
    quietSelection_ = true;
    folderPane_->ListFolderFiles();
    View(TabFile)->FocusFile(result.target);
    SyncThumbCount();
    quietSelection_ = false;
    UpdateStatus();
}

void TForm1::CopySeveralSelectedFiles() {
    Settings &settings = program_.Config();
    const QString chosen = dialogs_.GetExistingDirectory(u"Copy Files To"_s, settings.CopyPath);
    if (chosen.isEmpty())
        return;
    const QString folder = WithBackslash(chosen);
    // The files are taken before the run: while events are processed between
    // files the views may refill, and the run must not wander to others.
    QStringList sources;
    for (const ViewFile &file : SelectedViewFiles(*selection_))
        sources << file.path;
    if (prompts_.AskYesNoCancel(CopySeveralQuestion(int(sources.size()), folder)) != Answer::Yes)
        return;

    std::unique_ptr<ProgressWindow> progress =
        progressWindows_ ? progressWindows_() : std::make_unique<TFormProgress>();
    progress->InitProgBar(int(sources.size()));
    SeveralCopyResult result;
    {
        // Declared first so that it goes last: the progress window closes
        // before the main window is enabled and active again.
        const DisabledWindow disabled(this);
        const ShownProgress shown(*progress);
        result = CopyFilesToFolder(sources, folder, prompts_, *progress,
                                   [] { QCoreApplication::processEvents(); });
    }
    settings.CopyPath = folder;
    if (!result.failed.isEmpty())
        prompts_.ShowError(FailureText(u"Could not copy to "_s + folder + u':', result.failed));
}

} // namespace velmora
