#include "app/general_options.h"

#include "foundation/prompts.h"
#include "foundation/settings.h"
#include "widgets/window_placement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kLocationWidth = 220;
constexpr int kParamWidth = 90;
constexpr int kDescriptWidth = 160;

QString RowName(int n) {
    return u"Application"_s + QString::number(n);
}

QLineEdit *RowEdit(QWidget *parent, const QString &name, const QString &accessibleName, int width) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setMinimumWidth(width);
    return edit;
}

} // namespace

TFormGenOpt::TFormGenOpt(Settings &settings, Prompts &prompts, FileDialogs &dialogs,
                         QWidget *parent, const QStringList &styleNames)
    : QDialog(parent), settings_(settings), prompts_(prompts), dialogs_(dialogs) {
    setObjectName(u"FormGenOpt"_s);
    setWindowTitle(u"General Options"_s);
    auto *column = new QVBoxLayout(this);
    column->addWidget(BuildApplicationsGroup());
    column->addWidget(BuildOptionsGroup());
    column->addWidget(BuildStyleRow(styleNames));
    column->addWidget(BuildButtonStrip());
    // A dialog border: the size the contents ask for, not resizable.
    column->setSizeConstraint(QLayout::SetFixedSize);
    FormShow();
}

QWidget *TFormGenOpt::BuildApplicationsGroup() {
    auto *group = new QGroupBox(u"External Applications Configuration: "_s, this);
    group->setObjectName(u"GroupBox1"_s);
    auto *grid = new QGridLayout(group);
    const QStringList titles{u"Program Location:"_s, u"Parameters:"_s, u"Description:"_s};
    for (int c = 0; c < titles.size(); ++c)
        grid->addWidget(new QLabel(titles[c], group), 0, c + 1);
    for (int n = 1; n <= int(rows_.size()); ++n) {
        const QString row = RowName(n);
        auto *label = new QLabel(row, group);
        AppRow &r = rows_[size_t(n - 1)];
        // Six rows of the same three columns: each box is named by its row
        // and its column title, so a screen reader tells them apart.
        r.location = RowEdit(group, u"ELoc"_s + QString::number(n), row + u" Program Location"_s,
                             kLocationWidth);
        r.param =
            RowEdit(group, u"EParam"_s + QString::number(n), row + u" Parameters"_s, kParamWidth);
        r.descript = RowEdit(group, u"EDescr"_s + QString::number(n), row + u" Description"_s,
                             kDescriptWidth);
        label->setBuddy(r.location);
        auto *browse = new QPushButton(u"..."_s, group);
        browse->setObjectName(u"BEditor"_s + QString::number(n));
        browse->setAccessibleName(u"Choose program for "_s + row);
        browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(u"...."_s) + 16);
        connect(browse, &QPushButton::clicked, this, [this, n] { BEditorClick(n); });
        grid->addWidget(label, n, 0);
        grid->addWidget(r.location, n, 1);
        grid->addWidget(r.param, n, 2);
        grid->addWidget(r.descript, n, 3);
        grid->addWidget(browse, n, 4);
    }
    return group;
}

QCheckBox *TFormGenOpt::AddCheckBox(QWidget *parent, const QString &name, const QString &caption) {
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QWidget *TFormGenOpt::BuildOptionsGroup() {
    auto *group = new QGroupBox(u"Other Options: "_s, this);
    group->setObjectName(u"GroupBox2"_s);
    auto *grid = new QGridLayout(group);
    cbDoColorTags_ = AddCheckBox(group, u"CBDoColorTags"_s, u"Enable editor syntax coloring"_s);
    cbShowHints_ = AddCheckBox(group, u"CBShowHints"_s, u"Show Hints"_s);
    cbOpenOnSingleClick_ =
        AddCheckBox(group, u"CBOpenOnSingleClick"_s, u"Change folder on single click"_s);
    cbDoShowFileIcons_ =
        AddCheckBox(group, u"CBDoShowFileIcons"_s, u"Show file icons in folder view"_s);
    grid->addWidget(cbDoColorTags_, 0, 0);
    grid->addWidget(cbShowHints_, 0, 1);
    grid->addWidget(cbOpenOnSingleClick_, 1, 0);
    grid->addWidget(cbDoShowFileIcons_, 1, 1);
    cbDoShowLineNumbers_ = AddCheckBox(group, u"CBDoShowLineNumbers"_s, u"Line numbers"_s);
    grid->addWidget(cbDoShowLineNumbers_, 2, 0);
    return group;
}

// The formatter style the editor's Format uses: one of the style folders.
QWidget *TFormGenOpt::BuildStyleRow(const QStringList &styleNames) {
    auto *strip = new QWidget(this);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    cbStyleName_ = new QComboBox(strip);
    cbStyleName_->setObjectName(u"CBStyleName"_s);
    cbStyleName_->setAccessibleName(u"Formatter style"_s);
    cbStyleName_->addItems(styleNames);
    auto *label = new QLabel(u"&Formatter style:"_s, strip);
    label->setBuddy(cbStyleName_);
    row->addWidget(label);
    row->addWidget(cbStyleName_);
    row->addStretch();
    return strip;
}

// OK and Cancel, and the switch for the trash: it is loaded and stored like
// the others, but never shown, since deleted files never go to the trash.
QWidget *TFormGenOpt::BuildButtonStrip() {
    auto *strip = new QWidget(this);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    cbDoRecycleBin_ = AddCheckBox(strip, u"CBDoRecycleBin"_s, u"Use trash for deleted files"_s);
    cbDoRecycleBin_->setVisible(false);
    row->addWidget(cbDoRecycleBin_);
    row->addStretch();
    auto *ok = new QPushButton(u"OK"_s, strip);
    ok->setObjectName(u"BOK"_s);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TFormGenOpt::BOKClick);
    auto *cancel = new QPushButton(u"Cancel"_s, strip);
    cancel->setObjectName(u"BCancel"_s);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(ok);
    row->addWidget(cancel);
    return strip;
}

