#include "thumbs/capture/page_capture.h"

#include "foundation/failure.h"
#include "render/page_view.h"
#include "thumbs/capture/form_snap.h"

using namespace Qt::StringLiterals;

namespace velmora {

PageCapture::PageCapture(RenderProfile &profile, PageView *internalBrowser, int timeLimitMs)
    : profile_(profile), internalBrowser_(internalBrowser), timeLimitMs_(timeLimitMs),
      memoryCapMb_(ViewOptions{}.memoryCapMb) {}

PageCapture::~PageCapture() = default;

TFormSnap &PageCapture::Form() {
    if (!form_)
        form_ = std::make_unique<TFormSnap>(profile_);
    return *form_;
}

int PageCapture::Recoveries() const {
    return form_ ? form_->FrameViewerThumb()->Recoveries() : 0;
}

bool PageCapture::CapturePage(const QString &pagePath, const CaptureRequest &request,
                              Picture *picture, QString *error) {
    const QSize base = request.base;
    const int width = base.width() - qMax(0, request.cropRight);
    const int height = base.height() - qMax(0, request.cropBottom);
    if (base.width() < 1 || base.height() < 1)
        return Fail(
            error,
            u"No base size for the capture (%1 x %2)."_s.arg(base.width()).arg(base.height()));
    if (width < 1 || height < 1)
        return Fail(error, u"The crops leave nothing of the capture."_s);

    // The time limit holds for the capture as a whole, the window's set-up
    // included (the engine's first start may take long on a busy machine).
    const QDeadlineTimer deadline(timeLimitMs_, Qt::PreciseTimer);
    TFormSnap &form = Form();
    if (!form.FormCreate(base.width(), base.height(), request.snapViewMode,
                         request.snapViewMode ? QDeadlineTimer(QDeadlineTimer::Forever) : deadline))
        return Fail(error,
                    u"The page did not finish loading within %1 s."_s.arg(timeLimitMs_ / 1000.0));
    bool loaded;
    if (request.snapViewMode) {
        loaded = form.BorrowView(internalBrowser_, error);
    } else {
        const DisplaySettings display = internalBrowser_ ? internalBrowser_->Display() : display_;
        loaded = form.LoadHTMLFile(pagePath, display, timeLimitMs_, memoryCapMb_, deadline, error);
    }
    QImage bitmap;
    if (loaded)
        bitmap = form.PaintToBitmap(error);
    form.FormClose();
    if (bitmap.isNull())
        return false;
    *picture = ToPicture(bitmap.copy(0, 0, width, height));
    return true;
}

} // namespace velmora
