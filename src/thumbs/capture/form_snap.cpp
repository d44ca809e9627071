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
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kSilver);
    setPalette(palette);
    setAutoFillBackground(true);
    m_ownView = new PageView(profile, CaptureViewOptions(), this);
}

TFormSnap::~TFormSnap() {
    FormClose();
}

void TFormSnap::FormCreate(int width, int height, bool borrowing) {
    m_base = QSize(width, height);
    const qreal scale = borrowing ? 1.0 : m_ownView->DevicePixelRatio();
    setFixedSize(qCeil(width / scale), qCeil(height / scale));
    m_ownView->setGeometry(rect());
    if (!isVisible())
        show();
}

bool TFormSnap::LoadHTMLFile(const QString &pagePath, const DisplaySettings &display,
                             int timeLimitMs, QString *error) {
    // The view keeps no history and every load replaces its document, so a
    // load starts from a clear view.
    m_ownView->SetDisplay(display);
    m_ownView->SetTimeLimit(timeLimitMs);
    m_ownView->setGeometry(rect());
    m_ownView->show();
    return m_ownView->LoadFile(pagePath, error);
}

bool TFormSnap::BorrowView(PageView *view, QString *error) {
    if (!view) {
        if (error)
            *error = u"There is no browser view to capture."_s;
        return false;
    }
    m_ownView->hide();
    m_borrowed = view;
    m_borrowedParent = view->parentWidget();
    m_borrowedGeometry = view->geometry();
    m_borrowedVisible = view->isVisible();
    m_borrowedLayoutIndex = -1;
    if (m_borrowedParent && m_borrowedParent->layout())
        m_borrowedLayoutIndex = m_borrowedParent->layout()->indexOf(view);
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
    if (view->WaitUntilPainted())
        return true;
    if (error)
        *error = u"The browser view did not paint in time."_s;
    return false;
}

PageView *TFormSnap::ShownView() const {
    return m_borrowed ? m_borrowed.data() : m_ownView;
}

QImage TFormSnap::PaintToBitmap() {
    QImage bitmap(m_base, QImage::Format_RGB32);
    bitmap.fill(kSilver);
    PageView *view = ShownView();
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, view->GrabSettled(m_base));
    return bitmap;
}

void TFormSnap::FormClose() {
    if (!m_borrowed)
        return;
    PageView *view = m_borrowed;
    m_borrowed = nullptr;
    view->setParent(m_borrowedParent);
    view->setGeometry(m_borrowedGeometry);
    if (m_borrowedParent) {
        if (auto *box = qobject_cast<QBoxLayout *>(m_borrowedParent->layout());
            box && m_borrowedLayoutIndex >= 0)
            box->insertWidget(m_borrowedLayoutIndex, view);
        else if (QLayout *layout = m_borrowedParent->layout())
            layout->addWidget(view);
    }
    view->setVisible(m_borrowedVisible);
    m_ownView->show();
}

} // namespace velmora
