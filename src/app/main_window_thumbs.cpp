// Make Thumbs / ClearThumbs: the thumbnails of the selected files of the
// active tab, made or cleared one after the other.
#include "app/main_window.h"
#include "widgets/window_guards.h"

#include "editor/window/form_view.h"
#include "foundation/prompts.h"
#include "foundation/settings.h"
#include "thumbs/capture/page_capture.h"
#include "thumbs/capture/thumbnail_maker.h"
#include "widgets/form_progress.h"

#include <QApplication>
#include <QScopedValueRollback>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

QString NoSelectionText(int mode) {
    return (mode == TForm1::ModeMake ? u"Cannot create thumbnail."_s
                                     : u"Cannot clear thumbnail."_s) +
           kMessageBreak + u"No file(s) selected ..."_s;
}

} // namespace

// Capturing needs the rendering engine; without a profile (tests of the
// window's logic) there is no maker and the commands say so.
void TForm1::BuildThumbnailMaker(RenderProfile *profile, FreeSpaceQuery freeSpace) {
    if (!profile)
        return;
    pageCapture_ =
        std::make_unique<PageCapture>(*profile, formView_ ? formView_->FrameViewer1() : nullptr);
    thumbMaker_ = std::make_unique<ThumbnailMaker>(*pageCapture_, *thumbStore_, prompts_,
                                                   std::move(freeSpace));
}

void TForm1::Add_Remove(int mode) {
    // The capture waits for the page with the event loop running: a second
    // command arriving meanwhile must not start a run inside this one.
    if (thumbRunActive_)
        return;
    const TSelectionInfo selection = selection_->GetSelectionInfo();
    if (selection.SelCount < 1) {
        prompts_.ShowInfo(NoSelectionText(mode));
        return;
    }
    if (!thumbMaker_) {
        ShowNotYetAvailable(prompts_, mode == ModeMake ? u"Make Thumbs"_s : u"ClearThumbs"_s);
        return;
    }
    const QScopedValueRollback running(thumbRunActive_, true);
    const DisabledWindow disabled(this);
    if (selection.SelCount == 1)
        ThumbOfOneFile(mode);
    else
        ThumbsOfSeveralFiles(mode, selection.SelCount);
}

bool TForm1::MakeOrClearThumb(int mode, const QString &file) {
    if (mode == ModeClear) {
        thumbMaker_->ClearThumbnail(file);
        return true;
    }
    if (!thumbMaker_->HasRoomForThumbnail())
        return false;
    // The base box may have changed since the last thumbnail.
    thumbMaker_->CBSnapBaseChange(program_.Config().ThumbBaseIndex);
    // A page that cannot be made is passed over without a message.
    thumbMaker_->MakeThumbnail(file);
    return true;
}

// One selected file needs no progress window. The current file is the one
// selected entry when it holds the caret; with the caret elsewhere the
// selected entry itself is taken, so that the command is never silently
// without effect.
void TForm1::ThumbOfOneFile(int mode) {
    const TSelectionInfo selection = selection_->GetSelectionInfo();
    int selectedIndex = -1;
    QString selectedFile;
    for (int i = 0; i < selection.Count && selectedIndex < 0; ++i) {
        selectedFile = selection_->GetViewFile(i, true);
        if (!selectedFile.isEmpty())
            selectedIndex = i;
    }
    QString file = selection_->GetCurrentFile();
    if (file.isEmpty())
        file = selectedFile;
    if (file.isEmpty())
        return;
    MakeOrClearThumb(mode, file);
    ShowMiniThumb(file);
    if (selection.Page == TabThumb && selectedIndex >= 0)
        View(TabThumb)->RefreshEntry(selectedIndex);
}

void TForm1::ThumbsOfSeveralFiles(int mode, int count) {
    // The files are taken before the run: while events are processed between
    // files the lists may refill, and the run must not wander to other files.
    const TSelectionInfo selection = selection_->GetSelectionInfo();
    std::vector<std::pair<int, QString>> files;
    for (int i = 0; i < selection.Count; ++i) {
        QString file = selection_->GetViewFile(i, true);
        if (!file.isEmpty())
            files.emplace_back(i, std::move(file));
    }

    std::unique_ptr<ProgressWindow> progress =
        progressWindows_ ? progressWindows_() : std::make_unique<TFormProgress>();
    progress->InitProgBar(count);
    const ShownProgress shown(*progress);
    int done = 1;
    for (const auto &[index, file] : files) {
        progress->SetText(u"("_s + QString::number(done) + u" of "_s + QString::number(count) +
                          u"): "_s + file);
        if (!MakeOrClearThumb(mode, file))
            break;
        ++done;
        progress->Step();
        if (selection.Page == TabThumb)
            View(TabThumb)->RefreshEntry(index);
        // Here the stop button and the keys of the progress window act.
        QCoreApplication::processEvents();
        if (progress->StopRequested())
            break;
    }
    ShowMiniThumb(selection_->GetCurrentFile());
}

} // namespace velmora
