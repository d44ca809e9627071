#pragma once
// Page capture: a page file rendered off screen at the base size and painted
// into a picture, as a browser window of that size would show the top of the
// page (its scroll bars included where the engine shows them).
//
// The program owns one capture service and hands it to the thumbnail maker
// and the snapshot code; each names the base size and the view mode of every
// capture it asks for.

#include "pictures/capture_request.h"
#include "pictures/picture.h"
#include "render/display_settings.h"

#include <QSize>
#include <QString>

#include <memory>

namespace velmora {

class PageView;
class RenderProfile;
class TFormSnap;

class PageCapture {
public:
    // internalBrowser: the internal browser's view, whose display settings
    // captures copy and which snap view mode borrows. May be null (the batch
    // command), then captures use the default settings. Every page load may
    // take timeLimitMs, its painting included, and its renderer may hold the
    // memory cap of a page view (ViewOptions::memoryCapMb) unless another is
    // set.
    PageCapture(RenderProfile &profile, PageView *internalBrowser, int timeLimitMs = 10000);
    ~PageCapture();
    PageCapture(const PageCapture &) = delete;
    PageCapture &operator=(const PageCapture &) = delete;

    // A picture of the base size less the crops. False with *error set when
    // the base size is empty, the page cannot be loaded and painted in time
    // or within the memory cap, or the crops leave nothing.
    bool CapturePage(const QString &pagePath, const CaptureRequest &request, Picture *picture,
                     QString *error = nullptr);

    void SetInternalBrowser(PageView *view) { internalBrowser_ = view; }
    // The display settings captures use without an internal browser: a
    // worker process copies those of the window it makes thumbnails for.
    void SetDisplay(const DisplaySettings &display) { display_ = display; }
    void SetTimeLimit(int milliseconds) { timeLimitMs_ = milliseconds; }
    // MB; 0: no cap. Borrowed views keep their own.
    void SetMemoryCap(int megabytes) { memoryCapMb_ = megabytes; }
    // How many captures ran past their time limit or memory cap and had their
    // page thrown away.
    int Recoveries() const;

private:
    TFormSnap &Form();

    RenderProfile &profile_;
    PageView *internalBrowser_;
    int timeLimitMs_;
    int memoryCapMb_;
    DisplaySettings display_;
    // Kept from one capture to the next, so a run of captures reuses one
    // engine page instead of starting a renderer per page.
    std::unique_ptr<TFormSnap> form_;
};

} // namespace velmora
