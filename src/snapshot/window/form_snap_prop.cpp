#include "snapshot/window/form_snap_prop.h"

#include "foundation/prompts.h"
#include "foundation/view_selection.h"
#include "pictures/resample.h"
#include "snapshot/window/form_snap_batch.h"
#include "snapshot/window/up_down.h"
#include "widgets/caption_panel.h"
#include "widgets/color_box.h"
#include "widgets/form_progress.h"
#include "widgets/wait_cursor.h"
#include "widgets/window_guards.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

const QStringList kSaveFilters{u"JPG File (True Color) (*.jpg)"_s,
                               u"BMP File (True Color) (*.bmp)"_s};

QPushButton *AddButton(QWidget *bar, const QString &caption, const QString &name,
                       const QString &hint) {
    auto *button = new QPushButton(caption, bar);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    bar->layout()->addWidget(button);
    return button;
}

QLabel *FieldLabel(const QString &text, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TFormSnapProp::TFormSnapProp(const SnapshotWindowServices &services, TSnapShotParams &params,
                             QString &snapshotPath, const SnapshotOpening &opening, QWidget *parent)
    : QDialog(parent), services_(services), params_(params), snapshotPath_(snapshotPath),
      opening_(opening),
      writer_(services.prompts, services.freeSpace, [this](const QString &t) { SetStatus(t); }) {
    setObjectName(u"FormSnapProp"_s);
    setWindowTitle(u"Snapshot Options"_s);
    setSizeGripEnabled(true);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    auto *row = new QHBoxLayout;
    row->addWidget(BuildSettingsColumn());

    auto *right = new QVBoxLayout;
    panelTreeTop_ = new QLabel(u"Snapshot - Set your preferences then click 'Preview'"_s, this);
    panelTreeTop_->setObjectName(u"PanelTreeTop"_s);
    // Named by its text, so that assistive tools read the status itself.
    panelTreeTop_->setAccessibleDescription(u"Snapshot status"_s);
    panelTreeTop_->setFrameShape(QFrame::Panel);
    panelTreeTop_->setFrameShadow(QFrame::Sunken);
    right->addWidget(panelTreeTop_);
    scrollBox1_ = new QScrollArea(this);
    scrollBox1_->setObjectName(u"ScrollBox1"_s);
    scrollBox1_->setAccessibleName(u"Snapshot preview"_s);
    scrollBox1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The cross-hatching tells the preview's empty area from the picture.
    QPalette hatched = scrollBox1_->viewport()->palette();
    hatched.setBrush(QPalette::Window, QBrush(QColor(0x80, 0x80, 0x80), Qt::DiagCrossPattern));
    scrollBox1_->viewport()->setPalette(hatched);
    scrollBox1_->viewport()->setAutoFillBackground(true);
    imgSaveLabel_ = new QLabel;
    imgSaveLabel_->setObjectName(u"ImgSave"_s);
    imgSaveLabel_->setAccessibleName(u"Snapshot picture"_s);
    imgSaveLabel_->setAttribute(Qt::WA_TranslucentBackground);
    scrollBox1_->setWidget(imgSaveLabel_);
    right->addWidget(scrollBox1_, 1);
    row->addLayout(right, 1);
    column->addLayout(row, 1);
    column->addWidget(BuildButtonBar());

    connect(rbCustom_, &QRadioButton::toggled, this, &TFormSnapProp::RBCustomClick);
    connect(bPreview_, &QPushButton::clicked, this, &TFormSnapProp::BPreviewClick);
    connect(bSave_, &QPushButton::clicked, this, &TFormSnapProp::BsaveClick);
    connect(bBatch_, &QPushButton::clicked, this, &TFormSnapProp::BBatchClick);
    connect(bClip_, &QPushButton::clicked, this, &TFormSnapProp::BClipClick);
}

TFormSnapProp::~TFormSnapProp() = default;

QWidget *TFormSnapProp::BuildSettingsColumn() {
    auto *settings = new QWidget(this);
    settings->setObjectName(u"SettingsColumn"_s);
    auto *column = new QVBoxLayout(settings);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new CaptionPanel(u" Output Size"_s, settings));
    column->addWidget(new CaptionPanel(u" Snapshot Base Size"_s, settings));
    column->addWidget(BuildBaseSizeArea(settings));
    auto *panel6 = new QWidget(settings);
    auto *scaleRow = new QHBoxLayout(panel6);
    udScale_ = new UpDownEdit(u"Percent"_s, 5, 100, 5, 3, panel6);
    udScale_->Edit()->setObjectName(u"EScale"_s);
    scaleRow->addWidget(FieldLabel(u"Percent (%):"_s, udScale_->Edit(), panel6));
    scaleRow->addWidget(udScale_);
    column->addWidget(panel6);
    column->addWidget(new CaptionPanel(u" Shadow & Border"_s, settings));
    column->addWidget(BuildShadowArea(settings));
    column->addStretch();
    return settings;
}

