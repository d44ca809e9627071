#pragma once
// Page capture: a page file rendered off screen at the base size and painted
// into a picture, as a browser window of that size would show the top of the
// page (its scroll bars included where the engine shows them).
//
// The base size and the view mode are members of this object, which the
// program owns once and hands to the thumbnail maker and the snapshot code;
// each sets the base size just before it captures.

#include "pictures/picture.h"

#include <QString>

#include <memory>

namespace velmora {

class PageView;
class RenderProfile;
class TFormSnap;

class PageCapture {
public:
    // internalBrowser: the internal browser's view, whose display settings
    // captures copy and which SnapViewMode borrows. May be null (the batch
    // command), then captures use the default settings.
    PageCapture(RenderProfile &profile, PageView *internalBrowser);
    ~PageCapture();
    PageCapture(const PageCapture &) = delete;
    PageCapture &operator=(const PageCapture &) = delete;

    int BaseWidth = 0;
    int BaseHeight = 0;
    bool SnapViewMode = false;
    // Time limit of every page load.
    int TimeLimitMs = 10000;

    // A picture of (BaseWidth - cropRight) x (BaseHeight - cropBottom)
    // pixels (crops of 0 or less crop nothing). False with *error set when
    // the base size is empty, the page cannot be loaded in time, or the crops
    // leave nothing.
    bool CapturePage(const QString &pagePath, int cropRight, int cropBottom, Picture *picture,
                     QString *error = nullptr);

    void SetInternalBrowser(PageView *view) { m_internalBrowser = view; }
    // How many loads ran past their time limit and had their page thrown away.
    int Recoveries() const;

private:
    TFormSnap &Form();

    RenderProfile &m_profile;
    PageView *m_internalBrowser;
    // Kept from one capture to the next, so a run of captures reuses one
    // engine page instead of starting a renderer per page.
    std::unique_ptr<TFormSnap> m_form;
};

} // namespace velmora
