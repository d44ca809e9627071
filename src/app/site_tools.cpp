#include "app/site_tools.h"

#include "app/preview_pane.h"
#include "app/program.h"
#include "app/program_start.h"
#include "editor/editor_document.h"
#include "editor/window/form_view.h"
#include "editor/window/source_edit.h"
#include "foundation/folder_context.h"
#include "sitecheck/window/check_links_window.h"
#include "sitesearch/window/find_in_files_window.h"
#include "widgets/tab_view.h"

#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

// The Folder View's tab (TForm1::TabFile).
constexpr int kFolderViewTab = 0;

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

void BringToFront(QWidget &window) {
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

SiteTools::SiteTools(const SiteToolsServices &services, QWidget &window)
    : services_(services), window_(window) {}

SiteTools::~SiteTools() = default;

void SiteTools::AddTo(QMenu &extras) {
    const auto add = [&](const QString &caption, const QString &name, const QString &keys,
                         void (SiteTools::*show)()) {
        QAction *action = extras.addAction(caption);
        action->setObjectName(name);
        action->setShortcut(QKeySequence(keys));
        window_.addAction(action);
        connect(action, &QAction::triggered, this, show);
    };
    extras.addSeparator();
    add(u"Find in &Files..."_s, u"FindInFiles1"_s, u"Ctrl+Shift+F"_s, &SiteTools::ShowFindInFiles);
    add(u"Check &Links..."_s, u"CheckLinks1"_s, u"Ctrl+Shift+L"_s, &SiteTools::ShowCheckLinks);
}

QString SiteTools::EditorSelectedText() const {
    QString selected;
    if (const TFormView *view = services_.preview.FormView()) {
        selected = view->REScreen()->textCursor().selectedText();
    } else {
        const auto &buffer = services_.document.Buffer();
        selected = buffer.EditedText().mid(buffer.SelectionStart(), buffer.SelectionLength());
    }
    // Only a part of one line makes a text to find.
    if (selected.contains(QChar::ParagraphSeparator) || selected.contains(u'\n'))
        return {};
    return selected;
}

void SiteTools::ShowFindInFiles() {
    if (!findInFiles_) {
        editorPage_ = std::make_unique<EditorPage>(services_.document);
        findInFiles_ = std::make_unique<FindInFilesWindow>(
            FindInFilesServices{services_.prompts, services_.dialogs, services_.program.Config(),
                                editorPage_.get()},
            &window_);
        connect(findInFiles_.get(), &FindInFilesWindow::matchActivated, this,
                &SiteTools::OpenPageAt);
    }
    if (!findInFiles_->Searching())
        findInFiles_->Prefill(services_.context.Folder(), services_.context.Mask(),
                              EditorSelectedText());
    BringToFront(*findInFiles_);
}

void SiteTools::ShowCheckLinks() {
    if (!checkLinks_) {
        checkLinks_ = std::make_unique<CheckLinksWindow>(
            CheckLinksServices{services_.prompts, services_.dialogs,
                               services_.program.Config().AllowedExtensions,
                               services_.program.Folders().ThumbDir},
            &window_);
        connect(checkLinks_.get(), &CheckLinksWindow::OpenPageRequested, this,
                [this](const QString &page, int line) { OpenPageAt(page, line, 1, 0); });
        // First shown over the middle of the main window.
        QRect placed(QPoint(), checkLinks_->size());
        placed.moveCenter(window_.frameGeometry().center());
        checkLinks_->move(placed.topLeft());
    }
    checkLinks_->SetAllowedExtensions(services_.program.Config().AllowedExtensions);
    if (!checkLinks_->isVisible())
        checkLinks_->SetFolder(services_.context.Folder());
    BringToFront(*checkLinks_);
}

void SiteTools::OpenPageAt(const QString &page, int line, int column, int length) {
    const QString file = QFileInfo(page).absoluteFilePath();
    if (!services_.views.JumpToFileAndFolder(file))
        return; // the user kept the text in hand, or the folder is gone
    // The jump only puts the caret on the page; selecting it loads it, and
    // the status line and the Extras menu follow it.
    services_.views.View(kFolderViewTab)->SelectFile(file);
    if (services_.document.File() != file)
        return; // the page could not be shown
    if (!services_.preview.ShowEditorAt(file, line, column, length))
        return;
    window_.raise();
    window_.activateWindow();
}

} // namespace velmora