QWidget *TFormSnapProp::BuildBaseSizeArea(QWidget *parent) {
    auto *panel4 = new QWidget(parent);
    auto *grid = new QGridLayout(panel4);
    rbBrowser_ = new QRadioButton(u"Current browser size"_s, panel4);
    rbBrowser_->setObjectName(u"RBBrowser"_s);
    grid->addWidget(rbBrowser_, 0, 0, 1, 2);
    eViewWidth_ = new QLineEdit(panel4);
    eViewWidth_->setObjectName(u"EViewWidth"_s);
    eViewWidth_->setAccessibleName(u"Browser size"_s);
    eViewWidth_->setReadOnly(true);
    eViewWidth_->setFixedWidth(90);
    grid->addWidget(eViewWidth_, 0, 2);
    rbCustom_ = new QRadioButton(u"Custom browser size"_s, panel4);
    rbCustom_->setObjectName(u"RBCustom"_s);
    grid->addWidget(rbCustom_, 1, 0, 1, 3);
    udWidth_ = new UpDownEdit(u"Width"_s, 50, 2000, 50, 4, panel4);
    udWidth_->Edit()->setObjectName(u"EWidth"_s);
    udWidth_->Edit()->setText(u"800"_s);
    grid->addWidget(FieldLabel(u"Width:"_s, udWidth_->Edit(), panel4), 2, 0);
    grid->addWidget(udWidth_, 2, 1, 1, 2);
    udHeight_ = new UpDownEdit(u"Height"_s, 50, 3000, 50, 4, panel4);
    udHeight_->Edit()->setObjectName(u"EHeight"_s);
    udHeight_->Edit()->setText(u"600"_s);
    grid->addWidget(FieldLabel(u"Heigth:"_s, udHeight_->Edit(), panel4), 3, 0);
    grid->addWidget(udHeight_, 3, 1, 1, 2);
    return panel4;
}

QWidget *TFormSnapProp::BuildShadowArea(QWidget *parent) {
    auto *panel8 = new QWidget(parent);
    auto *form = new QFormLayout(panel8);
    rzColBG_ = new ColorBox(panel8, clNone);
    rzColBG_->setObjectName(u"RzColBG"_s);
    rzColBG_->setAccessibleName(u"Background Color"_s);
    form->addRow(u"Background Color:"_s, rzColBG_);
    rzColBShade_ = new ColorBox(panel8, clGray);
    rzColBShade_->setObjectName(u"RzColBShade"_s);
    rzColBShade_->setAccessibleName(u"Shadow Color"_s);
    form->addRow(u"Shadow Color:"_s, rzColBShade_);
    rzColBorder_ = new ColorBox(panel8, clBlue);
    rzColBorder_->setObjectName(u"RzColBorder"_s);
    rzColBorder_->setAccessibleName(u"Border Color"_s);
    form->addRow(u"Border Color:"_s, rzColBorder_);
    udShade_ = new UpDownEdit(u"Shadow Width"_s, 0, 30, 1, 2, panel8);
    udShade_->Edit()->setObjectName(u"EShade"_s);
    udShade_->SetReadOnly(true);
    form->addRow(u"Shadow Width:"_s, udShade_);
    udBorder_ = new UpDownEdit(u"Border Width"_s, 0, 30, 1, 2, panel8);
    udBorder_->Edit()->setObjectName(u"EBorder"_s);
    udBorder_->SetReadOnly(true);
    form->addRow(u"Border Width:"_s, udBorder_);
    cbCropVerti_ = new QCheckBox(u"Crop vert. Scrollbar"_s, panel8);
    cbCropVerti_->setObjectName(u"CBCropVerti"_s);
    form->addRow(cbCropVerti_);
    cbCropHori_ = new QCheckBox(u"Crop horiz. Scrollbar"_s, panel8);
    cbCropHori_->setObjectName(u"CBCropHori"_s);
    form->addRow(cbCropHori_);
    return panel8;
}

