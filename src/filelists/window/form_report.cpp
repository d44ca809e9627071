#include "filelists/window/form_report.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {
bool ClosesReport(const QKeyEvent *event) {
    const int key = event->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}
} // namespace

TFormReport::TFormReport(const QStringList &lines, QWidget *parent) : QDialog(parent) {
    setObjectName(u"FormReport"_s);
    setWindowTitle(u"Verification Report"_s);
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(548, 402);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName(u"Memo1"_s);
    memo1_->setAccessibleName(u"Report"_s);
    memo1_->setReadOnly(true);
    memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(u"Courier New"_s, 9);
    courier.setStyleHint(QFont::Monospace);
    memo1_->setFont(courier);
    memo1_->setPlainText(lines.join(u'\n'));
    column->addWidget(memo1_, 1);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 4, 4, 4);
    auto *close = new QPushButton(u"Close"_s, this);
    close->setObjectName(u"BCancel"_s);
    close->setAutoDefault(false);
    bottom->addStretch();
    bottom->addWidget(close);
    bottom->addStretch();
    column->addLayout(bottom);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

// The keys that close the window act on release, so a press that opened
// the report from the save dialog does not also close it.
void TFormReport::keyPressEvent(QKeyEvent *event) {
    if (ClosesReport(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormReport::keyReleaseEvent(QKeyEvent *event) {
    if (ClosesReport(event) && !event->isAutoRepeat()) {
        accept();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

} // namespace velmora
