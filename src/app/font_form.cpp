#include "app/font_form.h"

#include "render/page_view.h"
#include "widgets/color_box.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

const QString kFontSampleHtml =
    u"<center><h1>Heading</h1></center><ul>Some normal text.<li><a href=NoWhere>HotSpot "
    u"Item</a><li><b>Bold Text</b><li><i>Italicized Text</i><li><code>Code Text</code></ul> "
    u"<hr>"_s;

namespace {

constexpr QSize kClientSize(327, 329);

ViewOptions SampleViewOptions() {
    ViewOptions options;
    options.historyLength = 0;
    return options;
}

} // namespace

TFontForm::TFontForm(RenderProfile &profile, const QStringList &fontFamilies, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      model_(FontListEntries(fontFamilies)) {
    setObjectName(u"FontForm"_s);
    setWindowTitle(u"Browser Settings"_s);
    setFixedSize(kClientSize);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(BuildChoices());

    fontViewer_ = new PageView(profile, SampleViewOptions(), this);
    fontViewer_->setObjectName(u"FontViewer"_s);
    fontViewer_->setAccessibleName(u"Sample"_s);
    // The sample's link leads nowhere: clicking it keeps the sample.
    connect(fontViewer_, &PageView::LinkClicked, this,
            [](const LinkInfo &, bool *cancel) { *cancel = true; });
    layout->addWidget(fontViewer_, 1);
    layout->addWidget(BuildButtons());
    ShowValues();
}

TFontForm::~TFontForm() = default;

QWidget *TFontForm::BuildChoices() {
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);

    auto *fontLabel = new QLabel(u"Default Font"_s, box);
    grid->addWidget(fontLabel, 0, 0);
    fontListBox_ = new QListWidget(box);
    fontListBox_->setObjectName(u"FontListBox"_s);
    fontListBox_->setAccessibleName(u"Default Font"_s);
    fontListBox_->addItems(model_.FontList());
    fontLabel->setBuddy(fontListBox_);
    connect(fontListBox_, &QListWidget::currentTextChanged, this, [this](const QString &entry) {
        if (showing_ || entry.isEmpty())
            return;
        model_.SelectFont(entry);
        ShowSample();
    });
    grid->addWidget(fontListBox_, 1, 0, 9, 1);

    auto *sizeLabel = new QLabel(u"Font &Size"_s, box);
    grid->addWidget(sizeLabel, 0, 1);
    fontSizeEdit_ = new QSpinBox(box);
    fontSizeEdit_->setObjectName(u"FontSizeEdit"_s);
    fontSizeEdit_->setAccessibleName(u"Font Size"_s);
    fontSizeEdit_->setRange(BrowserSettingsModel::kMinFontSize, BrowserSettingsModel::kMaxFontSize);
    sizeLabel->setBuddy(fontSizeEdit_);
    connect(fontSizeEdit_, &QSpinBox::valueChanged, this, [this](int points) {
        if (showing_)
            return;
        model_.SetFontSize(points);
        ShowSample();
    });
    grid->addWidget(fontSizeEdit_, 1, 1);

    rzFontColor_ = AddColorBox(u"RzFontColor"_s, u"&Font Color"_s, grid, 2,
                               &BrowserSettingsModel::SetFontColor);
    rzLinkColor_ = AddColorBox(u"RzLinkColor"_s, u"&Link Color"_s, grid, 4,
                               &BrowserSettingsModel::SetLinkColor);
    rzBGColor_ = AddColorBox(u"RzBGColor"_s, u"&Background"_s, grid, 6,
                             &BrowserSettingsModel::SetBackgroundColor);
    const int row = 8;

    cbShowImages_ = new QCheckBox(u"Show Images"_s, box);
    cbShowImages_->setObjectName(u"CBShowImages"_s);
    cbShowImages_->setAccessibleName(u"Show Images"_s);
    connect(cbShowImages_, &QCheckBox::toggled, this, [this](bool show) {
        if (showing_)
            return;
        model_.SetShowImages(show);
        ShowSample();
    });
    grid->addWidget(cbShowImages_, row, 1);
    grid->setColumnStretch(0, 1);
    return box;
}

