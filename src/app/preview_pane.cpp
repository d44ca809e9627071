#include "app/preview_pane.h"

#include "editor/editor_document.h"
#include "editor/window/form_view.h"
#include "editor/window/source_edit.h"
#include "foundation/file_utils.h"
#include "foundation/prompts.h"
#include "foundation/settings.h"
#include "foundation/view_selection.h"
#include "render/page_view.h"
#include "thumbs/thumb_size.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/thumbnail_store.h"
#include "widgets/wait_cursor.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kFolderViewPage = 0;

// Runs command whenever the button becomes checked, however that happens: a
// click, the space bar, or the Toggle action of an assistive tool (a screen
// reader, voice control, switch access), which changes the state without a
// click. A click on the button that is already down runs it again.
void RunWhenChecked(QAbstractButton *button, QObject *context, std::function<void()> command) {
    auto downBefore = std::make_shared<bool>(false);
    QObject::connect(button, &QAbstractButton::pressed, context,
                     [button, downBefore] { *downBefore = button->isChecked(); });
    QObject::connect(button, &QAbstractButton::toggled, context, [command](bool checked) {
        if (checked)
            command();
    });
    QObject::connect(button, &QAbstractButton::clicked, context, [button, downBefore, command] {
        if (std::exchange(*downBefore, false) && button->isChecked())
            command();
    });
}

// Runs a command when the watched widget is double-clicked.
class DoubleClickFilter final : public QObject {
public:
    DoubleClickFilter(QObject *parent, std::function<void()> command)
        : QObject(parent), command_(std::move(command)) {}
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonDblClick)
            command_();
        return false;
    }

private:
    std::function<void()> command_;
};

} // namespace

PreviewPane::PreviewPane(const PreviewPaneServices &services, QWidget *window)
    : document_(services.document), selection_(services.selection),
      thumbnails_(services.thumbnails), prompts_(services.prompts), dialogs_(services.dialogs),
      settings_(services.settings) {
    if (!services.render)
        return;
    formView_ =
        std::make_unique<TFormView>(document_, *services.render, prompts_, selection_, window);
    formView_->SetSearchTexts(settings_.LastSearch, settings_.LastReplace);
    formView_->SetProgressBar(services.progress);
    formView_->SetSettings(settings_);
    ConnectFormView(window);
}

PreviewPane::~PreviewPane() = default;

void PreviewPane::ConnectFormView(QWidget *window) {
    connect(formView_.get(), &TFormView::HintChanged, this, &PreviewPane::HintChanged);
    connect(formView_.get(), &TFormView::ButtonStateChanged, this, &PreviewPane::OnEditorButtons);
    connect(formView_.get(), &TFormView::Closing, this, &PreviewPane::FormViewClosing);
    connect(formView_.get(), &TFormView::ContextMenuWanted, this, &PreviewPane::ContextMenuWanted);
    connect(formView_.get(), &TFormView::SnapViewWanted, this, &PreviewPane::SnapViewWanted);
    // Esc stops a preview that is still loading.
    auto *stop = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    connect(stop, &QShortcut::activated, this, [this] {
        if (formView_->BrowserBusy())
            formView_->StopLoading();
    });
}

// The preview area: the host panel Panel1, into which the browser or the
// editor is docked, and below it the buttons that choose the view and save
// the editor's document.
QWidget *PreviewPane::BuildArea(QWidget *parent) {
    auto *area = new QWidget(parent);
    area->setObjectName(u"PanelActPreview"_s);
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildHost(area), 1);
    column->addWidget(BuildButtons(area));
    return area;
}

// Panel1 shows its caption while neither view is docked in it.
QWidget *PreviewPane::BuildHost(QWidget *parent) {
    panel1_ = new QWidget(parent);
    panel1_->setObjectName(u"Panel1"_s);
    panel1Layout_ = new QStackedLayout(panel1_);
    auto *caption = new QLabel(u"Editor and Bowser view disabled"_s, panel1_);
    caption->setAlignment(Qt::AlignCenter);
    panel1Layout_->addWidget(caption);
    return panel1_;
}