void TFormGenOpt::FormShow() {
    for (size_t i = 0; i < rows_.size(); ++i) {
        const TExtEditor &app = settings_.ExtApps[i];
        rows_[i].location->setText(app.Location);
        rows_[i].param->setText(app.Param);
        rows_[i].descript->setText(app.Descript);
    }
    cbDoColorTags_->setChecked(settings_.DoColorTags);
    cbDoRecycleBin_->setChecked(settings_.DoRecycleBin);
    cbShowHints_->setChecked(settings_.DoShowHints);
    cbOpenOnSingleClick_->setChecked(settings_.DoOpenOnSingleClick);
    cbDoShowFileIcons_->setChecked(settings_.DoShowFileIcons);
    // A stored name that is no longer among the styles is still shown, so
    // that OK does not change it unasked.
    if (cbStyleName_->findText(settings_.StyleName) < 0)
        cbStyleName_->addItem(settings_.StyleName);
    cbStyleName_->setCurrentText(settings_.StyleName);
    cbDoShowLineNumbers_->setChecked(settings_.DoShowLineNumbers);
}

// The dialog opens in the middle of the screen, not of the main window.
void TFormGenOpt::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    CentreOnScreen(this);
}

// Only a program can be launched: a file without the right to run it, or
// anything that is not a file, is refused and the row keeps its text.
void TFormGenOpt::BEditorClick(int n) {
    if (n < 1 || n > int(rows_.size()))
        return;
    QLineEdit *location = rows_[size_t(n - 1)].location;
    const QFileInfo current(location->text());
    const QString start = current.isAbsolute() ? current.absolutePath() : QString();
    const QString chosen = dialogs_.GetOpenFileName(u"Choose the program of "_s + RowName(n), start,
                                                    u"Application (*)"_s);
    if (chosen.isEmpty())
        return;
    const QFileInfo file(chosen);
    if (!file.isFile() || !file.isExecutable()) {
        prompts_.ShowInfo(u"This file is not a program that can be started:"_s + kMessageBreak +
                          chosen + kMessageBreak + kMessageBreak +
                          u"Please choose an executable file."_s);
        return;
    }
    location->setText(file.absoluteFilePath());
}

void TFormGenOpt::BOKClick() {
    for (size_t i = 0; i < rows_.size(); ++i) {
        TExtEditor &app = settings_.ExtApps[i];
        app.Location = rows_[i].location->text();
        app.Param = rows_[i].param->text();
        app.Descript = rows_[i].descript->text();
        app.Exists = ExternalAppExists(app.Location);
    }
    settings_.DoColorTags = cbDoColorTags_->isChecked();
    settings_.DoRecycleBin = cbDoRecycleBin_->isChecked();
    settings_.DoShowHints = cbShowHints_->isChecked();
    settings_.DoOpenOnSingleClick = cbOpenOnSingleClick_->isChecked();
    settings_.DoShowFileIcons = cbDoShowFileIcons_->isChecked();
    settings_.StyleName = cbStyleName_->currentText();
    settings_.DoShowLineNumbers = cbDoShowLineNumbers_->isChecked();
    accept();
}

} // namespace velmora
