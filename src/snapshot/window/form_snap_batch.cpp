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
    // The folder comes from the "..." button only. Most styles draw a
    // read-only box like one that takes typing, which invites typing that is
    // then ignored; on the window's own colour it plainly shows a value.
    eLoc1_->setReadOnly(true);
    QPalette shown = eLoc1_->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        shown.setBrush(group, QPalette::Base, shown.brush(group, QPalette::Window));
    eLoc1_->setPalette(shown);
    eLoc1_->setToolTip(u"Choose the folder with the \"...\" button"_s);
    eLoc1_->setAccessibleName(u"Output folder for snapshots"_s);
    eLoc1_->setAccessibleDescription(u"Read-only; choose the folder with the \"...\" button"_s);
    eLoc1_->setMinimumWidth(320);
    folderLabel->setBuddy(eLoc1_);
    grid->addWidget(eLoc1_, 1, 0);
    bEditor1_ = new QPushButton(u"..."_s, this);
    bEditor1_->setObjectName(u"BEditor1"_s);
    bEditor1_->setAccessibleName(u"Choose output folder"_s);
    bEditor1_->setAutoDefault(false);
    grid->addWidget(bEditor1_, 1, 1);
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

    connect(bEditor1_, &QPushButton::clicked, this, &TFormSnapBatch::BEditor1Click);
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
    // The keyboard starts on the way to change the folder, not in the box,
    // where a caret would invite typing.
    bEditor1_->setFocus();
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
    const QFileInfo existing(QFileInfo(chosen).absoluteFilePath());
    if (existing.exists() && !existing.isDir()) {
        prompts_.ShowError(u"Not a folder: "_s + existing.absoluteFilePath());
        return;
    }
    if (!QFileInfo(folder).isDir()) {
        if (!prompts_.AskYesNo(u"The folder "_s + folder + u" does not exist."_s + kMessageBreak +
                               u"Create it ?"_s))
            return;
        if (!QDir().mkpath(folder)) {
            prompts_.ShowError(u"Cannot create the folder "_s + folder);
            return;
        }
    }
    // Every snapshot would fail at its first file; better said now.
    if (!QFileInfo(folder).isWritable()) {
        prompts_.ShowError(u"The folder "_s + folder + u" cannot be written to."_s);
        return;
    }
    eLoc1_->setText(folder);
    UpdateStart();
}

void TFormSnapBatch::BOKClick() {
    snapshotPath_ = eLoc1_->text();
    accept();
}

} // namespace velmora
