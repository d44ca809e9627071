#include "app/status_line.h"

#include "foundation/view_selection.h"

#include <QLabel>
#include <QMenu>
#include <QTabWidget>

#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

const QString kWelcome = u"Welcome to Velmora - Please open a HTML file folder ..."_s;

} // namespace

StatusLine::StatusLine(const ViewSelection &selection, QStringList tabNames)
    : selection_(selection), tabNames_(std::move(tabNames)) {}

QLabel *StatusLine::BuildHintLine(QWidget *parent) {
    hint_ = new QLabel(parent);
    hint_->setObjectName(u"LabelHint"_s);
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setStyleSheet(u"color: black;"_s);
    // A label's accessible name is its text, which screen readers should read;
    // the description tells what the line is.
    hint_->setAccessibleDescription(u"Hint line"_s);
    return hint_;
}

void StatusLine::Attach(QTabWidget *pages, QMenu *extras) {
    pages_ = pages;
    extras_ = extras;
}

StatusLine::Shown StatusLine::Now() const {
    const TSelectionInfo info = selection_.GetSelectionInfo();
    return {info.Page, info.SelCount, info.Count, selection_.GetCurrentFile()};
}

bool StatusLine::Outdated() const {
    return Now() != shown_;
}

void StatusLine::Update() {
    if (!started_)
        return;
    shown_ = Now();
    const QString suffix = u"  ("_s + QString::number(shown_.selected) + u" of "_s +
                           QString::number(shown_.count) + u" files selected)"_s;
    extras_->menuAction()->setEnabled(shown_.selected > 0);
    extras_->setEnabled(shown_.selected > 0);
    hint_->setText(shown_.current);
    for (int i = 0; i < pages_->count(); ++i)
        pages_->setTabText(i, i == shown_.page ? tabNames_[i] + suffix : tabNames_[i]);
}

QString StatusLine::HintText() const {
    return hint_->text();
}

void StatusLine::SetHint(const QString &text) {
    hint_->setText(text);
}

void StatusLine::ShowWelcome() {
    hint_->setText(kWelcome);
}

} // namespace velmora
