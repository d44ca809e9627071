#include "editor/window/form_view.h"

#include "editor/link_rules.h"
#include "editor/search_replace.h"
#include "editor/syntax_palette.h"
#include "editor/tag_hints.h"
#include "editor/window/format_command.h"
#include "editor/window/go_to_line_dialog.h"
#include "editor/window/replace_dialog.h"
#include "editor/window/source_edit.h"
#include "editor/window/source_edit_text.h"
#include "foundation/prompts.h"
#include "foundation/view_selection.h"
#include "render/page_view.h"
#include "widgets/wait_cursor.h"
#include "widgets/window_guards.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QVBoxLayout>

#include <new>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// How long Format goes at least between two rounds of the event loop.
constexpr qint64 kFormatPumpIntervalMs = 15;

ViewOptions BrowserOptions() {
    ViewOptions options;
    options.historyLength = 10;
    return options;
}

QVBoxLayout *ColumnOf(QWidget *widget) {
    auto *column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

} // namespace

// The editor control as the document sees it. The control may be taken down
// by the main window before this window goes; the document then loses
// nothing but the showing.
class TFormView::EditorSeam final : public EditorTextView {
public:
    explicit EditorSeam(TFormView &window) : window_(window) {}

    void ShowText(const EditorText &text) override {
        if (!Edit())
            return;
        // The switch may have changed in the options since the last file.
        Edit()->SetColouring(window_.settings_->DoColorTags);
        Edit()->SetLineNumbers(window_.settings_->DoShowLineNumbers);
        Edit()->ShowText(text);
    }
    void ShowNotice(const QString &notice) override {
        if (Edit())
            Edit()->ShowNotice(notice);
    }
    void ClearText() override {
        if (Edit())
            Edit()->ClearText();
    }
    QString EditedText() const override { return Edit() ? Edit()->EditedText() : QString(); }
    bool IsModified() const override { return Edit() && Edit()->IsModified(); }
    void SetModified(bool modified) override {
        if (Edit())
            Edit()->SetModified(modified);
    }
    bool HoldsFileText() const override { return Edit() && Edit()->isEnabled(); }
    void Select(qsizetype position, qsizetype length) override {
        if (!Edit())
            return;
        QTextCursor cursor = Edit()->textCursor();
        cursor.setPosition(int(position));
        cursor.setPosition(int(position + length), QTextCursor::KeepAnchor);
        Edit()->setTextCursor(cursor);
        Edit()->ensureCursorVisible();
    }

private:
    SourceEdit *Edit() const { return window_.reScreen_.data(); }
    TFormView &window_;
};