QWidget *PreviewPane::BuildButtons(QWidget *parent) {
    auto *strip = new QWidget(parent);
    strip->setObjectName(u"PanFolder"_s);
    auto *buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(2, 2, 2, 2);
    auto *views = new QButtonGroup(strip);
    views->setExclusive(true);
    // The view buttons act when they go down, the others when clicked.
    const auto addButton = [&](const QString &caption, const QString &name, const QString &hint,
                               std::function<void()> command, bool chooseView = false) {
        auto *button = new QPushButton(caption, strip);
        button->setObjectName(name);
        button->setToolTip(hint);
        std::function<void()> run = [this, caption, command] {
            if (formView_)
                command();
            else
                ShowNotYetAvailable(prompts_, caption);
        };
        if (chooseView) {
            button->setCheckable(true);
            views->addButton(button);
            RunWhenChecked(button, this, std::move(run));
        } else {
            connect(button, &QPushButton::clicked, this, std::move(run));
        }
        buttons->addWidget(button);
        return button;
    };
    sbBrowser_ = addButton(
        u"Browser"_s, u"SBBrowser"_s, u"Show Browser View"_s, [this] { SBBrowserClick(); }, true);
    sbEditor_ = addButton(
        u"Editor"_s, u"SBEditor"_s, u"Show Editor"_s, [this] { SBBrowserClick(); }, true);
    {
        // The browser is chosen from the start; the window docks it when shown.
        const QSignalBlocker quiet(sbBrowser_);
        sbBrowser_->setChecked(true);
    }
    buttons->addStretch();
    bSaveAs_ = addButton(u"Save As"_s, u"BSaveAs"_s, u"Save a copy of the current editor file"_s,
                         [this] { BSaveAsClick(); });
    bSave_ = addButton(u"Save"_s, u"BSave"_s, u"[CTRL-S]: Save current editor file"_s,
                       [this] { document_.Save(); });
    bSave_->setEnabled(false);
    if (formView_)
        bSaveAs_->setEnabled(false);
    return strip;
}

void PreviewPane::BuildThumbnailCorner(QWidget *parent, QVBoxLayout &column) {
    auto *caption = new QLabel(u"--- Thumbnail Corner ---"_s, parent);
    caption->setObjectName(u"PanelActThumb"_s);
    caption->setAlignment(Qt::AlignCenter);
    column.addWidget(caption);
    imgMini_ = new QLabel(parent);
    imgMini_->setObjectName(u"ImgMini"_s);
    imgMini_->setAccessibleName(u"Thumbnail corner"_s);
    imgMini_->setFixedSize(ThumbWidth, ThumbHeight);
    imgMini_->setAlignment(Qt::AlignCenter);
    imgMini_->setCursor(Qt::PointingHandCursor);
    imgMini_->installEventFilter(
        new DoubleClickFilter(imgMini_, [this] { emit ThumbnailsWanted(); }));
    column.addWidget(imgMini_, 0, Qt::AlignHCenter);
}

void PreviewPane::LoadSyntax(const ProgramFolders &folders) {
    syntax_.LoadTagSyntax(folders);
    if (formView_)
        formView_->SetTagSyntax(syntax_.TagSyntaxList());
    LoadStyle(folders);
}

void PreviewPane::LoadStyle(const ProgramFolders &folders) {
    syntax_.LoadThumbStyle(folders, settings_);
    if (formView_)
        formView_->SetFormatStyle(syntax_.Style());
}

