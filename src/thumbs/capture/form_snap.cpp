#include "thumbs/capture/form_snap.h"

#include "render/page_view.h"

#include <QBoxLayout>
#include <QPainter>
#include <QtMath>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

ViewOptions CaptureViewOptions() {
    ViewOptions options;
    options.historyLength = 0;
    options.fixedFontName = u"Courier New"_s;
    options.devicePixelPerCssPixel = true;
    return options;
}

} // namespace

TFormSnap::TFormSnap(RenderProfile &profile) : QWidget(nullptr, Qt::FramelessWindowHint) {
    // Rendered and painted like a shown window, but never put on a screen.
    setAttribute(Qt::WA_DontShowOnScreen);
    // Still a visible window to Qt: it must not keep the program running
    // once the user has closed the main window.
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kSilver);
    setPalette(palette);
    setAutoFillBackground(true);
    ownView_ = new PageView(profile, CaptureViewOptions(), this);
}

TFormSnap::~TFormSnap() {
    FormClose();
}

bool TFormSnap::FormCreate(int width, int height, bool borrowing, QDeadlineTimer deadline) {
    base_ = QSize(width, height);
    const qreal scale = borrowing ? 1.0 : ownView_->DevicePixelRatio();
    setFixedSize(qCeil(width / scale), qCeil(height / scale));
    ownView_->setGeometry(rect());
    if (!isVisible()) {
        // The engine makes its drawing widget with its first page. Made
        // after this window is first shown, Qt remakes the window to draw
        // through the GPU and puts it on the screen in spite of
        // WA_DontShowOnScreen; made before, the window starts out that way.
        ownView_->Clear(deadline);
        show();
    }
    return !deadline.hasExpired();
}

bool TFormSnap::LoadHTMLFile(const QString &pagePath, const DisplaySettings &display,
                             int timeLimitMs, int memoryCapMb, QDeadlineTimer deadline,
                             QString *error) {
    // The painting that follows gets what the load left of the deadline, so
    // that a capture as a whole keeps to it.
    deadline_ = deadline;
    // The view keeps no history and every load replaces its document, so a
    // load starts from a clear view.
    ownView_->SetDisplay(display);
    ownView_->SetTimeLimit(timeLimitMs);
    ownView_->SetMemoryCap(memoryCapMb);
    ownView_->setGeometry(rect());
    ownView_->show();
    return ownView_->LoadFile(pagePath, error, deadline_);
}

bool TFormSnap::BorrowView(PageView *view, QString *error) {
    if (!view) {
        if (error)
            *error = u"There is no browser view to capture."_s;
        return false;
    }
    deadline_ = QDeadlineTimer(view->TimeLimit(), Qt::PreciseTimer);
    ownView_->hide();
    borrowed_ = view;
    borrowedParent_ = view->parentWidget();
    borrowedGeometry_ = view->geometry();
    borrowedVisible_ = view->isVisible();
    borrowedLayoutIndex_ = -1;
    if (borrowedParent_ && borrowedParent_->layout())
        borrowedLayoutIndex_ = borrowedParent_->layout()->indexOf(view);
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
    return view->WaitUntilPainted(deadline_, error);
}

PageView *TFormSnap::ShownView() const {
    return borrowed_ ? borrowed_.data() : ownView_;
}

QImage TFormSnap::PaintToBitmap(QString *error) {
    const QImage page = ShownView()->GrabSettled(base_, deadline_, error);
    if (page.isNull())
        return {};
    QImage bitmap(base_, QImage::Format_RGB32);
    bitmap.fill(kSilver);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, page);
    return bitmap;
}

void TFormSnap::FormClose() {
    if (!borrowed_)
        return;
    PageView *view = borrowed_;
    borrowed_ = nullptr;
    view->setParent(borrowedParent_);
    view->setGeometry(borrowedGeometry_);
    if (borrowedParent_) {
        if (auto *box = qobject_cast<QBoxLayout *>(borrowedParent_->layout());
            box && borrowedLayoutIndex_ >= 0)
            box->insertWidget(borrowedLayoutIndex_, view);
        else if (QLayout *layout = borrowedParent_->layout())
            layout->addWidget(view);
    }
    view->setVisible(borrowedVisible_);
    ownView_->show();
}

} // namespace velmora