TFormView::TFormView(EditorDocument &document, RenderProfile &profile, Prompts &prompts,
                     const ViewSelection &selection, QWidget *parent)
    : QDialog(parent), document_(document), prompts_(prompts), selection_(selection) {
    setObjectName(u"FormView"_s);
    setSizeGripEnabled(true);
    frameViewer1_ = new PageView(profile, BrowserOptions());
    frameViewer1_->setObjectName(u"FrameViewer1"_s);
    frameViewer1_->setAccessibleName(u"Browser"_s);
    reScreen_ = new SourceEdit;
    hints_.emplace_back(reScreen_.data(), QString::fromUtf16(kSourceEditHint));

    pageControl1_ = new QTabWidget(this);
    pageControl1_->setObjectName(u"PageControl1"_s);
    pageControl1_->setAccessibleName(u"Page views"_s);
    pageControl1_->addTab(BuildBrowserTab(), u"  Internal Browser  "_s);
    pageControl1_->addTab(BuildEditorTab(), u"  Internal Editor  "_s);
    ColumnOf(this)->addWidget(pageControl1_);
    UndockAll();

    connect(frameViewer1_, &PageView::HistoryChanged, this, &TFormView::OnHistoryChanged);
    connect(frameViewer1_, &PageView::LinkHovered, this, &TFormView::OnLinkHovered);
    connect(frameViewer1_, &PageView::LinkClicked, this,
            [this](const LinkInfo &link, bool *cancel) {
                emit HintChanged(link.url);
                const QString shown =
                    link.framePath.isEmpty() ? frameViewer1_->CurrentFile() : link.framePath;
                const LinkDecision decision = DecideLinkClick(shown, link.url);
                if (decision.kind == LinkDecision::LeaveToView)
                    return;
                emit HintChanged(decision.localName);
                if (decision.kind == LinkDecision::Refuse) {
                    *cancel = true;
                    prompts_.Beep();
                }
            });
    connect(frameViewer1_, &PageView::KeyPressed, this, &TFormView::OnBrowserKey);
    connect(frameViewer1_, &PageView::ContextMenuRequested, this, &TFormView::ContextMenuWanted);
    reScreen_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(reScreen_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { emit ContextMenuWanted(reScreen_->mapToGlobal(pos)); });
    reScreen_->installEventFilter(this);
    connect(reScreen_, &QPlainTextEdit::cursorPositionChanged, this, &TFormView::ShowTagHint);
    SetSettings(ownSettings_);
    seam_ = std::make_unique<EditorSeam>(*this);
    document_.SetView(seam_.get());
    connect(reScreen_, &SourceEdit::ModifiedChanged, &document_,
            &EditorDocument::TextModifiedChanged);
    connect(&document_, &EditorDocument::ModifiedChanged, this, [this](bool modified) {
        if (modified)
            SetREToModified();
        else
            SetREToNotModified();
    });
    // The browser follows the editor's file; caption and buttons its state.
    connect(&document_, &EditorDocument::Loaded, this, [this](const QString &path) {
        SetREToNotModified();
        ShowInBrowser(path);
    });
    connect(&document_, &EditorDocument::Saved, this, [this](const QString &path) {
        ShowInBrowser(path);
        SetREToNotModified();
    });
    connect(&document_, &EditorDocument::Cleared, this, [this] {
        ShowInBrowser(QString());
        SetREToNotModified();
    });
    OnHistoryChanged();
    SetShowHints(true);
    SetButtonState();
}

TFormView::~TFormView() {
    document_.SetView(nullptr);
    document_.SetSaveOffered(true);
    replaceDialog1_.reset();
    // The views are children of this window or of the main window's preview
    // area; take down those still here.
    delete frameViewer1_.data();
    delete reScreen_.data();
}

QWidget *TFormView::BuildBrowserTab() {
    tabBrowser_ = new QWidget;
    tabBrowser_->setObjectName(u"TabBrowser"_s);
    QVBoxLayout *column = ColumnOf(tabBrowser_);
    auto *status3 = new QWidget(tabBrowser_);
    status3->setObjectName(u"Status3"_s);
    auto *row = new QHBoxLayout(status3);
    row->setContentsMargins(4, 2, 2, 2);
    labelUrl_ = new QLabel(u"URL"_s, status3);
    labelUrl_->setObjectName(u"LabelURL"_s);
    labelUrl_->setAccessibleDescription(u"Link under the pointer"_s);
    row->addWidget(labelUrl_, 1);
    auto *panelBrowser = new QWidget(status3);
    panelBrowser->setObjectName(u"PanelBrowser"_s);
    auto *buttons = new QHBoxLayout(panelBrowser);
    buttons->setContentsMargins(0, 0, 0, 0);
    bNaviBack_ = AddButton(panelBrowser, u"<<"_s, u"BNaviBack"_s, u"Back in History"_s);
    bNaviBack_->setAccessibleName(u"Back"_s);
    bNaviForward_ = AddButton(panelBrowser, u">>"_s, u"BNaviForward"_s, u"Forward in History"_s);
    bNaviForward_->setAccessibleName(u"Forward"_s);
    bSnap_ = AddButton(panelBrowser, u"Snap View"_s, u"BSnap"_s,
                       u"Create snapshot of the currently displayed content"_s);
    bReload_ = AddButton(panelBrowser, u"Reload"_s, u"BReload"_s, u"Reload initial file"_s);
    row->addWidget(panelBrowser);
    column->addWidget(status3);

    connect(bNaviBack_, &QPushButton::clicked, this, [this] { frameViewer1_->GoBack(); });
    connect(bNaviForward_, &QPushButton::clicked, this, [this] { frameViewer1_->GoForward(); });
    connect(bSnap_, &QPushButton::clicked, this, &TFormView::SnapViewWanted);
    connect(bReload_, &QPushButton::clicked, this, &TFormView::BReloadClick);
    return tabBrowser_;
}

