// The File Lists tab's Search and Add: the folder view's folder searched
// for the filter's files, or files picked by hand, shown in the report view
// and offered for saving.
#include "filelists/duplicate_entries.h"
#include "filelists/file_list_model.h"
#include "filelists/list_commands.h"
#include "filelists/window/elv_report.h"
#include "filelists/window/file_lists_page.h"
#include "filelists/window/form_search.h"
#include "foundation/file_utils.h"
#include "foundation/folder_context.h"
#include "foundation/prompts.h"
#include "foundation/settings.h"
#include "sitewalk/file_search.h"
#include "widgets/wait_cursor.h"
#include "widgets/window_guards.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velmora {

QString FileListsPage::SearchFolder() const {
    return context_.folder ? context_.folder->Folder() : QString();
}

QString FileListsPage::SearchMask() const {
    return context_.folder ? context_.folder->Mask() : u"*.*"_s;
}

void FileListsPage::BGetFilesClick() {
    const QString folder = SearchFolder();
    const QString mask = SearchMask();
    formSearch_->Prepare(mask, folder);
    if (RunDialog(*formSearch_) != QDialog::Accepted)
        return;
    const bool add = formSearch_->AddToCurrentList();
    QStringList work;
    int k = 0;
    {
        const WaitCursor busy;
        emit searchStarting();
        work.clear();
        if (add)
            report_->Model().CopyLVToList(work, CopyMode::All);
        k = int(work.size());
        if (formSearch_->IncludeSubfolders()) {
            FileSearchOptions options;
            options.mask = mask;
            options.thumbDir = context_.thumbDir;
            options.onEntry = [] { QCoreApplication::processEvents(); };
            const DisabledWhile disabled(window());
            SearchFilesRecursive(folder, options, work);
        } else {
            SearchFilesInFolder(work, folder, mask);
        }
        if (add)
            RemoveDuplicateEntries(work);
    }
    const int n = int(work.size());
    switch (JudgeSearch(n, k, add)) {
    case SearchOutcome::NoneFound:
        context_.prompts.ShowInfo(NoMatchingFilesMessage(folder));
        break;
    case SearchOutcome::NothingNew:
        context_.prompts.ShowInfo(NoNewEntriesMessage(folder));
        break;
    case SearchOutcome::Show:
        if (!add)
            currentList_.Name.clear();
        currentList_.Saved = false;
        FillLVFromList(work);
        ShowFilesFoundIn(folder);
        SaveLVToFile(SearchFinishedMessage(n, n - k));
        break;
    }
    FocusReport();
    SetListButtonState();
}

void FileListsPage::BAddClick() {
    const QString folder = SearchFolder();
    const QString filter =
        AddDialogFilter(context_.settings ? context_.settings->AllowedExtensions : QString());
    const QStringList files =
        context_.dialogs.GetOpenFileNames(u"Add files to the list"_s, folder, filter);
    if (files.isEmpty())
        return;
    QStringList work;
    int k = 0;
    {
        const WaitCursor busy;
        work.clear();
        report_->Model().CopyLVToList(work, CopyMode::All);
        k = int(work.size());
        // The dialog picks in one folder: the first file's is everyone's.
        const QString filesFolder = WithBackslash(QFileInfo(files.first()).absolutePath());
        for (const QString &file : files) {
            const std::optional<FoundEntry> found =
                LookUpListedFile(filesFolder + QFileInfo(file).fileName());
            if (!found)
                continue;
            const QString line = MakeEntryLine(filesFolder, *found);
            if (!line.isEmpty())
                work.append(line);
        }
        RemoveDuplicateEntries(work);
    }
    const int added = int(work.size()) - k;
    if (added == 0) {
        context_.prompts.ShowInfo(NoNewEntriesMessage(folder));
    } else {
        currentList_.Saved = false;
        FillLVFromList(work);
        ShowFilesFoundIn(folder);
        SaveLVToFile(FilesAddedMessage(added));
    }
    FocusReport();
    SetListButtonState();
}

} // namespace velmora
