#include "editor/window/replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

ReplaceDialog1::ReplaceDialog1(QWidget *parent) : QDialog(parent) {
    setObjectName(u"ReplaceDialog1"_s);
    setWindowTitle(u"Replace"_s);
    setModal(false);

    auto *fields = new QGridLayout;
    auto *findLabel = new QLabel(u"Fi&nd what:"_s, this);
    findEdit_ = new QLineEdit(this);
    findEdit_->setObjectName(u"FindText"_s);
    findEdit_->setAccessibleName(u"Find what"_s);
    findLabel->setBuddy(findEdit_);
    auto *replaceLabel = new QLabel(u"Re&place with:"_s, this);
    replaceEdit_ = new QLineEdit(this);
    replaceEdit_->setObjectName(u"ReplaceText"_s);
    replaceEdit_->setAccessibleName(u"Replace with"_s);
    replaceLabel->setBuddy(replaceEdit_);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(findEdit_, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(replaceEdit_, 1, 1);

    wholeWord_ = new QCheckBox(u"Match &whole word only"_s, this);
    wholeWord_->setObjectName(u"WholeWord"_s);
    wholeWord_->setAccessibleName(u"Match whole word only"_s);
    matchCase_ = new QCheckBox(u"Match &case"_s, this);
    matchCase_->setObjectName(u"MatchCase"_s);
    matchCase_->setAccessibleName(u"Match case"_s);
    regularExpression_ = new QCheckBox(u"Regular e&xpression"_s, this);
    regularExpression_->setObjectName(u"RegularExpression"_s);
    regularExpression_->setAccessibleName(u"Regular expression"_s);
    fields->addWidget(wholeWord_, 2, 0, 1, 2);
    fields->addWidget(matchCase_, 3, 0, 1, 2);
    fields->addWidget(regularExpression_, 4, 0, 1, 2);

    auto *buttons = new QVBoxLayout;
    findNext_ = AddButton(u"&Find Next"_s, u"FindNext"_s);
    replace_ = AddButton(u"&Replace"_s, u"Replace"_s);
    replaceAll_ = AddButton(u"Replace &All"_s, u"ReplaceAll"_s);
    cancel_ = AddButton(u"Cancel"_s, u"Cancel"_s);
    for (QPushButton *button : {findNext_, replace_, replaceAll_, cancel_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    findNext_->setDefault(true);

    auto *row = new QHBoxLayout(this);
    row->addLayout(fields, 1);
    row->addLayout(buttons);

    connect(findNext_, &QPushButton::clicked, this, &ReplaceDialog1::FindNextRequested);
    connect(replace_, &QPushButton::clicked, this, [this] { emit ReplaceRequested(false); });
    connect(replaceAll_, &QPushButton::clicked, this, [this] { emit ReplaceRequested(true); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(findEdit_, &QLineEdit::textChanged, this, &ReplaceDialog1::FollowFindText);
    FollowFindText();
}

QPushButton *ReplaceDialog1::AddButton(const QString &caption, const QString &name) {
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAccessibleName(QString(caption).remove(u'&'));
    button->setAutoDefault(false);
    return button;
}

// An empty find text is never found: the buttons that search wait for one.
void ReplaceDialog1::FollowFindText() {
    const bool any = !findEdit_->text().isEmpty();
    findNext_->setEnabled(any);
    replace_->setEnabled(any);
    replaceAll_->setEnabled(any);
}

QString ReplaceDialog1::FindText() const {
    return findEdit_->text();
}

QString ReplaceDialog1::ReplaceText() const {
    return replaceEdit_->text();
}

void ReplaceDialog1::SetFindText(const QString &text) {
    findEdit_->setText(text);
    findEdit_->selectAll();
}

void ReplaceDialog1::SetReplaceText(const QString &text) {
    replaceEdit_->setText(text);
}

SearchOptions ReplaceDialog1::Options() const {
    SearchOptions options;
    options.wholeWord = wholeWord_->isChecked();
    options.matchCase = matchCase_->isChecked();
    options.regularExpression = regularExpression_->isChecked();
    return options;
}

} // namespace velmora