QWidget *TFormView::BuildEditorTab() {
    tabSource_ = new QWidget;
    tabSource_->setObjectName(u"TabSource"_s);
    QVBoxLayout *column = ColumnOf(tabSource_);
    panelEdit_ = new QWidget(tabSource_);
    panelEdit_->setObjectName(u"PanelEdit"_s);
    // The hint box sits 6 pixels right of its caption and ends 12 pixels
    // before the panel's edge, whatever the window's width.
    auto *row = new QHBoxLayout(panelEdit_);
    row->setContentsMargins(0, 2, 12, 2);
    row->setSpacing(6);
    labelSyntax_ = new QLabel(u"  Tag Syntax:"_s, panelEdit_);
    labelSyntax_->setObjectName(u"LabelSyntax"_s);
    row->addWidget(labelSyntax_);
    edit1_ = new QLineEdit(panelEdit_);
    edit1_->setObjectName(u"Edit1"_s);
    edit1_->setReadOnly(true);
    labelSyntax_->setBuddy(edit1_);
    row->addWidget(edit1_, 1);
    auto *panelEditor = new QWidget(panelEdit_);
    panelEditor->setObjectName(u"PanelEditor"_s);
    auto *buttons = new QHBoxLayout(panelEditor);
    buttons->setContentsMargins(0, 0, 0, 0);
    bSave_ = AddButton(panelEditor, u"Save"_s, u"BSave"_s, u"[CTRL-S] = Save current file"_s);
    bFormat_ = AddButton(panelEditor, u"Format"_s, u"BFormat"_s, u"Format HTML source code"_s);
    connect(bSave_, &QPushButton::clicked, this, &TFormView::BSaveClick);
    connect(bFormat_, &QPushButton::clicked, this, &TFormView::BFormatClick);
    static const QString paletteHints[kPaletteCount] = {
        u"[CTRL-1] = Repaint Syntax Highlight"_s, u"[CTRL-2] Emphasize Tags"_s,
        u"[CTRL-3] = Emphasize quoted strings"_s, u"[CTRL-4] = Emphasize floating text"_s};
    for (int n = 1; n <= kPaletteCount; ++n) {
        const QString caption = QString::number(n);
        QPushButton *repaint =
            AddButton(panelEditor, caption, u"BRepaint"_s + caption, paletteHints[n - 1]);
        repaint->setAccessibleName(u"Colour scheme "_s + caption);
        repaint->setFixedWidth(24);
        connect(repaint, &QPushButton::clicked, this, [this, n] { BRepaintClick(n); });
        bRepaint_.push_back(repaint);
    }
    row->addWidget(panelEditor);
    column->addWidget(panelEdit_);
    return tabSource_;
}

QPushButton *TFormView::AddButton(QWidget *strip, const QString &caption, const QString &name,
                                  const QString &hint) {
    auto *button = new QPushButton(caption, strip);
    button->setObjectName(name);
    hints_.emplace_back(button, hint);
    button->setFocusPolicy(Qt::TabFocus);
    strip->layout()->addWidget(button);
    return button;
}

// ---- the document's state ------------------------------------------------------
//
// The browser loads without waiting, so the window never runs a nested event
// loop for the preview: the user may go on while a page comes, and Esc stops
// it.

void TFormView::ShowInBrowser(const QString &file) {
    frameViewer1_->ClearHistory();
    frameViewer1_->StartLoadingFile(file);
}

void TFormView::BSaveClick() {
    document_.Save();
}

void TFormView::SetREToModified() {
    setWindowTitle(document_.File() + u" --- UNSAVED ---"_s);
    reScreen_->SetModified(true);
    SetButtonState();
}

void TFormView::SetREToNotModified() {
    setWindowTitle(document_.File());
    reScreen_->SetModified(false);
    SetButtonState();
}

bool TFormView::FileInHand() const {
    return reScreen_->isEnabled() && !selection_.GetCurrentFile().isEmpty();
}

// As the Save buttons show it. A click on another file moves the caret
// before it selects the file, so for a moment no file is in hand; the
// question about unsaved text asked then must still see them enabled.
bool TFormView::SaveEnabled() const {
    return saveEnabled_;
}