void PreviewPane::DockView(DockedView what, DockPlace where) {
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

// The editor's file counts only on the Folder View, where the editor shows
// the current file.
void PreviewPane::AppActivate() {
    if (!started_ || selection_.GetSelectionInfo().Page != PageFolderView)
        return;
    const QString current = selection_.GetCurrentFile();
    if (current.isEmpty() || current != document_.File() || document_.FileTime() == 0)
        return;
    const qint64 stamp = FileStamp(current);
    if (stamp == 0 || stamp == document_.FileTime())
        return;
    // Remember the new stamp first, so one outside change asks only once.
    document_.SetFileTime(stamp);
    const bool reload = prompts_.AskYesNo(u"File: "_s + current + kMessageBreak +
                                          u" has been changed by another application."_s +
                                          kMessageBreak + kMessageBreak + u"Reload from disk?"_s);
    if (reload)
        document_.ReloadFromDisk();
}

void PreviewPane::SBBrowserClick() {
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

void PreviewPane::OnEditorButtons(bool inHand, bool modified) {
    if (!bSave_)
        return; // the area is not built yet
    bSave_->setEnabled(inHand && modified);
    bSaveAs_->setEnabled(inHand);
}

// The editor keeps its own file; the window shows the copy when it went
// into the folder on show.
void PreviewPane::BSaveAsClick() {
    const QString copy = document_.SaveAs(dialogs_);
    if (!copy.isEmpty())
        emit CopySaved(copy);
}

bool PreviewPane::FolderViewActive() const {
    return selection_.GetSelectionInfo().Page == kFolderViewPage;
}

// Closing the modal window from the Thumbnail View or the File Lists, whose
// selection does not follow the editor, is the last chance to save.
void PreviewPane::FormViewClosing() {
    if (!FolderViewActive())
        document_.SaveChangesPrompt();
}

void PreviewPane::ShowCurrentFile(bool force) {
    if (!started_)
        return;
    const QString current = selection_.GetCurrentFile();
    if (current.isEmpty()) {
        ClearPreview();
        return;
    }
    if (current == document_.File() && !force)
        return;
    ShowMiniThumb(current);
    document_.Load(current);
}

void PreviewPane::ClearPreview() {
    ClearThumbnailCorner();
    document_.Clear();
}

void PreviewPane::ShowMiniThumb(const QString &path) {
    // An empty path would name a thumbnail of the working folder.
    const QString thumb = path.isEmpty() ? QString() : thumbnails_.ThumbPathOf(path);
    Picture picture;
    if (!thumb.isEmpty() && QFileInfo(thumb).isFile() &&
        ThumbnailCache::DecodeThumbnailFile(thumb, &picture))
        imgMini_->setPixmap(QPixmap::fromImage(picture));
    else
        imgMini_->clear();
    imgMini_->repaint();
}

void PreviewPane::ClearThumbnailCorner() {
    imgMini_->clear();
}

// The preview's own load of the current file is let finish first, so the
// window opens on the page; while the browser is busy with anything else (a
// link the user followed) the window stays shut.
void PreviewPane::DblClickForAll() {
    if (selection_.GetCurrentFile().isEmpty())
        return;
    if (!FolderViewActive()) {
        ShowCurrentFile(false);
        SetButtonState();
    }
    if (!formView_) {
        ShowNotYetAvailable(prompts_, u"Editor/Browser window"_s);
        return;
    }
    if (formView_->BrowserBusy()) {
        const WaitCursor busy;
        if (!formView_->FinishLoadingOf(selection_.GetCurrentFile()))
            return;
    }
    emit ViewerModalChanged(true);
    formView_->ShowModal();
    emit ViewerModalChanged(false);
    SBBrowserClick();
}

bool PreviewPane::ShowEditorAt(const QString &file, int line, int column, int length) {
    if (formView_ && sbEditor_) {
        if (sbEditor_->isChecked())
            SBBrowserClick(); // docks it again, in case it was elsewhere
        else
            sbEditor_->setChecked(true);
    }
    if (!document_.OpenAt(file, std::max(line, 1), std::max(column, 1), length))
        return false;
    if (formView_ && formView_->REScreen()->isEnabled()) {
        formView_->REScreen()->ensureCursorVisible();
        formView_->REScreen()->setFocus();
    }
    return true;
}

PageView *PreviewPane::Browser() const {
    return formView_ ? formView_->FrameViewer1() : nullptr;
}

void PreviewPane::SetButtonState() {
    if (formView_)
        formView_->SetButtonState();
}

void PreviewPane::SetShowHints(bool show) {
    if (formView_)
        formView_->SetShowHints(show);
}

bool PreviewPane::IsInViewerWindow(const QWidget *widget) const {
    return formView_ && widget->window() == formView_.get();
}

void PreviewPane::UndockAll() {
    if (formView_)
        formView_->UndockAll();
}

} // namespace velmora
