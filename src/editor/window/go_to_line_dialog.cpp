#include "editor/window/go_to_line_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

GoToLineDialog::GoToLineDialog(int lineCount, int current, QWidget *parent) : QDialog(parent) {
    setObjectName(u"GoToLine"_s);
    setWindowTitle(u"Go to Line"_s);
    line_ = new QSpinBox(this);
    line_->setObjectName(u"LineNumber"_s);
    line_->setAccessibleName(u"Line number"_s);
    line_->setRange(1, std::max(1, lineCount));
    line_->setValue(current);
    line_->selectAll();
    auto *label = new QLabel(u"&Line number:"_s, this);
    label->setBuddy(line_);
    // The range, so that a number past the end is not a surprise.
    auto *range = new QLabel(u"(1 to "_s + QString::number(line_->maximum()) + u')', this);
    range->setObjectName(u"LineRange"_s);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(u"Cancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(line_, 1);
    row->addWidget(range);
    auto *column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

int GoToLineDialog::Line() const {
    return line_->value();
}

} // namespace velmora
