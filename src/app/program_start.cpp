#include "app/program_start.h"

#include "app/program.h"
#include "filelists/window/file_lists_page.h"
#include "foundation/file_utils.h"
#include "foundation/prompts.h"
#include "sitewalk/file_search.h"
#include "widgets/tab_view.h"

#include <QApplication>
#include <QFileInfo>
#include <QTabWidget>
#include <QWidget>

#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// The tabs of the main window, in their order.
constexpr int kFolderViewTab = 0;
constexpr int kFileListsTab = 2;

} // namespace

ProgramStart::ProgramStart(StartWindow &views, QWidget &window, Prompts &prompts)
    : views_(views), window_(window), prompts_(prompts) {}

void ProgramStart::ReadArguments(const QStringList &arguments) {
    commandFile_ = ReadCommandLine(arguments);
    commandListFile_ = ReadCommandListFile(arguments);
}

void ProgramStart::OpenCommandFileOnce() {
    if (std::exchange(commandFileDone_, true))
        return;
    OpenPageAsClicked(commandFile_);
}

void ProgramStart::OpenCommandListFileOnce() {
    if (!commandListFile_.isEmpty())
        OpenListFile(std::exchange(commandListFile_, QString()));
}

void ProgramStart::OpenPageAsClicked(const QString &path) {
    if (path.isEmpty())
        return;
    views_.JumpToFileAndFolder(path);
    const QFileInfo info(path);
    const QTabWidget *pages = views_.Pages();
    if (pages->isEnabled() && pages->currentIndex() == kFolderViewTab &&
        views_.CurrentFolder() == WithBackslash(info.absolutePath()))
        views_.View(kFolderViewTab)->SelectFile(info.absoluteFilePath());
}

void ProgramStart::OpenListFile(const QString &path) {
    FileListsPage *page = views_.ListsPage();
    if (!page)
        return;
    // The switch is refused while the editor holds changes the user keeps.
    views_.Pages()->setCurrentIndex(kFileListsTab);
    if (views_.Pages()->currentIndex() == kFileListsTab)
        page->OpenListFile(path);
}

// Only the first name counts; the others stay in DroppedFiles until the next
// drop. A folder is never taken, whatever its name.
void ProgramStart::DropFiles(const QStringList &names) {
    if (names.isEmpty())
        return;
    droppedFiles_ = names;
    const QString &first = names.first();
    const bool listFile = IsListFileName(first) && QFileInfo(first).isFile();
    const bool page = HasAllowedExtension(first, AcceptedKinds) && !QFileInfo(first).isDir();
    // A file taken is the user's choice: the command-line page must not
    // replace it at the activation the drop brings.
    if (listFile || page)
        commandFileDone_ = true;
    window_.raise();
    window_.activateWindow();
    if (listFile) {
        OpenListFile(first);
        return;
    }
    if (page) {
        views_.JumpToFileAndFolder(first);
        return;
    }
    prompts_.Beep();
    prompts_.ShowInfo(u"Velmora:"_s + kMessageBreak + u"File not accepted."_s + kMessageBreak +
                      first);
}

void ProgramStart::OpenHandedOverPath(const QString &path) {
    // A modal window (a question, the options of a command) or a run that
    // disabled the main window is in the middle of something: it is brought
    // to the front, and the view under it is left as it is.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    window_.setWindowState((window_.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_.show();
    window_.raise();
    window_.activateWindow();
    if (path.isEmpty() || !window_.isEnabled())
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
        views_.JumpToFileAndFolder(info.absoluteFilePath() + u'/');
    }
}

} // namespace velmora
