#include "filelists/window/form_search.h"

#include "filelists/list_commands.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

TFormSearch::TFormSearch(QWidget *parent) : QDialog(parent) {
    setObjectName(u"FormSearch"_s);
    setWindowTitle(u"Search Files"_s);
    auto *column = new QVBoxLayout(this);

    label1_ = new QLabel(this);
    label1_->setObjectName(u"Label1"_s);
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setFrameShape(QFrame::StyledPanel);
    label1_->setMinimumWidth(300);
    column->addWidget(label1_);

    auto *options = new QGroupBox(u"Search options"_s, this);
    auto *optionColumn = new QVBoxLayout(options);
    cbIncludeSub_ = new QCheckBox(u"Include all subfolders"_s, options);
    cbIncludeSub_->setObjectName(u"CBIncludeSub"_s);
    cbAdd_ = new QCheckBox(u"Add to current list"_s, options);
    cbAdd_->setObjectName(u"CBAdd"_s);
    for (QCheckBox *box : {cbIncludeSub_, cbAdd_}) {
        box->setChecked(true);
        optionColumn->addWidget(box);
    }
    column->addWidget(options);

    auto *buttons = new QHBoxLayout;
    bOK_ = new QPushButton(u"Start "_s, this);
    bOK_->setObjectName(u"BOK"_s);
    bOK_->setAccessibleName(u"Start"_s);
    bOK_->setDefault(true);
    auto *cancel = new QPushButton(u"Cancel"_s, this);
    cancel->setObjectName(u"BCancel"_s);
    buttons->addStretch();
    buttons->addWidget(bOK_);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(bOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormSearch::Prepare(const QString &mask, const QString &folder) {
    label1_->setText(SearchDialogLabel(mask, folder));
}

bool TFormSearch::IncludeSubfolders() const {
    return cbIncludeSub_->isChecked();
}

bool TFormSearch::AddToCurrentList() const {
    return cbAdd_->isChecked();
}

} // namespace velmora
