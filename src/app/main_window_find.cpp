// Find in Files from the main window: the Extras entry, the window filled
// with where the user is, and a chosen occurrence shown in the editor.
#include "app/main_window.h"

#include "app/folder_pane.h"
#include "editor/window/form_view.h"
#include "editor/window/source_edit.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

// The editor's document as a replacement across files must know it.
class EditorPage final : public OpenPage {
public:
    explicit EditorPage(EditorDocument &document) : document_(document) {}
    QString File() const override { return document_.File(); }
    bool HasUnsavedChanges() const override { return document_.IsModified(); }
    void Reload() override { document_.ReloadFromDisk(); }

private:
    EditorDocument &document_;
};

} // namespace

void TForm1::AddFindInFiles() {
    menu_->Extras()->addSeparator();
    QAction *find = menu_->Extras()->addAction(u"Find in &Files..."_s);
    find->setObjectName(u"FindInFiles1"_s);
    find->setShortcut(QKeySequence(u"Ctrl+Shift+F"_s));
    // The Extras menu is off while nothing is selected; the shortcut works
    // all the same.
    addAction(find);
    connect(find, &QAction::triggered, &links_, [this] { ShowFindInFiles(); });
}

QString TForm1::EditorSelectedText() const {
    QString selected;
    if (const TFormView *view = preview_->FormView())
        selected = view->REScreen()->textCursor().selectedText();
    else
        selected = document_->Buffer().EditedText().mid(document_->Buffer().SelectionStart(),
                                                        document_->Buffer().SelectionLength());
    // Only a part of one line makes a text to find.
    if (selected.contains(QChar::ParagraphSeparator) || selected.contains(u'\n'))
        return {};
    return selected;
}

void TForm1::ShowFindInFiles() {
    if (!findInFiles_) {
        editorPage_ = std::make_unique<EditorPage>(*document_);
        findInFiles_ = std::make_unique<FindInFilesWindow>(
            FindInFilesServices{prompts_, dialogs_, program_.Config(), editorPage_.get()}, this);
        connect(findInFiles_.get(), &FindInFilesWindow::matchActivated, &links_,
                [this](const QString &path, int line, int column, int length) {
                    OpenSearchMatch(path, line, column, length);
                });
    }
    if (!findInFiles_->Searching())
        findInFiles_->Prefill(context_.Folder(), context_.Mask(), EditorSelectedText());
    findInFiles_->show();
    findInFiles_->raise();
    findInFiles_->activateWindow();
}

void TForm1::OpenSearchMatch(const QString &path, int line, int column, int length) {
    // The Folder View goes to the page, asking first about unsaved text.
    const QString file = QFileInfo(path).absoluteFilePath();
    JumpToFileAndFolder(file);
    // The jump only puts the caret on the page; selecting it loads it.
    View(TabFile)->SelectFile(file);
    if (document_->File() != file)
        return; // the user kept the text in hand, or the page could not be shown
    preview_->ShowEditor();
    if (!document_->OpenAt(file, line, column, length))
        return;
    activateWindow();
    raise();
    if (const TFormView *view = preview_->FormView()) {
        view->REScreen()->ensureCursorVisible();
        view->REScreen()->setFocus();
    }
}

} // namespace velmora
