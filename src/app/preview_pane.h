#pragma once
// The preview of the main window: the host panel beside the Folder View's
// file list, into which the browser or the editor is docked, the buttons
// that choose the view and save the editor's document, the modal
// editor/browser window, and the thumbnail corner of the left column, which
// shows the thumbnail of the file on show.
//
// The editor's document is always there; the editor/browser window
// (TFormView) only with a rendering engine. Without one (tests of the
// window's logic) the document keeps its text alone and the view buttons say
// that they are not available.

#include "app/editor_syntax.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;
class QStackedLayout;
class QVBoxLayout;
class QWidget;

namespace velmora {

class EditorDocument;
class FileDialogs;
class PageView;
class ProgressBar;
class Prompts;
class RenderProfile;
class TFormView;
class ThumbnailStore;
class ViewSelection;
struct Settings;

struct PreviewPaneServices {
    EditorDocument &document;
    // The active view's current file and page.
    const ViewSelection &selection;
    ThumbnailStore &thumbnails;
    Prompts &prompts;
    FileDialogs &dialogs;
    // Keeps the editor's search texts and palettes.
    Settings &settings;
    RenderProfile *render = nullptr; // null: no editor/browser window
    ProgressBar *progress = nullptr; // the main window's bar, for page loads
};

class PreviewPane final : public QObject {
    Q_OBJECT
public:
    // window is the main window: the parent of the editor/browser window and
    // of the Esc shortcut that stops a loading preview.
    PreviewPane(const PreviewPaneServices &services, QWidget *window);
    ~PreviewPane() override;

    // The host panel Panel1 and below it the view and save buttons.
    QWidget *BuildArea(QWidget *parent);
    // The caption of the thumbnail corner and the picture under it, added to
    // the left column's layout.
    void BuildThumbnailCorner(QWidget *parent, QVBoxLayout &column);
    QLabel *ThumbnailCorner() const { return imgMini_; }

    // The editor/browser window; null without a rendering engine.
    TFormView *FormView() const { return formView_.get(); }
    // The internal browser, which captures and the browser settings use;
    // null without a rendering engine.
    PageView *Browser() const;
    EditorDocument &Document() const { return document_; }
    const EditorSyntax &Syntax() const { return syntax_; }
    // Reads the style and the tag syntax and hands them to the editor.
    void LoadSyntax(const ProgramFolders &folders);
    // The stored formatter style, loaded again after General Options
    // changed it.
    void LoadStyle(const ProgramFolders &folders);

    // Until the first activation the current file is not loaded: the views
    // are still being filled.
    void Start() { started_ = true; }
    // Called when the user returns to the program from another application:
    // when the Folder View's current file, loaded in the editor, was changed
    // on disk since, the user is asked whether to reload it.
    void AppActivate();

    // Places the browser (Browser pressed) or the editor in the preview area.
    void SBBrowserClick();
    void BSaveAsClick();
    // Opens the current file in the editor/browser window, modally.
    void DblClickForAll();
    // The editor docked in the preview area, holding file with length
    // characters from column (from 1) of line (from 1) selected and in view;
    // false when the question about unsaved text of another file, or the
    // file itself, stopped the opening.
    bool ShowEditorAt(const QString &file, int line, int column, int length);

    // Loads the active view's current file, unless it is on show already
    // (force: again all the same); empties the preview when there is none.
    void ShowCurrentFile(bool force);
    void ClearPreview();
    // The thumbnail of a page in the thumbnail corner, centred; empty when
    // the page has none or it cannot be read.
    void ShowMiniThumb(const QString &path);
    void ClearThumbnailCorner();

    // The Save buttons of both windows follow the file in hand.
    void SetButtonState();
    void SetShowHints(bool show);
    // True for a widget of the editor/browser window while it is on its own.
    bool IsInViewerWindow(const QWidget *widget) const;
    // Both views back into the editor/browser window, before the main
    // window's widgets go.
    void UndockAll();

signals:
    void HintChanged(const QString &text);
    // The preview changed what the status line shows.
    void StatusChanged();
    void ContextMenuWanted(const QPoint &globalPos);
    void SnapViewWanted();
    // A double click on the thumbnail corner: make the selection's thumbnails.
    void ThumbnailsWanted();
    // Save As wrote a copy into path.
    void CopySaved(const QString &path);
    // The editor/browser window opened (true) or closed modally.
    void ViewerModalChanged(bool modal);

private:
    enum class DockedView { Browser, Editor };
    enum class DockPlace { MainWindow, ViewWindow };
    QWidget *BuildHost(QWidget *parent);
    QWidget *BuildButtons(QWidget *parent);
    void ConnectFormView(QWidget *window);
    void DockView(DockedView what, DockPlace where);
    void OnEditorButtons(bool inHand, bool modified);
    void FormViewClosing();
    bool FolderViewActive() const;

    EditorDocument &document_;
    const ViewSelection &selection_;
    ThumbnailStore &thumbnails_;
    Prompts &prompts_;
    FileDialogs &dialogs_;
    Settings &settings_;
    std::unique_ptr<TFormView> formView_;
    EditorSyntax syntax_;
    bool started_ = false;

    QWidget *panel1_ = nullptr;
    QStackedLayout *panel1Layout_ = nullptr;
    QPushButton *sbBrowser_ = nullptr;
    QPushButton *sbEditor_ = nullptr;
    QPushButton *bSave_ = nullptr;
    QPushButton *bSaveAs_ = nullptr;
    QLabel *imgMini_ = nullptr;
};

} // namespace velmora
