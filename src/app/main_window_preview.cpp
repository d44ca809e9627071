// The main window's preview: the browser or the editor docked in the Folder
// View, the current file shown in them, the modal editor/browser window, and
// saving the editor's document from the main window's buttons.
#include "app/folder_pane.h"
#include "app/main_window.h"
#include "editor/window/form_view.h"
#include "editor/window/source_edit.h"
#include "foundation/file_utils.h"
#include "foundation/prompts.h"
#include "render/page_view.h"
#include "widgets/wait_cursor.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStackedLayout>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace velmora {

// Panel1 shows its caption while neither view is docked in it.
QWidget *TForm1::BuildPreviewHost(QWidget *parent) {
    panel1_ = new QWidget(parent);
    panel1_->setObjectName(u"Panel1"_s);
    panel1Layout_ = new QStackedLayout(panel1_);
    auto *caption = new QLabel(u"Editor and Bowser view disabled"_s, panel1_);
    caption->setAlignment(Qt::AlignCenter);
    panel1Layout_->addWidget(caption);
    return panel1_;
}

void TForm1::ConnectFormView() {
    if (!formView_)
        return;
    connect(formView_.get(), &TFormView::HintChanged, labelHint_, &QLabel::setText);
    connect(formView_.get(), &TFormView::ButtonStateChanged, this, &TForm1::OnEditorButtons);
    connect(formView_.get(), &TFormView::Closing, this, &TForm1::FormViewClosing);
    connect(formView_.get(), &TFormView::ContextMenuWanted, this, &TForm1::PopUpContextMenu);
    connect(formView_.get(), &TFormView::SnapViewWanted, this, &TForm1::BSnapClick);
    // Esc stops a preview that is still loading.
    auto *stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(stop, &QShortcut::activated, this, [this] {
        if (formView_->BrowserBusy())
            formView_->StopLoading();
    });
    formView_->SetButtonState();
}

void TForm1::DockView(DockedView what, DockPlace where) {
    panel1_->setUpdatesEnabled(false);
    formView_->UndockAll();
    if (where == DockPlace::MainWindow) {
        QWidget *view = what == DockedView::Editor ? static_cast<QWidget *>(formView_->REScreen())
                                                   : formView_->FrameViewer1();
        panel1Layout_->addWidget(view);
        panel1Layout_->setCurrentWidget(view);
    }
    panel1_->setUpdatesEnabled(true);
}

void TForm1::SBBrowserClick() {
    if (!formView_)
        return;
    if (sbBrowser_->isChecked()) {
        DockView(DockedView::Browser, DockPlace::MainWindow);
        return;
    }
    DockView(DockedView::Editor, DockPlace::MainWindow);
    if (formView_->REScreen()->isEnabled())
        formView_->REScreen()->setFocus();
}

void TForm1::OnEditorButtons(bool inHand, bool modified) {
    bSave_->setEnabled(inHand && modified);
    bSaveAs_->setEnabled(inHand);
}

// A copy saved into the folder on show appears in the file list, selected;
// the editor keeps its own file all the same.
void TForm1::BSaveAsClick() {
    const QString copy = document_->SaveAs(dialogs_);
    if (copy.isEmpty() || WithBackslash(QFileInfo(copy).absolutePath()) != context_.Folder())
        return;
    quietSelection_ = true;
    folderPane_->ListFolderFiles();
    SyncThumbCount();
    View(TabFile)->SelectFile(copy);
    quietSelection_ = false;
    UpdateStatus();
    if (View(TabFile)->Widget()->isVisible())
        View(TabFile)->Widget()->setFocus();
}

// Before another file replaces the editor's text, unsaved changes may be
// saved; the answer does not stop the change of selection.
void TForm1::OnFileListSelection() {
    if (quietSelection_)
        return;
    if (!startingUp_ && selection_->GetCurrentFile() != document_->File())
        document_->SaveChangesPrompt();
    if (StatusNow() != statusShown_)
        UpdateStatus();
    ShowCurrentFile(false);
    if (formView_)
        formView_->SetButtonState();
}

// Closing the modal window from the Thumbnail View or the File Lists, whose
// selection does not follow the editor, is the last chance to save.
void TForm1::FormViewClosing() {
    if (pageControl_->currentIndex() != TabFile)
        document_->SaveChangesPrompt();
}

void TForm1::ShowCurrentFile(bool force) {
    if (startingUp_)
        return;
    const QString current = selection_->GetCurrentFile();
    if (current.isEmpty()) {
        ClearPreview();
        return;
    }
    if (current == document_->File() && !force)
        return;
    ShowMiniThumb(current);
    document_->Load(current);
}

void TForm1::ClearPreview() {
    ClearThumbnailCorner();
    document_->Clear();
}

// Opens the current file in the editor/browser window, modally. The
// preview's own load of that file is let finish first, so the window opens
// on the page; while the browser is busy with anything else (a link the
// user followed) the window stays shut.
void TForm1::DblClickForAll() {
    if (selection_->GetCurrentFile().isEmpty())
        return;
    if (pageControl_->currentIndex() != TabFile) {
        ShowCurrentFile(false);
        if (formView_)
            formView_->SetButtonState();
    }
    if (!formView_) {
        NotYetAvailable(u"Editor/Browser window"_s);
        return;
    }
    if (formView_->BrowserBusy()) {
        const WaitCursor busy;
        if (!formView_->FinishLoadingOf(selection_->GetCurrentFile()))
            return;
    }
    viewerModal_ = true;
    formView_->ShowModal();
    viewerModal_ = false;
    SBBrowserClick();
}

} // namespace velmora
