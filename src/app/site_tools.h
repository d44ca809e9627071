#pragma once
// The site-wide tools of the Extras menu: Find in Files and Check Links. Each
// window is made at its first use and fills itself with where the user is;
// a place chosen in either is shown in the docked editor.

#include <QObject>
#include <QString>

#include <memory>

class QMenu;
class QWidget;

namespace velmora {

class CheckLinksWindow;
class EditorDocument;
class FileDialogs;
class FindInFilesWindow;
class FolderContext;
class OpenPage;
class PreviewPane;
class Program;
class Prompts;
class StartWindow;

struct SiteToolsServices {
    Program &program;
    Prompts &prompts;
    FileDialogs &dialogs;
    FolderContext &context;
    EditorDocument &document;
    PreviewPane &preview;
    // Goes to a page in the Folder View.
    StartWindow &views;
};

class SiteTools final : public QObject {
    Q_OBJECT
public:
    // window is the main window: the tools' windows stay over it, and their
    // shortcuts work on it.
    SiteTools(const SiteToolsServices &services, QWidget &window);
    ~SiteTools() override;
    SiteTools(const SiteTools &) = delete;
    SiteTools &operator=(const SiteTools &) = delete;

    // Adds the tools' entries to the Extras menu. The menu is off while
    // nothing is selected; the tools need no selection, so their shortcuts
    // live on the main window too.
    void AddTo(QMenu &extras);
    void ShowFindInFiles();
    void ShowCheckLinks();

    // The Folder View goes to page (after the question about unsaved text)
    // and selects it; the docked editor shows it with length characters
    // from column of line selected and the caret there.
    void OpenPageAt(const QString &page, int line, int column, int length);

private:
    // A part of one line selected in the editor, the text to find.
    QString EditorSelectedText() const;

    SiteToolsServices services_;
    QWidget &window_;
    // The editor's document as a replacement across files must know it;
    // made before the window that asks it, and gone after.
    std::unique_ptr<OpenPage> editorPage_;
    std::unique_ptr<FindInFilesWindow> findInFiles_;
    std::unique_ptr<CheckLinksWindow> checkLinks_;
};

} // namespace velmora
