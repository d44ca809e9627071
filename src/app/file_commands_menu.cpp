// The context menu of the file views: its entries, which of them may be
// chosen, what each one does, and launching the external applications.
#include "app/file_commands.h"

#include "app/program.h"
#include "editor/editor_document.h"
#include "foundation/desktop_services.h"
#include "foundation/document_guard.h"
#include "foundation/prompts.h"
#include "foundation/view_selection.h"

#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// Shift+F10 asks for the context menu as the Menu key does; the X server
// turns only the Menu key into such a request by itself.
class ContextMenuKey final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        // Where the caret is, as for the Menu key.
        const QPoint at = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at),
                                  key->modifiers());
        QCoreApplication::sendEvent(widget, &request);
        return true;
    }
};

QString EntryName(int index) {
    return u"PopLBTreeItem"_s + QString::number(index);
}

} // namespace

void FileCommands::BuildPopupMenu() {
    popLBTree_ = new QMenu(&window_);
    popLBTree_->setObjectName(u"PopLBTree"_s);
    popLBTree_->setAccessibleName(u"Context menu"_s);
    const Settings &s = program_.Config();
    for (const ContextMenuEntry &entry : ContextMenuEntries()) {
        if (entry.command == MenuCommand::Separator) {
            popLBTree_->addSeparator()->setObjectName(EntryName(entry.index));
            continue;
        }
        const QString caption = entry.command == MenuCommand::LaunchApplication
                                    ? CaptionOfApp(s.ExtApps[size_t(entry.app - 1)], appCaptions_)
                                    : entry.caption;
        QAction *action = popLBTree_->addAction(MenuText(caption));
        action->setObjectName(EntryName(entry.index));
        const int index = entry.index;
        connect(action, &QAction::triggered, this, [this, index] { MyLBPopUpHandler(index); });
    }
    connect(popLBTree_, &QMenu::aboutToShow, this, &FileCommands::PopLBPoP);
}

// A scroll area reports the click in the coordinates of its viewport.
void FileCommands::AttachContextMenu(QWidget *widget) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    widget->installEventFilter(new ContextMenuKey(widget));
    connect(widget, &QWidget::customContextMenuRequested, this, [this, widget](const QPoint &at) {
        const auto *area = qobject_cast<QAbstractScrollArea *>(widget);
        PopUpContextMenu((area ? area->viewport() : widget)->mapToGlobal(at));
    });
}

// The menu's top edge at the point, centred on it from left to right.
void FileCommands::PopUpContextMenu(const QPoint &globalPos) {
    popLBTree_->popup(globalPos - QPoint(popLBTree_->sizeHint().width() / 2, 0));
}

ContextMenuState FileCommands::MenuState() const {
    ContextMenuState state;
    state.hasCurrentFile = !selection_.GetCurrentFile().isEmpty();
    const TSelectionInfo selection = selection_.GetSelectionInfo();
    state.selectedCount = selection.SelCount;
    state.activePage = selection.Page;
    state.viewerModal = viewerModal_;
    state.folderFileCount = folderFiles_ ? int(folderFiles_().size()) : 0;
    const Settings &s = program_.Config();
    for (size_t n = 0; n < state.appExists.size(); ++n)
        state.appExists[n] = s.ExtApps[n].Exists;
    return state;
}

void FileCommands::PopLBPoP() {
    const ContextMenuState state = MenuState();
    for (int index = 0; index < kContextMenuSize; ++index)
        PopUpEntry(index)->setEnabled(IsEntryEnabled(state, index));
}

QAction *FileCommands::PopUpEntry(int index) const {
    const QList<QAction *> entries = popLBTree_->actions();
    return index >= 0 && index < entries.size() ? entries[index] : nullptr;
}

void FileCommands::RecaptionApplications() {
    appCaptions_ = AppCaptionStyle::AfterOptions;
    const Settings &s = program_.Config();
    for (int n = 1; n <= kAppCount; ++n)
        PopUpEntry(FirstAppItem + n)
            ->setText(MenuText(CaptionOfApp(s.ExtApps[size_t(n - 1)], appCaptions_)));
}

// The rule is asked again at the click: an entry can be chosen without the
// menu opening first (assistive tools do so), and the selection may have
// changed since it opened.
void FileCommands::MyLBPopUpHandler(int index) {
    if (!IsEntryEnabled(MenuState(), index))
        return;
    const QString current = selection_.GetCurrentFile();
    const ContextMenuEntry &entry = ContextMenuEntries()[size_t(index)];
    switch (entry.command) {
    case MenuCommand::ViewInBrowser:
        // A file type without a default application is not reported.
        desktop_.OpenUrl(QUrl::fromLocalFile(current));
        break;
    case MenuCommand::MakeThumbnails:
        Add_Remove(ModeMake);
        break;
    case MenuCommand::ClearThumbnails:
        Add_Remove(ModeClear);
        break;
    case MenuCommand::CreateSnapshots:
        Snapcurrenrfile1Click();
        break;
    case MenuCommand::CopyFiles:
        CopySelectedFiles();
        break;
    case MenuCommand::JumpToFolder:
        if (QFileInfo(QFileInfo(current).absolutePath()).isDir())
            emit jumpRequested(current);
        else
            prompts_.ShowInfo(u"Folder \""_s + current + u"\" not found."_s);
        break;
    case MenuCommand::LaunchApplication:
        LaunchApplication(entry.app, current);
        break;
    case MenuCommand::UpdateChangedThumbnails:
        UpdateChangedThumbs();
        break;
    case MenuCommand::Separator:
        break;
    }
}

// The application gets the file as it is on disk: unsaved changes are saved
// or dropped first, as the user says. A start that fails is not reported.
void FileCommands::LaunchApplication(int app, const QString &file) {
    const SaveChangesReply reply = document_.SaveChangesPrompt();
    if (reply == SaveChangesReply::Cancel)
        return;
    if (reply == SaveChangesReply::No)
        emit previewReloadWanted();
    const TExtEditor &editor = program_.Config().ExtApps[size_t(app - 1)];
    desktop_.StartDetached(editor.Location, LaunchArguments(editor, file));
}

} // namespace velmora
