// A second start of the program hands its command line's path to this
// window instead of opening a window of its own.
#include "app/main_window.h"

#include "app/program.h"

#include <QApplication>
#include <QFileInfo>

namespace velmora {

void TForm1::OpenHandedOverPath(const QString &path) {
    // A modal window (a question, the options of a command) or a run that
    // disabled this window is in the middle of something: it is brought to
    // the front, and the view under it is left as it is.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    if (path.isEmpty() || !isEnabled())
        return;
    const QFileInfo info(path);
    if (IsListFileName(path) && info.isFile()) {
        OpenListFile(path);
    } else if (!ReadCommandLine({path}).isEmpty()) {
        // Named on a command line, the page is shown as at the first start;
        // it is the user's latest choice, so the first start's page is done.
        commandFileDone_ = true;
        OpenPageAsClicked(path);
    } else if (info.isDir()) {
        // The folder itself opens; no file in it gets the caret.
        JumpToFileAndFolder(info.absoluteFilePath() + u'/');
    }
}

} // namespace velmora
