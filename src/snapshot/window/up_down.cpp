#include "snapshot/window/up_down.h"

#include "snapshot/snapshot_input.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

QToolButton *ArrowButton(Qt::ArrowType arrow, const QString &name, QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAccessibleName(name);
    button->setAutoRepeat(true);
    button->setFixedSize(16, 11);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

UpDownEdit::UpDownEdit(const QString &name, int minimum, int maximum, int step, int maxLength,
                       QWidget *parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), step_(step) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    edit_ = new QLineEdit(this);
    edit_->setAccessibleName(name);
    edit_->setMaxLength(maxLength);
    edit_->setFixedWidth(52);
    edit_->installEventFilter(this);
    row->addWidget(edit_);
    auto *arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    up_ = ArrowButton(Qt::UpArrow, name + u" up"_s, this);
    down_ = ArrowButton(Qt::DownArrow, name + u" down"_s, this);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    row->addLayout(arrows);
    row->addStretch();
    connect(up_, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { StepBy(-1); });
}

void UpDownEdit::SetPosition(int value) {
    edit_->setText(QString::number(value));
}

void UpDownEdit::SetReadOnly(bool readOnly) {
    edit_->setReadOnly(readOnly);
}

void UpDownEdit::SetEditEnabled(bool enabled) {
    edit_->setEnabled(enabled);
    up_->setEnabled(enabled);
    down_->setEnabled(enabled);
}

// A text that is no number steps from the nearest end of the range.
void UpDownEdit::StepBy(int steps) {
    const std::optional<int> now = ReadInteger(edit_->text());
    const int from = now ? *now : (steps > 0 ? minimum_ - step_ : maximum_ + step_);
    SetPosition(qBound(minimum_, from + steps * step_, maximum_));
}

bool UpDownEdit::eventFilter(QObject *watched, QEvent *event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress && edit_->isEnabled()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            StepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velmora
