// The file commands' actions, what they are built from, and cleaning the
// thumbnail folder.
#include "app/file_commands.h"

#include "app/program.h"
#include "editor/window/form_view.h"
#include "foundation/prompts.h"
#include "thumbs/capture/page_capture.h"
#include "thumbs/capture/thumbnail_maker.h"
#include "thumbs/thumb_cleaning.h"
#include "thumbs/thumbnail_store.h"
#include "widgets/form_progress.h"
#include "widgets/wait_cursor.h"

#include <QAction>
#include <QCoreApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace velmora {

FileCommands::FileCommands(const FileCommandsServices &services, QWidget &window)
    : QObject(&window), program_(services.program), prompts_(services.prompts),
      dialogs_(services.dialogs), desktop_(services.desktop), selection_(services.selection),
      document_(services.document), thumbnails_(services.thumbnails), viewer_(services.viewer),
      window_(window), freeSpace_(services.freeSpace), progressWindows_(services.progressWindows),
      folderFiles_(services.folderFiles), thumbWorkers_(services.thumbWorkers) {
    setObjectName(u"FileCommands"_s);
    BuildThumbnailMaker(services.render);
    LoadSnapshotParams(program_.Config(), snapShotParams_);
    BuildActions();
    BuildPopupMenu();
}

FileCommands::~FileCommands() = default;

// The object names are the ones the menus have always had: settings of
// assistive tools and the tests find the entries by them.
void FileCommands::BuildActions() {
    const auto make = [this](FileAction which, const QString &caption, const QString &name,
                             auto command) {
        auto *action = new QAction(caption, this);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, command);
        actions_[size_t(which)] = action;
    };
    make(FileAction::MakeThumbs, u"Make Thumbs"_s, u"MakeThumbs"_s,
         [this] { Add_Remove(ModeMake); });
    make(FileAction::ClearThumbs, u"ClearThumbs"_s, u"ClearThumbs"_s,
         [this] { Add_Remove(ModeClear); });
    make(FileAction::CreateSnapshots, u"&Create Snapshot(s)"_s, u"Snapcurrenrfile1"_s,
         [this] { Snapcurrenrfile1Click(); });
    make(FileAction::RemoveOrphanedThumbs, u"Remove orphaned thumbs from disk"_s,
         u"Removeoutdatedthumbs1"_s, [this] { CleanThumbnails(false); });
    make(FileAction::RemoveAllThumbs, u"Remove all thumbs from disk"_s,
         u"Removeallthumbsfromdisk1"_s, [this] { CleanThumbnails(true); });
    make(FileAction::UpdateChangedThumbs, u"&Update Changed Thumbnails"_s, u"UpdateChangedThumbs"_s,
         [this] { UpdateChangedThumbs(); });
}

// Capturing needs the rendering engine; without a profile (tests of the
// window's logic) there is no maker and the commands say so.
void FileCommands::BuildThumbnailMaker(RenderProfile *profile) {
    if (!profile)
        return;
    pageCapture_ =
        std::make_unique<PageCapture>(*profile, viewer_ ? viewer_->FrameViewer1() : nullptr);
    thumbMaker_ =
        std::make_unique<ThumbnailMaker>(*pageCapture_, thumbnails_, prompts_, freeSpace_);
}

std::unique_ptr<ProgressWindow> FileCommands::MakeProgressWindow() const {
    return progressWindows_ ? progressWindows_() : std::make_unique<TFormProgress>();
}

void FileCommands::CleanThumbnails(bool removeAll) {
    ThumbCleaning result;
    {
        const WaitCursor busy;
        // The walk lets the window repaint; it takes no input meanwhile.
        window_.setEnabled(false);
        // Like every search, the cleaning switches list validation off.
        program_.Config().DoValidate = false;
        QStringList thumbFiles;
        result = RemoveThumbs(program_.Folders().ThumbDir, removeAll, thumbFiles,
                              [] { QCoreApplication::processEvents(); });
        window_.setEnabled(true);
    }
    prompts_.ShowInfo(ThumbCleaningMessage(result, removeAll));
}

} // namespace velmora