void TFormView::SetButtonState() {
    const bool inHand = FileInHand();
    const bool modified = reScreen_->IsModified();
    saveEnabled_ = modified && inHand;
    document_.SetSaveOffered(saveEnabled_);
    bSave_->setEnabled(saveEnabled_);
    bFormat_->setEnabled(inHand && !reScreen_->isReadOnly() && !formatting_);
    emit ButtonStateChanged(inHand, modified);
}

// ---- docking and the modal window --------------------------------------------

void TFormView::UndockAll() {
    tabSource_->layout()->addWidget(reScreen_);
    static_cast<QVBoxLayout *>(tabSource_->layout())->setStretchFactor(reScreen_, 1);
    tabBrowser_->layout()->addWidget(frameViewer1_);
    static_cast<QVBoxLayout *>(tabBrowser_->layout())->setStretchFactor(frameViewer1_, 1);
    reScreen_->show();
    frameViewer1_->show();
}

void TFormView::ShowModal() {
    exec();
}

void TFormView::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

// Placed over the main window, a little inside its edges.
void TFormView::FormShow() {
    if (windowState() == Qt::WindowNoState && parentWidget()) {
        const QRect main = parentWidget()->window()->geometry();
        setGeometry(main.left() + 14, main.top() + 25, main.width() - 28, main.height() - 30);
    }
    labelUrl_->clear();
    UndockAll();
    setWindowTitle(document_.File() +
                   (reScreen_->IsModified() ? u" --- UNSAVED ---"_s : QString()));
    SetButtonState();
}

