#pragma once
// What a picture of a page is to show, as the thumbnails, the snapshots and
// the thumbnailer ask the page capture for it. Kept apart from the capture
// itself, so that code asking for pictures needs no rendering engine.

#include <QSize>

namespace velmora {

// One capture: the page is laid out in a window of base pixels, and the
// crops are cut off its right and bottom edges (0 or less crops nothing).
// In snap view mode the internal browser's view is borrowed with the
// document it shows, instead of loading the page.
struct CaptureRequest {
    QSize base;
    int cropRight = 0;
    int cropBottom = 0;
    bool snapViewMode = false;
};

} // namespace velmora