QWidget *TFormSnapProp::BuildButtonBar() {
    auto *panelBut = new QWidget(this);
    panelBut->setObjectName(u"PanelBut"_s);
    auto *row = new QHBoxLayout(panelBut);
    bPreview_ = AddButton(panelBut, u"Preview"_s, u"BPreview"_s, u"Make and show snapshot"_s);
    bSave_ = AddButton(panelBut, u"Save"_s, u"BSave"_s, u"Save snapshot as JPG or BMP file"_s);
    bBatch_ =
        AddButton(panelBut, u"Batch Export"_s, u"BBatch"_s, u"Save snapshot as JPG or BMP file"_s);
    bClip_ =
        AddButton(panelBut, u"Copy to clipboard"_s, u"BClip"_s, u"Copy snapshot to clipboard"_s);
    row->addStretch();
    return panelBut;
}

void TFormSnapProp::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFormSnapProp::FormShow() {
    const QWidget *main = opening_.placeOn;
    if (main && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) {
        const QRect frame = main->geometry();
        setGeometry(frame.left() + 14, frame.top() + 25, frame.width() - 28, frame.height() - 30);
    }
    const bool snapView = opening_.snapViewMode;
    rbCustom_->setChecked(!snapView);
    rbBrowser_->setEnabled(snapView);
    eViewWidth_->clear();
    if (snapView) {
        rbBrowser_->setChecked(true);
        params_.BrowserWidth = opening_.browserSize.width();
        params_.BrowserHeight = opening_.browserSize.height();
        eViewWidth_->setText(u"("_s + QString::number(params_.BrowserWidth) + u"x"_s +
                             QString::number(params_.BrowserHeight) + u")"_s);
    }
    udWidth_->SetPosition(params_.CustomWidth);
    udHeight_->SetPosition(params_.CustomHeight);
    rzColBG_->SetColor(params_.BGCol);
    rzColBShade_->SetColor(params_.ShadeCol);
    rzColBorder_->SetColor(params_.BorderCol);
    udScale_->SetPosition(params_.Scale);
    udShade_->SetPosition(params_.Shade);
    udBorder_->SetPosition(params_.Border);
    cbCropHori_->setChecked(params_.CropHori);
    cbCropVerti_->setChecked(params_.CropVerti);
    bSave_->setEnabled(false);
    bBatch_->setEnabled(params_.BatchMode);
    setWindowTitle(params_.BatchMode ? u"Snapshot Options for "_s +
                                           QString::number(params_.SelCount) + u" files"_s
                                     : u"Snapshot Options - (File: "_s + params_.FileName + u")"_s);
    RBCustomClick();
    if (TestInput())
        PaintSaveImg();
}

void TFormSnapProp::RBCustomClick() {
    udWidth_->SetEditEnabled(rbCustom_->isChecked());
    udHeight_->SetEditEnabled(rbCustom_->isChecked());
}