void TFormView::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFormView::eventFilter(QObject *watched, QEvent *event) {
    if (watched == reScreen_ && event->type() == QEvent::KeyPress &&
        REScreenKeyDown(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

// The window's keys in the editor: Ctrl+1..Ctrl+4 click the palette buttons
// that are enabled, Ctrl+F and Ctrl+R open find and replace, Ctrl+G asks for
// a line to go to, Ctrl+M moves to the matching tag, Shift+F1 inserts the
// tag hint, Ctrl+S saves while Save may. Everything else
// (typing, Backspace, Delete, paste, cut, undo, Esc) is the editor's own or
// goes on to the window.
bool TFormView::REScreenKeyDown(const QKeyEvent *key) {
    // The switch may have changed in the options since the last key.
    reScreen_->SetColouring(settings_->DoColorTags);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier) {
        if (key->key() >= Qt::Key_1 && key->key() <= Qt::Key_4) {
            QPushButton *button = bRepaint_[size_t(key->key() - Qt::Key_1)];
            if (button->isEnabled())
                button->click();
            return true;
        }
        if (key->key() == Qt::Key_F || key->key() == Qt::Key_R) {
            StartSearchReplace();
            return true;
        }
        if (key->key() == Qt::Key_S) {
            if (bSave_->isEnabled())
                BSaveClick();
            return true;
        }
        if (key->key() == Qt::Key_G) {
            StartGoToLine();
            return true;
        }
        if (key->key() == Qt::Key_M) {
            if (!reScreen_->JumpToMatchingTag())
                prompts_.Beep();
            return true;
        }
    }
    if (mods == Qt::ShiftModifier && key->key() == Qt::Key_F1) {
        CopyFromEditToRichEdit();
        return true;
    }
    return false;
}

void TFormView::done(int result) {
    // Closing while Format runs would leave its result to a hidden window.
    if (formatting_)
        return;
    emit Closing();
    QDialog::done(result);
}

bool TFormView::BrowserBusy() const {
    return frameViewer1_->IsBusy();
}

bool TFormView::FinishLoadingOf(const QString &file) {
    return frameViewer1_->FinishLoading(file);
}

void TFormView::StopLoading() {
    frameViewer1_->StopLoading();
}

void TFormView::SetShowHints(bool show) {
    for (const auto &[control, hint] : hints_)
        if (control)
            control->setToolTip(show ? hint : QString());
}

// ---- the browser's events ------------------------------------------------------

void TFormView::BReloadClick() {
    if (!document_.File().isEmpty())
        ShowInBrowser(document_.File());
}

void TFormView::OnHistoryChanged() {
    bNaviBack_->setEnabled(frameViewer1_->CanGoBack());
    bNaviForward_->setEnabled(frameViewer1_->CanGoForward());
}

void TFormView::OnLinkHovered(const QString &url, const QString &target) {
    QString text;
    if (!url.isEmpty() || !target.isEmpty()) {
        text = u"URL: "_s + url;
        if (!target.isEmpty())
            text += u"    (Target: "_s + target + u")"_s;
    }
    labelUrl_->setText(text);
    emit HintChanged(text);
}

// Ctrl+A and Ctrl+C, with Ctrl alone, select and copy the page's text; Esc
// stops a load under way, or else closes the modal window.
void TFormView::OnBrowserKey(QKeyEvent *event, bool *handled) {
    if (event->key() == Qt::Key_Escape) {
        if (BrowserBusy())
            StopLoading();
        else if (isVisible())
            reject();
        *handled = true;
        return;
    }
    if (event->modifiers() != Qt::ControlModifier)
        return;
    if (event->key() == Qt::Key_A) {
        frameViewer1_->SelectAll();
        *handled = true;
    } else if (event->key() == Qt::Key_C) {
        frameViewer1_->CopySelection();
        *handled = true;
    }
}

void TFormView::NotYetAvailable(const QString &caption) {
    ShowNotYetAvailable(prompts_, caption);
}

// ---- colours and tag hints ------------------------------------------------

void TFormView::SetSettings(Settings &settings) {
    settings_ = &settings;
    if (!reScreen_) // taken down by the main window
        return;
    reScreen_->SetLineNumbers(settings.DoShowLineNumbers);
    reScreen_->SetColouring(settings.DoColorTags);
    reScreen_->SetColours(SyntaxColours::FromSettings(settings));
}

void TFormView::SetTagSyntax(const QStringList &tagSyntax) {
    tagSyntaxList_ = tagSyntax;
}

// With colouring off the colours still change, but the editor shows no
// change until colouring is on again.
void TFormView::BRepaintClick(int mode) {
    SetSyntaxPalette(*settings_, mode);
    reScreen_->SetColouring(settings_->DoColorTags);
    if (!settings_->DoColorTags)
        return;
    reScreen_->SetColours(SyntaxColours::FromSettings(*settings_));
    reScreen_->RepaintSyntax();
    if (reScreen_->isVisible() && reScreen_->isEnabled())
        reScreen_->setFocus();
}

void TFormView::ShowTagHint() {
    if (tagSyntaxList_.isEmpty())
        return;
    const std::optional<QString> hint =
        TagHintAt(tagSyntaxList_, reScreen_->RawText(), reScreen_->textCursor().position());
    if (hint)
        edit1_->setText(*hint);
}

void TFormView::CopyFromEditToRichEdit() {
    if (edit1_->text().isEmpty() || pageControl1_->currentWidget() != tabSource_ ||
        !edit1_->text().startsWith(u'<') || reScreen_->isReadOnly() || !reScreen_->isEnabled())
        return;
    if (!edit1_->hasSelectedText())
        edit1_->selectAll();
    const QString text = edit1_->selectedText();
    // The hint counts against the editor's size limit like typed text.
    if (reScreen_->Room() < text.size()) {
        prompts_.Beep();
        return;
    }
    const qsizetype start = reScreen_->PaintSyntax(text, false);
    if (start < 0)
        return;
    QTextCursor cursor = reScreen_->textCursor();
    cursor.setPosition(int(start));
    cursor.setPosition(int(start + text.size()), QTextCursor::KeepAnchor);
    reScreen_->setTextCursor(cursor);
    reScreen_->setFocus();
    SetREToModified();
}

// ---- search and replace ------------------------------------------------------

void TFormView::SetSearchTexts(QString &lastSearch, QString &lastReplace) {
    lastSearch_ = &lastSearch;
    lastReplace_ = &lastReplace;
}

void TFormView::StartSearchReplace() {
    // The dialog stays over whichever window shows the editor now: this one,
    // or the main window while the editor is docked there.
    QWidget *owner = reScreen_->window();
    if (!replaceDialog1_) {
        replaceDialog1_ = std::make_unique<ReplaceDialog1>(owner);
        connect(replaceDialog1_.get(), &ReplaceDialog1::FindNextRequested, this,
                &TFormView::ReplaceDialog1Find);
        connect(replaceDialog1_.get(), &ReplaceDialog1::ReplaceRequested, this,
                &TFormView::ReplaceDialog1Replace);
    } else if (replaceDialog1_->parentWidget() != owner) {
        replaceDialog1_->setParent(owner, replaceDialog1_->windowFlags());
    }
    replaceDialog1_->SetFindText(*lastSearch_);
    replaceDialog1_->SetReplaceText(*lastReplace_);
    replaceDialog1_->show();
    replaceDialog1_->raise();
    replaceDialog1_->activateWindow();
}

// Nothing to go to while the editor holds no file.
void TFormView::StartGoToLine() {
    if (!reScreen_->isEnabled()) {
        prompts_.Beep();
        return;
    }
    GoToLineDialog dialog(reScreen_->blockCount(), reScreen_->textCursor().blockNumber() + 1,
                          reScreen_->window());
    if (dialog.exec() == QDialog::Accepted && reScreen_)
        reScreen_->GoToLine(dialog.Line());
}

void TFormView::ReplaceDialog1Find() {
    SourceEditText editor(*reScreen_);
    FindOrReplace(editor, replaceDialog1_->FindText(), replaceDialog1_->ReplaceText(), false, false,
                  replaceDialog1_->Options(), prompts_);
    KeepSearchTexts();
}

// A text shown read-only (one that could not be written back exactly) or a
// notice in place of a file is never changed.
void TFormView::ReplaceDialog1Replace(bool all) {
    if (reScreen_->isReadOnly() || !reScreen_->isEnabled()) {
        prompts_.Beep();
        return;
    }
    SourceEditText editor(*reScreen_);
    FindOrReplace(editor, replaceDialog1_->FindText(), replaceDialog1_->ReplaceText(), true, all,
                  replaceDialog1_->Options(), prompts_);
    KeepSearchTexts();
}

void TFormView::KeepSearchTexts() {
    *lastSearch_ = replaceDialog1_->FindText();
    *lastReplace_ = replaceDialog1_->ReplaceText();
}

// ---- Format ------------------------------------------------------------------

void TFormView::BFormatClick() {
    if (formatting_ || selection_.GetCurrentFile().isEmpty())
        return;
    // Text shown read-only could not be written back as it was read, and a
    // notice in place of a file is no page.
    if (!reScreen_->isEnabled() || reScreen_->isReadOnly()) {
        prompts_.Beep();
        return;
    }
    const quint64 document = document_.Generation();
    QString formatted;
    try {
        formatted = FormatWhileBusy(reScreen_->EditedText());
    } catch (const std::bad_alloc &) {
        prompts_.ShowInfo(u"Not enough memory to format this page."_s);
        return;
    }
    // Another file loaded meanwhile keeps its own text.
    if (!reScreen_ || document != document_.Generation())
        return;
    const bool updates = reScreen_->updatesEnabled();
    reScreen_->setUpdatesEnabled(false);
    // Coloured when colouring is on; an empty result (a blank page) empties
    // the editor, which PaintSyntax, inserting nothing for nothing, would not.
    if (formatted.isEmpty())
        reScreen_->ReplaceAllAsOneStep(formatted);
    else
        reScreen_->PaintSyntax(formatted, true);
    reScreen_->setUpdatesEnabled(updates);
    SetREToModified();
    if (reScreen_->isVisible())
        reScreen_->setFocus();
}

// Formats text with the editor and its window disabled and the wait cursor
// shown, letting pending events through at every step so that the window
// (and the progress bar) keep repainting. Everything is given back on every
// way out.
QString TFormView::FormatWhileBusy(const QString &text) {
    formatting_ = true;
    document_.SetBusy(true);
    const auto finished = qScopeGuard([this] {
        formatting_ = false;
        document_.SetBusy(false);
        if (reScreen_)
            SetButtonState();
    });
    const WaitCursor busy;
    const DisabledWhile window(reScreen_->window());
    const DisabledWhile editor(reScreen_);
    SetButtonState();
    // Pending events go through at the progress steps, but at most once a
    // frame: a round of the event loop costs about as much as formatting a
    // thousand characters, and the window cannot repaint faster anyway.
    QElapsedTimer sincePump;
    sincePump.start();
    return FormatEditorText(text, formatStyle_, progressBar_, [&sincePump] {
        if (sincePump.elapsed() < kFormatPumpIntervalMs)
            return;
        QCoreApplication::processEvents();
        sincePump.restart();
    });
}

} // namespace velmora
