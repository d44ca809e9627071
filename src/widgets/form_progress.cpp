#include "widgets/form_progress.h"

#include "widgets/window_placement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

TFormProgress::TFormProgress()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(u"FormProgress"_s);
    setWindowTitle(u"Velmora Progress"_s);
    setAccessibleName(u"Velmora Progress"_s);

    label1_ = new QLabel(this);
    label1_->setObjectName(u"Label1"_s);
    label1_->setAccessibleName(u"Current file"_s);
    // A long path must not widen the window past the screen.
    label1_->setMinimumWidth(360);
    label1_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    progBar_ = new QProgressBar(this);
    progBar_->setObjectName(u"ProgBar"_s);
    progBar_->setAccessibleName(u"Progress"_s);
    progBar_->setTextVisible(false);

    button1_ = new QPushButton(u"<Esc> - Stop"_s, this);
    button1_->setObjectName(u"Button1"_s);
    button1_->setAccessibleName(u"<Esc> - Stop"_s);
    button1_->installEventFilter(this);
    connect(button1_, &QPushButton::clicked, this, &TFormProgress::RequestStop);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1_);
    layout->addWidget(progBar_);
    layout->addWidget(button1_, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint().expandedTo(QSize(400, 0)));
}

void TFormProgress::InitProgBar(int n) {
    progBar_->setRange(0, n);
    progBar_->setValue(0);
}

void TFormProgress::Show() {
    label1_->clear();
    stopRequested_ = false;
    closingByRun_ = false;
    show();
    CentreOnScreen(this);
    raise();
    activateWindow();
    button1_->setFocus();
}

void TFormProgress::SetText(const QString &text) {
    label1_->setText(text);
    repaint();
}

void TFormProgress::Step() {
    progBar_->setValue(progBar_->value() + 1);
}

void TFormProgress::Close() {
    closingByRun_ = true;
    close();
}

bool TFormProgress::IsStopKey(const QKeyEvent *event) {
    return event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
           event->key() == Qt::Key_Enter;
}

void TFormProgress::RequestStop() {
    stopRequested_ = true;
    closingByRun_ = true;
    close();
}

// The keys reach the window before its button, wherever the focus is.
bool TFormProgress::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyRelease && IsStopKey(static_cast<QKeyEvent *>(event))) {
        RequestStop();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFormProgress::keyReleaseEvent(QKeyEvent *event) {
    if (IsStopKey(event)) {
        RequestStop();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

// Closed by the window manager (there is no close button, but a key of the
// desktop can close it): that too stops the run rather than leaving it going
// with no window to stop it.
void TFormProgress::closeEvent(QCloseEvent *event) {
    if (!closingByRun_)
        stopRequested_ = true;
    closingByRun_ = false;
    QWidget::closeEvent(event);
}

} // namespace velmora
