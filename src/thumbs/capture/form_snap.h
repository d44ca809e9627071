#pragma once
// The capture window: a borderless window that is never shown on screen,
// whose client area is the capture's base size. It either loads the page into
// its own view or borrows the internal browser's view with the document that
// view already shows.

#include <QDeadlineTimer>
#include <QPointer>
#include <QWidget>

namespace velmora {

class PageView;
class RenderProfile;
struct DisplaySettings;

class TFormSnap : public QWidget {
public:
    explicit TFormSnap(RenderProfile &profile);
    ~TFormSnap() override;

    // A client area of exactly width x height pixels: CSS pixels of the
    // page, and device pixels of the screen (on a scaled screen the window
    // is smaller in logical pixels and its view zooms the page to match).
    // A borrowed view is not zoomed, so borrowing gives a window of
    // width x height logical pixels. The window's first set-up (the engine's
    // drawing surface) keeps to the capture's deadline: false when it did not.
    bool FormCreate(int width, int height, bool borrowing,
                    QDeadlineTimer deadline = QDeadlineTimer::Forever);
    // Loads the page into the window's own view with the given display
    // settings (those of the internal browser). The time limit (its message)
    // and the memory cap (MB, 0 for none) hold for the load and the painting
    // together, which end with the deadline.
    bool LoadHTMLFile(const QString &pagePath, const DisplaySettings &display, int timeLimitMs,
                      int memoryCapMb, QDeadlineTimer deadline, QString *error);
    // Takes the internal browser's view over: it fills this window and is
    // laid out again at the base size with its document, within that view's
    // time limit.
    bool BorrowView(PageView *view, QString *error);
    // The window with everything it shows, at one pixel per CSS pixel, the
    // background (silver) wherever no view paints. Null, with *error set,
    // when the page did not settle before the time limit of the load (or of
    // the borrowing) ran out, or passed the memory cap meanwhile.
    QImage PaintToBitmap(QString *error);
    // Gives a borrowed view back to the window it came from, where it was.
    void FormClose();

    PageView *FrameViewerThumb() const { return ownView_; }

private:
    PageView *ShownView() const;

    PageView *ownView_ = nullptr; // child of this window
    QSize base_;
    QDeadlineTimer deadline_; // of the load or the borrowing in hand
    QPointer<PageView> borrowed_;
    QPointer<QWidget> borrowedParent_;
    QRect borrowedGeometry_;
    int borrowedLayoutIndex_ = -1;
    bool borrowedVisible_ = false;
};

} // namespace velmora
