#pragma once
// How the program comes to its first page: the page and the list file named
// on the command line (read at the first show, opened at the first
// activation only), files dropped onto the main window, and a path handed
// over by a second start of the program.

#include <QString>
#include <QStringList>

class QTabWidget;
class QWidget;

namespace velmora {

class FileListsPage;
class Prompts;
class TabView;

// What the start asks of the main window.
class StartWindow {
public:
    virtual ~StartWindow() = default;
    // Opens folder in the folder view and puts the caret on file (if given);
    // false when the folder is gone or the user kept unsaved text instead.
    virtual bool JumpToFileAndFolder(const QString &path) = 0;
    virtual QString CurrentFolder() const = 0;
    virtual QTabWidget *Pages() const = 0;
    // The view of a tab (TForm1::Page).
    virtual TabView *View(int page) const = 0;
    // The File Lists tab; null when a test stood in another view for it.
    virtual FileListsPage *ListsPage() const = 0;
};

class ProgramStart {
public:
    // window is the main window itself, brought to the front by drops and
    // second starts.
    ProgramStart(StartWindow &views, QWidget &window, Prompts &prompts);

    // Reads the page and the list file from the program's arguments (after
    // its name).
    void ReadArguments(const QStringList &arguments);
    // The command-line page is opened, selected and previewed, as a click on
    // it would, at the first activation only: a later one (a dialog or the
    // viewer closing, a drop bringing the window to the front) must not take
    // the user back to it.
    void OpenCommandFileOnce();
    // The command-line list file is loaded once: a later activation must not
    // load the list again over what the user has done with it since.
    void OpenCommandListFileOnce();

    // The page named on the command line.
    QString CommandFile() const { return commandFile_; }
    // A list file named on the command line, until the first activation
    // loads it into the File Lists tab; empty after that.
    QString CommandListFile() const { return commandListFile_; }

    // Shows the File Lists tab with the list file at path loaded and verified.
    void OpenListFile(const QString &path);
    // Jumps to the page and selects it, so that it is previewed as after a
    // click; when its folder cannot be shown, nothing is selected.
    void OpenPageAsClicked(const QString &path);
    // Files dropped onto the window, in the order they came: the folder of
    // the first opens when it is of an accepted kind.
    void DropFiles(const QStringList &names);
    // The names of the last drop onto the window, in the order they came.
    const QStringList &DroppedFiles() const { return droppedFiles_; }
    // A path handed over by a second start of the program (empty: none). The
    // window comes to the front and opens it as the command line would: a
    // list file in File Lists, a page in its folder; a folder opens as well.
    void OpenHandedOverPath(const QString &path);

private:
    StartWindow &views_;
    QWidget &window_;
    Prompts &prompts_;
    QString commandFile_;
    bool commandFileDone_ = false; // opened once, or overtaken by a drop
    QString commandListFile_;
    QStringList droppedFiles_;
};

} // namespace velmora
