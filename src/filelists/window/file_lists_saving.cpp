// The File Lists tab's list files: saving the view through the save dialog,
// loading a saved list with its verification and report, deleting a saved
// list, and merging several into one.
#include "filelists/file_list_model.h"
#include "filelists/list_commands.h"
#include "filelists/list_file.h"
#include "filelists/list_verification.h"
#include "filelists/window/elv_report.h"
#include "filelists/window/file_lists_page.h"
#include "filelists/window/form_ask_fname.h"
#include "filelists/window/form_report.h"
#include "foundation/file_utils.h"
#include "foundation/prompts.h"
#include "widgets/caption_panel.h"
#include "widgets/wait_cursor.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// Shows the save dialog's report button for as long as it lives.
class ReportButtonShown {
public:
    explicit ReportButtonShown(TFormAskFName &dialog) : dialog_(dialog) {
        dialog_.SetShowButtonVisible(true);
    }
    ~ReportButtonShown() { dialog_.SetShowButtonVisible(false); }
    ReportButtonShown(const ReportButtonShown &) = delete;
    ReportButtonShown &operator=(const ReportButtonShown &) = delete;

private:
    TFormAskFName &dialog_;
};

} // namespace

void FileListsPage::SaveLVToFile(const QString &message) {
    if (report_->Model().Count() == 0) {
        context_.prompts.ShowInfo(NothingToSaveMessage());
        return;
    }
    const QString proposed =
        currentList_.Name.isEmpty()
            ? QFileInfo(FindFreeFileName(context_.listDir, u"(newlist*).lst"_s, 100)).fileName()
            : QFileInfo(currentList_.Name).fileName();
    formAskFName_->Prepare(message, proposed);
    if (RunDialog(*formAskFName_) != QDialog::Accepted ||
        formAskFName_->ChosenListFile().isEmpty()) {
        ReadSavedLists();
        return;
    }
    const CopyMode mode = formAskFName_->SaveMode();
    if (EntriesToSave(mode, report_->Model().Count(), report_->SelectedCount()) < 1) {
        context_.prompts.ShowInfo(NothingToSaveMessage());
        return;
    }
    WriteListFile(formAskFName_->ChosenListFile());
    ReadSavedLists();
}

void FileListsPage::WriteListFile(const QString &path) {
    const QList<int> selected =
        formAskFName_->SaveMode() == CopyMode::All ? QList<int>() : report_->SelectedRows();
    QStringList written;
    if (!WriteModelToListFile(path, report_->Model(), formAskFName_->SaveMode(), selected, written,
                              currentList_)) {
        context_.prompts.BeepAndShowError(u"Invalid Filename: "_s + path);
        return;
    }
    ShowFilesFoundIn(QFileInfo(path).fileName());
    SetListButtonState();
}

void FileListsPage::BSaveListClick() {
    SaveLVToFile(SaveCurrentListMessage(context_.listDir));
}

// The selected list, or the focused one of several; none gives an empty
// path, which fails to open like a vanished file.
void FileListsPage::BOpenListClick() {
    const QList<QListWidgetItem *> selected = lbListen_->selectedItems();
    QListWidgetItem *item =
        selected.size() > 1 && lbListen_->currentItem() && lbListen_->currentItem()->isSelected()
            ? lbListen_->currentItem()
            : selected.value(0);
    OpenListFile(item ? context_.listDir + item->text() : QString());
}

// The list is read from where it is: a saved list of FILELISTS, or a list
// file handed to the program from outside.
void FileListsPage::OpenListFile(const QString &path) {
    currentList_.Name = path;
    currentList_.Saved = true;
    ListFileText read = ReadListFile(path);
    if (!read.ok) {
        context_.prompts.ShowError(u"Cannot open list file "_s + path + QChar(kMessageBreak) +
                                   read.error);
        return;
    }
    FillLVFromList(read.lines);
    ShowFilesFoundIn(QFileInfo(path).fileName());
    VerifyLoadedList();
    FocusReport();
    SetListButtonState();
}

void FileListsPage::VerifyLoadedList() {
    VerifyResult result;
    {
        const WaitCursor busy;
        report_->setUpdatesEnabled(false);
        result = velmora::VerifyLoadedList(report_->Model(), verifyReport_, context_.progress);
        report_->setUpdatesEnabled(true);
    }
    emit statusChanged();
    if (result.total == 0)
        return;
    if (result.AllRemoved()) {
        context_.prompts.ShowInfo(NoValidEntriesMessage());
        return;
    }
    if (!result.OffersSave())
        return;
    ApplyVerifyResult(result, currentList_);
    const ReportButtonShown shown(*formAskFName_);
    SaveLVToFile(VerifySaveQuestion(result));
}

void FileListsPage::ShowReport() {
    TFormReport report(verifyReport_, formAskFName_);
    RunDialog(report);
}

void FileListsPage::BDeleteListClick() {
    const QList<QListWidgetItem *> selected = lbListen_->selectedItems();
    if (selected.size() != 1) {
        context_.prompts.Beep();
        return;
    }
    const QString path = context_.listDir + selected.first()->text();
    if (context_.prompts.AskYesNoCancel(DeleteListQuestion(path)) != Answer::Yes)
        return;
    if (QFileInfo::exists(path)) {
        if (context_.deleteFile)
            context_.deleteFile(path);
        else
            QFile::remove(path);
    }
    if (path == currentList_.Name) {
        report_->Model().Clear();
        currentList_.Name.clear();
        currentList_.Saved = true;
        panelTreeTop_->setText(DeletedListCaption());
        emit statusChanged();
    }
    ReadSavedLists();
    SetListButtonState();
}

void FileListsPage::BMergeListClick() {
    QStringList names;
    for (int i = 0; i < lbListen_->count(); ++i)
        if (lbListen_->item(i)->isSelected())
            names << lbListen_->item(i)->text();
    if (names.size() < 2 || !context_.prompts.AskYesNo(MergeQuestion(names)))
        return;
    const QString before = panelTreeTop_->text();
    panelTreeTop_->setText(u" Loading Lists ..."_s);
    panelTreeTop_->repaint();
    MergeResult result;
    QStringList merged;
    {
        const WaitCursor busy;
        report_->setUpdatesEnabled(false);
        result = MergeListFiles(context_.listDir, names, report_->Model(), merged, currentList_,
                                QLocale(), [this] {
                                    panelTreeTop_->setText(u" Generate merged list ..."_s);
                                    panelTreeTop_->repaint();
                                });
        report_->setUpdatesEnabled(true);
    }
    if (!result.ok) {
        panelTreeTop_->setText(before);
        context_.prompts.ShowError(u"Cannot open list file "_s + result.failedPath +
                                   QChar(kMessageBreak) + result.error);
        return;
    }
    emit statusChanged();
    ShowFilesFoundIn(result.caption);
    FocusReport();
    SaveLVToFile(MergeSavedMessage());
    SetListButtonState();
}

} // namespace velmora