// Esc, the window's close button and every other way out end here.
void TFormSnapProp::done(int result) {
    if (busy_)
        return; // a capture is under way; the window goes when it is done
    FormClose();
    QDialog::done(result);
}

void TFormSnapProp::FormClose() {
    params_.BatchMode = false;
    imgBig_ = QImage();
    imgSave_ = Picture();
    imgSaveLabel_->clear();
}

bool TFormSnapProp::TestInput() {
    SnapshotInput input;
    input.custom = rbCustom_->isChecked();
    input.width = udWidth_->Edit()->text();
    input.height = udHeight_->Edit()->text();
    input.scale = udScale_->Edit()->text();
    input.shade = udShade_->Edit()->text();
    input.border = udBorder_->Edit()->text();
    input.cropVerti = cbCropVerti_->isChecked();
    input.cropHori = cbCropHori_->isChecked();
    input.bgCol = rzColBG_->Color();
    input.shadeCol = rzColBShade_->Color();
    input.borderCol = rzColBorder_->Color();
    if (const std::optional<QString> message = velmora::TestInput(input, params_)) {
        services_.prompts.ShowInfo(*message);
        return false;
    }
    return true;
}

void TFormSnapProp::SetStatus(const QString &text) {
    panelTreeTop_->setText(text);
    panelTreeTop_->repaint();
}

QString TFormSnapProp::StatusText() const {
    return panelTreeTop_->text();
}

TFormSnapProp::Shot TFormSnapProp::DoTheShot(const QString &pagePath, QString *error) {
    // Snap View captures what the browser shows, whether or not the file
    // it came from is still there.
    if (!opening_.snapViewMode && !QFileInfo(pagePath).isFile())
        return Shot::NoPage;
    const SnapshotGeometry &geometry = params_.Geometry;
    QString reason;
    bool made = false;
    {
        const QScopedValueRollback busy(busy_, true);
        const WaitCursor wait;
        SetStatus(u"Creating Snapshot image ..."_s);
        const CaptureRequest request{geometry.Base, geometry.VCrop, geometry.HCrop,
                                     opening_.snapViewMode};
        Picture capture;
        if (!services_.capture)
            reason = u"Pages cannot be captured in this program."_s;
        else if (services_.capture(pagePath, request, &capture, &reason))
            made = ScaleCapture(std::move(capture), &reason);
    }
    return ComposeShot(made, reason, error);
}

TFormSnapProp::Shot TFormSnapProp::ShotOfCapture(const QString &pagePath, bool captured,
                                                 const Picture &capture, const QString &reason,
                                                 QString *error) {
    // A page gone since its selection: whatever was captured of it is
    // passed over, as DoTheShot does before capturing.
    if (!QFileInfo(pagePath).isFile())
        return Shot::NoPage;
    QString why = reason;
    bool made = false;
    if (captured) {
        const QScopedValueRollback busy(busy_, true);
        made = ScaleCapture(capture, &why);
    }
    return ComposeShot(made, why, error);
}

bool TFormSnapProp::ScaleCapture(Picture capture, QString *reason) {
    SetStatus(u"Resizing Snapshot ..."_s);
    const ResampleFilter &filter = ResampleFilterTable[size_t(params_.FilterIndex)];
    QImage scaled(params_.Geometry.PageSize(), kPictureFormat);
    try {
        ResampleImage(capture, scaled, filter.Kernel, filter.Support);
    } catch (const ResampleError &failure) {
        *reason = QString::fromUtf8(failure.what());
        return false;
    }
    imgBig_ = std::move(scaled);
    return true;
}

TFormSnapProp::Shot TFormSnapProp::ComposeShot(bool made, const QString &reason, QString *error) {
    if (!made) {
        // The earlier picture stays; the status line no longer says "Creating".
        SetStatus(u" "_s);
        if (error)
            *error = reason.isEmpty() ? u"The page could not be captured."_s : reason;
        return Shot::Failed;
    }
    PaintSaveImg();
    return Shot::Done;
}

