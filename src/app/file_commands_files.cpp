// Deleting the selected files of the active tab from disk and copying them
// to another place: the dialogs and the progress window around the file
// operations of the file lists library.
#include "app/file_commands.h"

#include "app/program.h"
#include "filelists/file_operations.h"
#include "foundation/prompts.h"
#include "foundation/settings.h"
#include "foundation/view_selection.h"
#include "widgets/window_guards.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace velmora {

void FileCommands::DeleteSelectedFiles() {
    const QString current = selection_.GetCurrentFile();
    const TSelectionInfo selection = selection_.GetSelectionInfo();
    if (selection.SelCount < 1)
        return;
    if (prompts_.AskYesNoCancel(DeleteQuestion(current, selection.SelCount)) != Answer::Yes)
        return;
    const DeletionResult result =
        DeleteViewFiles(SelectedViewFiles(selection_), program_.Config().DoRecycleBin);
    emit filesDeleted(selection.Page, result.lastIndex);
    // A file that stayed (no permission, or a folder) is named rather than
    // left to look deleted.
    if (!result.failed.isEmpty())
        prompts_.ShowError(FailureText(u"Could not delete:"_s, result.failed));
}

void FileCommands::CopySelectedFiles() {
    const int count = selection_.GetSelectionInfo().SelCount;
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
void FileCommands::CopyOneSelectedFile() {
    QString source = selection_.GetCurrentFile();
    if (source.isEmpty()) {
        const QList<ViewFile> selected = SelectedViewFiles(selection_);
        if (selected.isEmpty())
            return;
        source = selected.first().path;
    }
    const QString chosen = dialogs_.GetSaveFileName(u"Copy File To"_s, source, QString());
    if (chosen.isEmpty())
        return;
    const SingleCopyResult result = CopyOneFile(source, chosen, prompts_);
    if (result.outcome == SingleCopy::Copied)
        emit fileCopied(result.target);
}

void FileCommands::CopySeveralSelectedFiles() {
    Settings &settings = program_.Config();
    const QString chosen = dialogs_.GetExistingDirectory(u"Copy Files To"_s, settings.CopyPath);
    if (chosen.isEmpty())
        return;
    const QString folder = WithBackslash(chosen);
    // The files are taken before the run: while events are processed between
    // files the views may refill, and the run must not wander to others.
    QStringList sources;
    for (const ViewFile &file : SelectedViewFiles(selection_))
        sources << file.path;
    if (prompts_.AskYesNoCancel(CopySeveralQuestion(int(sources.size()), folder)) != Answer::Yes)
        return;

    std::unique_ptr<ProgressWindow> progress = MakeProgressWindow();
    progress->InitProgBar(int(sources.size()));
    SeveralCopyResult result;
    {
        // Declared first so that it goes last: the progress window closes
        // before the main window is enabled and active again.
        const DisabledWindow disabled(&window_);
        const ShownProgress shown(*progress);
        result = CopyFilesToFolder(sources, folder, prompts_, *progress,
                                   [] { QCoreApplication::processEvents(); });
    }
    settings.CopyPath = folder;
    if (!result.failed.isEmpty())
        prompts_.ShowError(FailureText(u"Could not copy to "_s + folder + u':', result.failed));
}

} // namespace velmora
