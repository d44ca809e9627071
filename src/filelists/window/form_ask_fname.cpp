#include "filelists/window/form_ask_fname.h"

#include "filelists/file_list_model.h"
#include "foundation/file_utils.h"
#include "foundation/prompts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {
constexpr int kTypedNameLength = 20;
} // namespace

TFormAskFName::TFormAskFName(Prompts &prompts, QString listDir, QWidget *parent)
    : QDialog(parent), prompts_(prompts), listDir_(std::move(listDir)) {
    setObjectName(u"FormAskFName"_s);
    setWindowTitle(u"Save File List (*.lst)"_s);
    auto *column = new QVBoxLayout(this);

    memo1_ = new QTextEdit(this);
    memo1_->setObjectName(u"Memo1"_s);
    memo1_->setAccessibleName(u"Message"_s);
    memo1_->setReadOnly(true);
    // As wide as the dialog, which the report button can make wider.
    memo1_->setMinimumWidth(340);
    memo1_->setFixedHeight(120);
    memo1_->setStyleSheet(u"QTextEdit { color: blue; background: white; }"_s);
    column->addWidget(memo1_);

    auto *nameRow = new QHBoxLayout;
    auto *label1 = new QLabel(u"List Filename:"_s, this);
    eFname_ = new QLineEdit(this);
    eFname_->setObjectName(u"EFname"_s);
    eFname_->setAccessibleName(u"List Filename:"_s);
    label1->setBuddy(eFname_);
    nameRow->addWidget(label1);
    nameRow->addWidget(eFname_, 1);
    column->addLayout(nameRow);

    auto *panel = new QGroupBox(this);
    auto *radios = new QVBoxLayout(panel);
    rbAll_ = new QRadioButton(u"Save all entries"_s, panel);
    rbAll_->setObjectName(u"RBAll"_s);
    rbSel_ = new QRadioButton(u"Save selected entries only"_s, panel);
    rbSel_->setObjectName(u"RBSel"_s);
    rbUnSel_ = new QRadioButton(u"Save unselected entries only"_s, panel);
    rbUnSel_->setObjectName(u"RBUnSel"_s);
    for (QRadioButton *radio : {rbAll_, rbSel_, rbUnSel_})
        radios->addWidget(radio);
    rbAll_->setChecked(true);
    column->addWidget(panel);

    auto *buttons = new QHBoxLayout;
    bShow_ = new QPushButton(u"Show updated and removed entries"_s, this);
    bShow_->setObjectName(u"BShow"_s);
    bShow_->setAutoDefault(false);
    bShow_->hide();
    bOK_ = new QPushButton(u"Save"_s, this);
    bOK_->setObjectName(u"BOK"_s);
    bOK_->setDefault(true);
    auto *cancel = new QPushButton(u"Cancel"_s, this);
    cancel->setObjectName(u"BCancel"_s);
    cancel->setAutoDefault(false);
    buttons->addWidget(bShow_);
    buttons->addStretch();
    buttons->addWidget(bOK_);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(bOK_, &QPushButton::clicked, this, &TFormAskFName::BOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(bShow_, &QPushButton::clicked, this, &TFormAskFName::ShowReportRequested);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormAskFName::Prepare(const QString &message, const QString &proposedName) {
    memo1_->setPlainText(message);
    memo1_->selectAll();
    memo1_->setAlignment(Qt::AlignCenter);
    memo1_->moveCursor(QTextCursor::Start);
    rbAll_->setChecked(true);
    // Only typing is limited: a longer proposed name must stay whole, or a
    // save would write another file than the one loaded.
    eFname_->setMaxLength(std::max(kTypedNameLength, int(proposedName.size())));
    eFname_->setText(proposedName);
    eFname_->selectAll();
    eFname_->setFocus();
    chosenListFile_.clear();
}

void TFormAskFName::SetShowButtonVisible(bool visible) {
    bShow_->setVisible(visible);
}

CopyMode TFormAskFName::SaveMode() const {
    if (rbSel_->isChecked())
        return CopyMode::Selected;
    if (rbUnSel_->isChecked())
        return CopyMode::Unselected;
    return CopyMode::All;
}

void TFormAskFName::BOKClick() {
    chosenListFile_ = MakeFileName(listDir_, eFname_->text(), u".lst"_s, prompts_);
    if (!chosenListFile_.isEmpty())
        accept();
}

} // namespace velmora