void TFormSnapProp::PaintSaveImg() {
    imgSave_ = velmora::PaintSaveImg(params_.Geometry, params_.Style(), imgBig_);
    ShowImgSave();
}

void TFormSnapProp::ShowImgSave() {
    imgSaveLabel_->setPixmap(QPixmap::fromImage(imgSave_));
    imgSaveLabel_->resize(imgSave_.size());
}

void TFormSnapProp::BPreviewClick() {
    if (busy_ || !TestInput())
        return;
    if (params_.BatchMode) {
        const QStringList files = SelectedFiles();
        if (files.isEmpty())
            return;
        params_.FileName = files.first();
    }
    QString error;
    const Shot shot = DoTheShot(params_.FileName, &error);
    if (shot == Shot::Failed)
        services_.prompts.ShowError(u"No snapshot of "_s + params_.FileName + u": "_s + error);
    if (shot != Shot::Done)
        return;
    if (params_.BatchMode) {
        SetStatus(BatchPreviewStatus(params_));
    } else {
        bSave_->setEnabled(true);
        SetStatus(SinglePreviewStatus(params_));
    }
}

void TFormSnapProp::BsaveClick() {
    const QString proposed =
        snapshotPath_ + SnapshotFileName(params_.FileName, SnapshotExtension(saveFilterIndex_));
    int index = saveFilterIndex_;
    const QString chosen = services_.dialogs.GetSaveFileNameFiltered(u"Save snapshot"_s, proposed,
                                                                     kSaveFilters, &index);
    if (chosen.isEmpty())
        return;
    saveFilterIndex_ = index == kSnapshotBmp ? kSnapshotBmp : kSnapshotJpeg;
    params_.OutType = saveFilterIndex_;
    const QFileInfo name(chosen);
    const QString path = MakeFileName(name.absolutePath(), name.fileName(),
                                      SnapshotExtension(saveFilterIndex_), services_.prompts);
    writer_.SaveSnapshot(imgSave_, path, params_.OutType, false);
    // An invalid name gives no path: the folder of the last snapshot stays
    // (its "folder" would be the root folder otherwise).
    if (!path.isEmpty())
        snapshotPath_ = WithBackslash(QFileInfo(path).absolutePath());
}

bool TFormSnapProp::RunBatchOptions() {
    if (batchOptions_)
        return batchOptions_();
    TFormSnapBatch batch(services_.prompts, services_.dialogs, params_, snapshotPath_, this);
    return batch.exec() == QDialog::Accepted;
}

// The selected files are taken before the run: while events are processed
// between files the view may refill, and the run must not wander to others.
QStringList TFormSnapProp::SelectedFiles() const {
    QStringList files;
    for (const ViewFile &file : SelectedViewFiles(services_.selection))
        files << file.path;
    return files;
}

void TFormSnapProp::BBatchClick() {
    if (busy_ || !TestInput())
        return;
    PaintSaveImg();
    if (!RunBatchOptions())
        return;
    repaint();
    // A folder that cannot be made fails at the first file, with the reason.
    QDir().mkpath(snapshotPath_);
    const BatchRun run = ExportFiles(SelectedFiles());
    SetStatus(BatchEndStatus(run.end, run.done, params_.SelCount));
}

QString TFormSnapProp::BatchEndStatus(BatchEnd end, int done, int count) {
    const QString tally =
        u" ("_s + QString::number(done) + u" of "_s + QString::number(count) + u" pages done)"_s;
    switch (end) {
    case BatchEnd::Completed:
        return u"Snapshots done ..."_s;
    case BatchEnd::Cancelled:
        return u"Snapshots cancelled ..."_s + tally;
    case BatchEnd::Failed:
        break;
    }
    return u"Snapshots stopped by an error ..."_s + tally;
}

