#include "snapshot/window/form_snap_batch.h"

#include "foundation/file_utils.h"
#include "foundation/prompts.h"
#include "foundation/text_utils.h"
#include "snapshot/snapshot_params.h"
#include "widgets/window_placement.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// The entries of the format box with the masks they stand for.
struct FormatEntry {
    const char16_t *text;
    const char16_t *mask;
};
constexpr FormatEntry kFormats[] = {{u"Create JPG files", u"*.JPG"},
                                    {u"Create BMP files", u"*.BMP"}};

} // namespace

TFormSnapBatch::TFormSnapBatch(Prompts &prompts, FileDialogs &dialogs, TSnapShotParams &params,
                               QString &snapshotPath, QWidget *parent)
    : QDialog(parent), prompts_(prompts), dialogs_(dialogs), params_(params),
      snapshotPath_(snapshotPath) {
    setObjectName(u"FormSnapBatch"_s);
    setWindowTitle(u"Batch export options"_s);
    auto *grid = new QGridLayout(this);
    auto *folderLabel = new QLabel(u"Output folder for snapshots:"_s, this);
    grid->addWidget(folderLabel, 0, 0, 1, 2);
    eLoc1_ = new QLineEdit(this);
    eLoc1_->setObjectName(u"ELoc1"_s);
    eLoc1_->setReadOnly(true);
    eLoc1_->setAccessibleName(u"Output folder for snapshots"_s);
    eLoc1_->setMinimumWidth(320);
    folderLabel->setBuddy(eLoc1_);
    grid->addWidget(eLoc1_, 1, 0);
    auto *bEditor1 = new QPushButton(u"..."_s, this);
    bEditor1->setObjectName(u"BEditor1"_s);
    bEditor1->setAccessibleName(u"Choose output folder"_s);
    bEditor1->setAutoDefault(false);
    grid->addWidget(bEditor1, 1, 1);
    auto *formatLabel = new QLabel(u"Output file format:"_s, this);
    grid->addWidget(formatLabel, 2, 0, 1, 2);
    filterComboBox1_ = new QComboBox(this);
    filterComboBox1_->setObjectName(u"FilterComboBox1"_s);
    filterComboBox1_->setAccessibleName(u"Output file format"_s);
    for (const FormatEntry &entry : kFormats)
        filterComboBox1_->addItem(QString::fromUtf16(entry.text), QString::fromUtf16(entry.mask));
    formatLabel->setBuddy(filterComboBox1_);
    grid->addWidget(filterComboBox1_, 3, 0, 1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    bOk_ = new QPushButton(u"Start"_s, this);
    bOk_->setObjectName(u"BOK"_s);
    bOk_->setAccessibleName(u"Start"_s);
    bOk_->setDefault(true);
    auto *bCancel = new QPushButton(u"Cancel"_s, this);
    bCancel->setObjectName(u"BCancel"_s);
    bCancel->setAccessibleName(u"Cancel"_s);
    buttons->addWidget(bOk_);
    buttons->addWidget(bCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(bEditor1, &QPushButton::clicked, this, &TFormSnapBatch::BEditor1Click);
    connect(filterComboBox1_, &QComboBox::currentIndexChanged, this,
            &TFormSnapBatch::FilterComboBox1Change);
    connect(bOk_, &QPushButton::clicked, this, &TFormSnapBatch::BOKClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormSnapBatch::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
    CentreOnScreen(this);
}

void TFormSnapBatch::FormShow() {
    setWindowTitle(u"Export "_s + QString::number(params_.SelCount) + u" snapshots"_s);
    eLoc1_->setText(snapshotPath_);
    UpdateStart();
    FilterComboBox1Change();
}

void TFormSnapBatch::UpdateStart() {
    bOk_->setEnabled(!IsBlank(eLoc1_->text()));
}

void TFormSnapBatch::FilterComboBox1Change() {
    params_.BatchExt = filterComboBox1_->currentData().toString().toLower().remove(u'*');
    params_.OutType = params_.BatchExt == u".jpg"_s ? kSnapshotJpeg : kSnapshotBmp;
}

// The folder dialog can name a folder that is not there yet (typed in); it is
// created once the user agrees.
void TFormSnapBatch::BEditor1Click() {
    const QString chosen =
        dialogs_.GetExistingDirectory(u"Output folder for snapshots"_s, snapshotPath_);
    if (chosen.isEmpty())
        return;
    const QString folder = WithBackslash(QFileInfo(chosen).absoluteFilePath());
    if (!QFileInfo(folder).isDir()) {
        if (!prompts_.AskYesNo(u"The folder "_s + folder + u" does not exist."_s + kMessageBreak +
                               u"Create it ?"_s))
            return;
        if (!QDir().mkpath(folder)) {
            prompts_.ShowError(u"Cannot create the folder "_s + folder);
            return;
        }
    }
    eLoc1_->setText(folder);
    UpdateStart();
}

void TFormSnapBatch::BOKClick() {
    snapshotPath_ = eLoc1_->text();
    accept();
}

} // namespace velmora
