#pragma once
// The snapshot options window ("Snapshot Options"): base size, scale, shadow
// and border, the scroll-bar crops, a status line, the preview of the
// snapshot, and the commands Preview, Save, Batch Export and Copy to
// clipboard. It is opened modally for the selected files of the active view,
// or for what the internal browser shows (Snap View).

#include "foundation/file_utils.h"
#include "foundation/progress_window.h"
#include "pictures/capture_request.h"
#include "pictures/picture.h"
#include "snapshot/snapshot_input.h"
#include "snapshot/snapshot_output.h"
#include "snapshot/snapshot_params.h"

#include <QDialog>
#include <QSize>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace velmora {

class ColorBox;
class FileDialogs;
class Prompts;
class UpDownEdit;
class ViewSelection;

using SnapshotCaptureFunction = std::function<bool(
    const QString &pagePath, const CaptureRequest &request, Picture *, QString *error)>;

// Told of each page's capture, in page order: the picture, or why none came.
using SnapshotCaptured =
    std::function<void(int index, bool ok, const Picture &picture, const QString &error)>;

// Captures of several pages at once for the batch export. usable says
// whether pages can be captured this way at all; run captures them as
// request says, reporting each in page order while the others are being
// captured, and events are processed meanwhile. Once stopRequested says so
// no page more is captured and nothing more is reported.
struct SnapshotBatchCapture {
    std::function<bool(const QStringList &pages)> usable;
    std::function<void(const QStringList &pages, const CaptureRequest &request,
                       const SnapshotCaptured &captured,
                       const std::function<bool()> &stopRequested)>
        run;
};

struct SnapshotWindowServices {
    Prompts &prompts;
    FileDialogs &dialogs;
    const ViewSelection &selection;
    SnapshotCaptureFunction capture;
    FreeSpaceQuery freeSpace = FreeSpaceOfVolume;
    // Empty gives the real progress window (TFormProgress).
    ProgressWindowFactory progressWindows = {};
    // Empty: the batch export captures one page after the other.
    SnapshotBatchCapture batchCapture = {};
};

// How the window is opened: from the main window, or for Snap View with the
// internal browser's view size, which "Current browser size" then stands for.
struct SnapshotOpening {
    bool snapViewMode = false;
    QSize browserSize;
    // The window is placed on this one (the main window); may be null.
    QWidget *placeOn = nullptr;
};

class TFormSnapProp final : public QDialog {
    Q_OBJECT
public:
    // params and snapshotPath are the program's: the window fills itself from
    // them when shown, and its checks and commands write them back.
    TFormSnapProp(const SnapshotWindowServices &services, TSnapShotParams &params,
                  QString &snapshotPath, const SnapshotOpening &opening, QWidget *parent);
    ~TFormSnapProp() override;

    // Reads and checks the controls into the params (messages as info boxes).
    bool TestInput();
    enum class Shot { Done, NoPage, Failed };
    // Captures pagePath, resamples it to the page size and composes ImgSave.
    // A page that is gone changes nothing (except in Snap View, which takes
    // the browser's view as it is); a failed capture leaves the
    // previous picture and reports the reason in *error.
    Shot DoTheShot(const QString &pagePath, QString *error = nullptr);
    // Composes ImgSave from the geometry, the colours and the scaled page in
    // hand (none: the frame alone).
    void PaintSaveImg();

    void BPreviewClick();
    void BsaveClick();
    void BBatchClick();
    void BClipClick();

    const Picture &ImgSave() const { return imgSave_; }
    QString StatusText() const;
    // Replaces the batch dialog (tests); true means Start.
    void SetBatchOptions(std::function<bool()> batchOptions) {
        batchOptions_ = std::move(batchOptions);
    }

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QWidget *BuildSettingsColumn();
    QWidget *BuildBaseSizeArea(QWidget *parent);
    QWidget *BuildShadowArea(QWidget *parent);
    QWidget *BuildButtonBar();
    void FormShow();
    void FormClose();
    void RBCustomClick();
    void SetStatus(const QString &text);
    void ShowImgSave();
    bool RunBatchOptions();
    QStringList SelectedFiles() const;
    // How a batch export ended, and how many pages it went through (a page
    // skipped at the overwrite question, or gone from the disk, counts).
    enum class BatchEnd { Completed, Cancelled, Failed };
    struct BatchRun {
        BatchEnd end = BatchEnd::Completed;
        int done = 0;
    };
    BatchRun ExportFiles(const QStringList &files);
    void ExportOneByOne(const QStringList &files, ProgressWindow &progress, BatchRun &run);
    bool CanExportSeveralAtOnce(const QStringList &files) const;
    void ExportSeveralAtOnce(const QStringList &files, ProgressWindow &progress, BatchRun &run);
    // The file of a page whose shot is taken, the count and the stop
    // button; false ends the run, and run.end says how.
    bool FinishBatchPage(const QString &file, Shot shot, const QString &error,
                         ProgressWindow &progress, int count, BatchRun &run);
    // A page captured elsewhere (or not, for reason), resampled and
    // composed as DoTheShot does.
    Shot ShotOfCapture(const QString &pagePath, bool captured, const Picture &capture,
                       const QString &reason, QString *error);
    // Composes ImgSave from the page in hand once it is made, or says why not.
    Shot ComposeShot(bool made, const QString &reason, QString *error);
    // Resamples a capture to the page size into imgBig_; false with the
    // reason when it cannot, imgBig_ then unchanged.
    bool ScaleCapture(Picture capture, QString *reason);
    static QString BatchEndStatus(BatchEnd end, int done, int count);

    SnapshotWindowServices services_;
    TSnapShotParams &params_;
    QString &snapshotPath_;
    SnapshotOpening opening_;
    SnapshotWriter writer_;
    std::function<bool()> batchOptions_;
    Picture imgSave_;
    QImage imgBig_;
    int saveFilterIndex_ = kSnapshotJpeg;
    bool busy_ = false; // a capture waits with the event loop running

    QRadioButton *rbBrowser_ = nullptr;
    QRadioButton *rbCustom_ = nullptr;
    QLineEdit *eViewWidth_ = nullptr;
    UpDownEdit *udWidth_ = nullptr;
    UpDownEdit *udHeight_ = nullptr;
    UpDownEdit *udScale_ = nullptr;
    UpDownEdit *udShade_ = nullptr;
    UpDownEdit *udBorder_ = nullptr;
    ColorBox *rzColBG_ = nullptr;
    ColorBox *rzColBShade_ = nullptr;
    ColorBox *rzColBorder_ = nullptr;
    QCheckBox *cbCropVerti_ = nullptr;
    QCheckBox *cbCropHori_ = nullptr;
    QLabel *panelTreeTop_ = nullptr;
    QScrollArea *scrollBox1_ = nullptr;
    QLabel *imgSaveLabel_ = nullptr;
    QPushButton *bPreview_ = nullptr;
    QPushButton *bSave_ = nullptr;
    QPushButton *bBatch_ = nullptr;
    QPushButton *bClip_ = nullptr;
};

} // namespace velmora
