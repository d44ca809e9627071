// Snapshots: the snapshot options window opened for the selected files of the
// active view, or for what the internal browser shows (Snap View).
#include "app/file_commands.h"

#include "app/program.h"
#include "editor/editor_document.h"
#include "editor/window/form_view.h"
#include "foundation/prompts.h"
#include "foundation/view_selection.h"
#include "render/page_view.h"
#include "snapshot/window/form_snap_prop.h"
#include "thumbs/capture/page_capture.h"
#include "thumbs/capture/thumb_workers.h"

#include <QFileInfo>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace velmora {

void FileCommands::Snapcurrenrfile1Click() {
    TSnapShotParams &params = snapShotParams_;
    params.FileName = selection_.GetCurrentFile();
    const TSelectionInfo selection = selection_.GetSelectionInfo();
    params.PageIndex = selection.Page;
    params.SelCount = selection.SelCount;
    params.ItemCount = selection.Count;
    params.BatchMode = selection.SelCount > 1;
    if (!params.FileName.isEmpty() && !QFileInfo::exists(params.FileName)) {
        prompts_.ShowInfo(u"File: \""_s + params.FileName + u"\" not found!"_s);
        return;
    }
    if (params.FileName.isEmpty() && !params.BatchMode) {
        prompts_.ShowInfo(u"No file(s) selected"_s);
        return;
    }
    ShowSnapshotOptions(false);
}

// With no current file in the active view (several files selected, the caret
// elsewhere) the page of the browser window is taken, so that the window
// still has a page to name.
void FileCommands::BSnapClick() {
    if (!viewer_)
        return;
    TSnapShotParams &params = snapShotParams_;
    params.BatchMode = false;
    params.FileName = selection_.GetCurrentFile();
    if (params.FileName.isEmpty())
        params.FileName = document_.File();
    if (params.FileName.isEmpty())
        params.FileName = viewer_->FrameViewer1()->CurrentFile();
    ShowSnapshotOptions(true);
}

void FileCommands::ShowSnapshotOptions(bool snapViewMode) {
    // A capture waits with the event loop running; a second opening then is
    // ignored.
    if (snapshotWindowOpen_)
        return;
    const QScopedValueRollback open(snapshotWindowOpen_, true);
    SnapshotWindowServices services{
        prompts_,
        dialogs_,
        selection_,
        [this](const QString &page, const CaptureRequest &request, Picture *picture,
               QString *error) { return CaptureForSnapshot(page, request, picture, error); },
        freeSpace_,
        progressWindows_,
        {[this](const QStringList &pages) { return CanCaptureSnapshotsWithWorkers(pages); },
         [this](const QStringList &pages, const CaptureRequest &request,
                const SnapshotCaptured &captured, const std::function<bool()> &stopRequested) {
             CaptureSnapshotsWithWorkers(pages, request, captured, stopRequested);
         }}};
    SnapshotOpening opening;
    opening.snapViewMode = snapViewMode;
    opening.placeOn = &window_;
    QWidget *parent = &window_;
    if (snapViewMode && viewer_) {
        opening.browserSize = viewer_->FrameViewer1()->size();
        // Over the browser window, which is modal itself.
        if (viewer_->isVisible())
            parent = viewer_;
    }
    TFormSnapProp form(services, snapShotParams_, program_.Config().SnapshotPath, opening, parent);
    form.exec();
    StoreSnapshotParams(snapShotParams_, program_.Config());
}

bool FileCommands::CaptureForSnapshot(const QString &pagePath, const CaptureRequest &request,
                                      Picture *picture, QString *error) {
    if (!pageCapture_) {
        if (error)
            *error = u"Pages cannot be captured without the rendering engine."_s;
        return false;
    }
    return pageCapture_->CapturePage(pagePath, request, picture, error);
}

// Several pages gain from workers only with a second core to run on; the
// window's own engine takes them when the program beside it is missing.
bool FileCommands::CanCaptureSnapshotsWithWorkers(const QStringList &pages) const {
    if (pages.size() < 2 || DefaultThumbJobs() < 2 || !pageCapture_)
        return false;
    const QFileInfo program(thumbWorkers_);
    return !thumbWorkers_.isEmpty() && program.isFile() && program.isExecutable();
}

void FileCommands::CaptureSnapshotsWithWorkers(
    const QStringList &pages, const CaptureRequest &request,
    const std::function<void(int, bool, const Picture &, const QString &)> &captured,
    const std::function<bool()> &stopRequested) {
    QStringList arguments{u"--worker"_s, u"--program-dir"_s, program_.Folders().ProgramDir};
    // Captures copy the internal browser's fonts and colours.
    if (viewer_ && viewer_->FrameViewer1())
        arguments << u"--display"_s << DisplayArgument(viewer_->FrameViewer1()->Display());
    RunCaptureWorkers(thumbWorkers_, arguments, DefaultThumbJobs(), pages, request, captured,
                      stopRequested);
}

} // namespace velmora
