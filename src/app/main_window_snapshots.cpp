// Snapshots: the snapshot options window opened for the selected files of the
// active view, or for what the internal browser shows (Snap View).
#include "app/main_window.h"

#include "editor/window/form_view.h"
#include "foundation/prompts.h"
#include "snapshot/window/form_snap_prop.h"
#include "thumbs/capture/page_capture.h"

#include <QFileInfo>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace velmora {

void TForm1::Snapcurrenrfile1Click() {
    TSnapShotParams &params = snapShotParams_;
    params.FileName = selection_->GetCurrentFile();
    const TSelectionInfo selection = selection_->GetSelectionInfo();
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
void TForm1::BSnapClick() {
    if (!formView_)
        return;
    TSnapShotParams &params = snapShotParams_;
    params.BatchMode = false;
    params.FileName = selection_->GetCurrentFile();
    if (params.FileName.isEmpty())
        params.FileName = document_->File();
    if (params.FileName.isEmpty())
        params.FileName = formView_->FrameViewer1()->CurrentFile();
    ShowSnapshotOptions(true);
}

void TForm1::ShowSnapshotOptions(bool snapViewMode) {
    // A capture waits with the event loop running; a second opening then is
    // ignored.
    if (snapshotWindowOpen_)
        return;
    const QScopedValueRollback open(snapshotWindowOpen_, true);
    SnapshotWindowServices services{
        prompts_,
        dialogs_,
        *selection_,
        [this](const QString &page, const SnapshotCaptureRequest &request, Picture *picture,
               QString *error) {
            return CaptureForSnapshot(page, request.base, request.cropRight, request.cropBottom,
                                      request.snapViewMode, picture, error);
        },
        freeSpace_,
        progressWindows_};
    SnapshotOpening opening;
    opening.snapViewMode = snapViewMode;
    opening.placeOn = this;
    QWidget *parent = this;
    if (snapViewMode && formView_) {
        opening.browserSize = formView_->FrameViewer1()->size();
        // Over the browser window, which is modal itself.
        if (formView_->isVisible())
            parent = formView_.get();
    }
    TFormSnapProp form(services, snapShotParams_, program_.Config().SnapshotPath, opening, parent);
    form.exec();
    StoreSnapshotParams(snapShotParams_, program_.Config());
}

bool TForm1::CaptureForSnapshot(const QString &pagePath, QSize base, int cropRight, int cropBottom,
                                bool snapViewMode, Picture *picture, QString *error) {
    if (!pageCapture_) {
        if (error)
            *error = u"Pages cannot be captured without the rendering engine."_s;
        return false;
    }
    return pageCapture_->CapturePage(pagePath, {base, cropRight, cropBottom, snapViewMode}, picture,
                                     error);
}

} // namespace velmora
