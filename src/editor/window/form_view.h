#pragma once
// The window of the two page views: the internal browser on the tab
// "  Internal Browser  " and the internal editor on "  Internal Editor  ".
// Both views normally live docked in the main window's preview area; a double
// click on a file shows this window modally with both views on its tabs.
//
// The editor's document (EditorDocument: the file, loading, saving, the
// question before unsaved text is given up) is given to the window, which
// shows its text in the editor control and follows its loads and saves in
// the browser, the caption and the Save buttons.

#include "editor/editor_document.h"
#include "editor/window/source_edit.h"
#include "formatter/formatter_style.h"
#include "foundation/settings.h"
#include "render/page_view.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace velmora {

class ProgressBar;
class Prompts;
class RenderProfile;
class ReplaceDialog1;
class ViewSelection;

class TFormView final : public QDialog {
    Q_OBJECT
public:
    // The window shows document's text in its editor from now until it goes
    // (the document outlives it). selection tells whether a file is in hand
    // (the active view's current file); parent is the main window, which the
    // modal window is placed on.
    TFormView(EditorDocument &document, RenderProfile &profile, Prompts &prompts,
              const ViewSelection &selection, QWidget *parent);
    ~TFormView() override;

    PageView *FrameViewer1() const { return frameViewer1_; }
    SourceEdit *REScreen() const { return reScreen_; }
    EditorDocument &Document() const { return document_; }

    // Save of either window: beeps when no file is in the editor.
    void BSaveClick();

    void SetREToModified();
    void SetREToNotModified();
    void SetButtonState();
    bool FileInHand() const;
    bool SaveEnabled() const;

    // Both views back onto their own tabs.
    void UndockAll();
    // Shows the window modally over the main window; returns when it closes.
    void ShowModal();
    bool BrowserBusy() const;
    // Lets the browser's load of file, when the preview started it, come to
    // its end (the page shown, or stopped at the time limit). False while
    // the browser stays busy, as with a link the user followed.
    bool FinishLoadingOf(const QString &file);
    // Ends a page load that is under way (Esc while the preview loads).
    void StopLoading();
    void SetShowHints(bool show);

    // Where the texts of the last search and replacement are kept (the
    // settings, which outlive this window); until then the window keeps its
    // own.
    void SetSearchTexts(QString &lastSearch, QString &lastReplace);
    // Ctrl+F and Ctrl+R: shows the find-and-replace dialog with the last texts.
    void StartSearchReplace();
    ReplaceDialog1 *SearchDialog() const { return replaceDialog1_.get(); }
    // Ctrl+G: asks for a line number (1 to the line count) and puts the
    // caret at the start of that line; beeps while no file is shown.
    void StartGoToLine();

    // The style Format lays pages out with (the main window's, loaded at
    // start); until given, the built-in defaults.
    void SetFormatStyle(const FormatterStyle &style) { formatStyle_ = style; }
    // The bar Format shows its progress on; none until given.
    void SetProgressBar(ProgressBar *bar) { progressBar_ = bar; }
    // Format: the whole text formatted, in place of the old one as one step
    // of Undo, and the document modified. Text shown read-only is refused
    // with a beep. While it runs the editor and its window are disabled,
    // pending events are processed, and a second Format, closing the window
    // or giving up the document are refused; a document loaded meanwhile
    // keeps its text.
    void BFormatClick();
    bool Formatting() const { return formatting_; }
    // Where DoColorTags, the four colours and DoShowLineNumbers are kept
    // (the settings, which outlive this window); until then the window keeps
    // its own defaults. The editor takes the switches and the colours at
    // once; called again after the options changed.
    void SetSettings(Settings &settings);
    // The lines of tagsyntax.txt, read once at start.
    void SetTagSyntax(const QStringList &tagSyntax);
    // A palette button (1 to 4): the four colours become that palette's, and
    // with colouring on the editor is repainted in them.
    void BRepaintClick(int mode);
    // Edit1 shows the hint of the tag around the caret.
    void ShowTagHint();
    // Shift+F1: the hint (or its selected part) goes into the text in place
    // of the selection, and stays selected.
    void CopyFromEditToRichEdit();
    QLineEdit *Edit1() const { return edit1_; }

signals:
    // The text for the main window's hint line (links under the pointer and
    // clicked).
    void HintChanged(const QString &text);
    // "file in hand" and "modified" changed: the main window's Save and
    // Save As buttons follow.
    void ButtonStateChanged(bool inHand, bool modified);
    // The context menu is wanted at this screen position.
    void ContextMenuWanted(const QPoint &globalPos);
    // The modal window is closing.
    void Closing();
    // "Snap View": a snapshot of what the internal browser shows is wanted.
    void SnapViewWanted();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class EditorSeam;

    QWidget *BuildBrowserTab();
    QWidget *BuildEditorTab();
    QPushButton *AddButton(QWidget *strip, const QString &caption, const QString &name,
                           const QString &hint);
    void FormShow();
    void ShowInBrowser(const QString &file);
    void BReloadClick();
    void OnHistoryChanged();
    void OnLinkHovered(const QString &url, const QString &target);
    void OnBrowserKey(QKeyEvent *event, bool *handled);
    void NotYetAvailable(const QString &caption);
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace(bool all);
    void KeepSearchTexts();
    QString FormatWhileBusy(const QString &text);

    EditorDocument &document_;
    Prompts &prompts_;
    const ViewSelection &selection_;
    std::unique_ptr<EditorSeam> seam_;
    std::vector<std::pair<QPointer<QWidget>, QString>> hints_;

    QTabWidget *pageControl1_ = nullptr;
    QWidget *tabBrowser_ = nullptr;
    QWidget *tabSource_ = nullptr;
    QLabel *labelUrl_ = nullptr;
    QPushButton *bNaviBack_ = nullptr;
    QPushButton *bNaviForward_ = nullptr;
    QPushButton *bSnap_ = nullptr;
    QPushButton *bReload_ = nullptr;
    QWidget *panelEdit_ = nullptr;
    QLabel *labelSyntax_ = nullptr;
    QLineEdit *edit1_ = nullptr;
    QPushButton *bSave_ = nullptr;
    QPushButton *bFormat_ = nullptr;
    // The views move between this window and the main window; the guards
    // notice if the main window took one down.
    QPointer<PageView> frameViewer1_;
    QPointer<SourceEdit> reScreen_;

    QString ownSearch_;
    QString ownReplace_;
    QString *lastSearch_ = &ownSearch_;
    QString *lastReplace_ = &ownReplace_;
    std::unique_ptr<ReplaceDialog1> replaceDialog1_;

    FormatterStyle formatStyle_;
    ProgressBar *progressBar_ = nullptr;
    bool formatting_ = false;
    bool saveEnabled_ = false; // both Save buttons, as SetButtonState last set them
    Settings ownSettings_;
    Settings *settings_ = &ownSettings_;
    QStringList tagSyntaxList_;
    std::vector<QPushButton *> bRepaint_;
    // Handles the editor's window keys; true when the key was used up.
    bool REScreenKeyDown(const QKeyEvent *key);
};

} // namespace velmora