// A caption at row and its colour box under it, in the right column.
ColorBox *TFontForm::AddColorBox(const QString &name, const QString &caption, QGridLayout *grid,
                                 int row, void (BrowserSettingsModel::*set)(ColorRef)) {
    QWidget *parent = grid->parentWidget();
    auto *label = new QLabel(caption, parent);
    auto *colors = new ColorBox(parent);
    colors->setObjectName(name);
    colors->setAccessibleName(QString(caption).remove(u'&'));
    label->setBuddy(colors);
    grid->addWidget(label, row, 1);
    grid->addWidget(colors, row + 1, 1);
    connect(colors, &ColorBox::ColorChosen, this, [this, set](ColorRef color) {
        (model_.*set)(color);
        ShowSample();
    });
    return colors;
}

QWidget *TFontForm::BuildButtons() {
    auto *strip = new QWidget(this);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    auto *reset = new QPushButton(u"&Reset"_s, strip);
    reset->setObjectName(u"ResetButton"_s);
    reset->setAccessibleName(u"Reset"_s);
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, &TFontForm::ResetButtonClick);
    okButton_ = new QPushButton(u"O&K"_s, strip);
    okButton_->setObjectName(u"OKButton"_s);
    okButton_->setAccessibleName(u"OK"_s);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    auto *cancel = new QPushButton(u"Cancel"_s, strip);
    cancel->setObjectName(u"Cancel"_s);
    cancel->setAccessibleName(u"Cancel"_s);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(reset);
    row->addStretch(1);
    row->addWidget(okButton_);
    row->addWidget(cancel);
    return strip;
}

void TFontForm::SetBrowserValues(const DisplaySettings &browser) {
    model_.Receive(browser);
    ShowValues();
}

void TFontForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    model_.TakeResetCopy();
    okButton_->setFocus();
}

void TFontForm::ResetButtonClick() {
    model_.Reset();
    ShowValues();
}

void TFontForm::ShowValues() {
    showing_ = true;
    const DisplaySettings &values = model_.Working();
    const QList<QListWidgetItem *> found =
        fontListBox_->findItems(model_.SelectedFont(), Qt::MatchExactly);
    if (model_.SelectedFont().isEmpty() || found.isEmpty()) {
        fontListBox_->setCurrentRow(-1);
    } else {
        fontListBox_->setCurrentItem(found.first());
        fontListBox_->scrollToItem(found.first());
    }
    fontSizeEdit_->setValue(values.fontSize);
    rzFontColor_->SetColor(values.fontColor);
    rzLinkColor_->SetColor(values.linkColor);
    rzBGColor_->SetColor(values.backgroundColor);
    cbShowImages_->setChecked(values.showImages);
    showing_ = false;
    ShowSample();
}

void TFontForm::ShowSample() {
    fontViewer_->SetDisplay(model_.Working());
    fontViewer_->LoadHtml(kFontSampleHtml);
}

bool TFontForm::RunOn(PageView &browser, RenderProfile &profile, QWidget *parent) {
    const DisplaySettings shown = browser.Display();
    const QString drawnWith = QFontInfo(QFont(shown.fontName)).family();
    const QString systemDrawnWith = QFontInfo(QFont(kSystemFontName)).family();
    TFontForm form(profile,
                   WithSubstitutedFamily(QFontDatabase::families(), shown.fontName, drawnWith,
                                         systemDrawnWith),
                   parent);
    form.SetBrowserValues(shown);
    if (form.exec() != QDialog::Accepted)
        return false;
    browser.SetDisplay(form.Result());
    browser.Rerender();
    return true;
}

} // namespace velmora