TFormSnapProp::BatchRun TFormSnapProp::ExportFiles(const QStringList &files) {
    std::unique_ptr<ProgressWindow> progress =
        services_.progressWindows ? services_.progressWindows() : std::make_unique<TFormProgress>();
    // This window is modal: a window of its own beside it would take no
    // click nor key, and its stop button would do nothing. Modal above it,
    // the progress window is the one window that acts during the run.
    if (auto *window = dynamic_cast<QWidget *>(progress.get()))
        window->setWindowModality(Qt::ApplicationModal);
    progress->InitProgBar(params_.SelCount);
    const DisabledWindow disabled(this);
    const ShownProgress shown(*progress);
    BatchRun run;
    if (CanExportSeveralAtOnce(files))
        ExportSeveralAtOnce(files, *progress, run);
    else
        ExportOneByOne(files, *progress, run);
    return run;
}

void TFormSnapProp::ExportOneByOne(const QStringList &files, ProgressWindow &progress,
                                   BatchRun &run) {
    for (const QString &file : files) {
        progress.SetText(BatchProgressText(run.done + 1, params_.SelCount, file));
        QString error;
        const Shot shot = DoTheShot(file, &error);
        if (!FinishBatchPage(file, shot, error, progress, int(files.size()), run))
            return;
    }
}

// Snap View takes the one view the browser shows, which no other process has.
bool TFormSnapProp::CanExportSeveralAtOnce(const QStringList &files) const {
    const SnapshotBatchCapture &batch = services_.batchCapture;
    return !opening_.snapViewMode && files.size() > 1 && batch.usable && batch.run &&
           batch.usable(files);
}

// The pages are captured elsewhere, several at once; here each is resampled,
// composed and written in page order as the one-by-one run does, while the
// captures of the next pages go on.
void TFormSnapProp::ExportSeveralAtOnce(const QStringList &files, ProgressWindow &progress,
                                        BatchRun &run) {
    const SnapshotGeometry &geometry = params_.Geometry;
    const CaptureRequest request{geometry.Base, geometry.VCrop, geometry.HCrop, false};
    const QScopedValueRollback busy(busy_, true);
    bool ended = false;
    const auto turnOf = [&](int index) {
        progress.SetText(BatchProgressText(run.done + 1, params_.SelCount, files[index]));
        SetStatus(u"Creating Snapshot image ..."_s);
    };
    const auto captured = [&](int index, bool ok, const Picture &picture, const QString &reason) {
        if (ended)
            return;
        const QString &file = files[index];
        QString error;
        const Shot shot = ShotOfCapture(file, ok, picture, reason, &error);
        if (!FinishBatchPage(file, shot, error, progress, int(files.size()), run))
            ended = true;
        else if (index + 1 < files.size())
            turnOf(index + 1);
    };
    turnOf(0);
    services_.batchCapture.run(files, request, captured, [&] { return ended; });
}

bool TFormSnapProp::FinishBatchPage(const QString &file, Shot shot, const QString &error,
                                    ProgressWindow &progress, int count, BatchRun &run) {
    if (shot == Shot::Failed) {
        services_.prompts.ShowError(u"No snapshot of "_s + file + u": "_s + error);
        run.end = BatchEnd::Failed;
        return false;
    }
    // A page gone since its selection gets no file: writing the picture
    // in hand would save another page's snapshot under its name. It is
    // passed all the same, and counts.
    if (shot == Shot::Done) {
        const QString out = snapshotPath_ + SnapshotFileName(file, params_.BatchExt);
        bool cancelled = false;
        if (!writer_.SaveSnapshot(imgSave_, out, params_.OutType, true, &cancelled)) {
            run.end = cancelled ? BatchEnd::Cancelled : BatchEnd::Failed;
            return false;
        }
    }
    ++run.done;
    progress.Step();
    // Here the stop button and the keys of the progress window act.
    QCoreApplication::processEvents();
    if (progress.StopRequested()) {
        if (run.done < count)
            run.end = BatchEnd::Cancelled;
        return false;
    }
    return true;
}

void TFormSnapProp::BClipClick() {
    const WaitCursor wait;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(ToPicture(imgSave_));
}

} // namespace velmora
