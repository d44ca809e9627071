// Make Thumbs / ClearThumbs: the thumbnails of the selected files of the
// active tab, made or cleared one after the other, or made several at once by
// worker processes of the thumbnail program.
#include "app/file_commands.h"

#include "app/program.h"
#include "editor/window/form_view.h"
#include "foundation/program_folders.h"
#include "foundation/prompts.h"
#include "foundation/view_selection.h"
#include "render/page_view.h"
#include "thumbs/capture/thumb_batch.h"
#include "thumbs/capture/thumb_workers.h"
#include "thumbs/capture/thumbnail_maker.h"
#include "thumbs/thumbnail_store.h"
#include "widgets/window_guards.h"

#include <QFileInfo>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

QString NoSelectionText(int mode) {
    return (mode == FileCommands::ModeMake ? u"Cannot create thumbnail."_s
                                           : u"Cannot clear thumbnail."_s) +
           kMessageBreak + u"No file(s) selected ..."_s;
}

} // namespace

void FileCommands::Add_Remove(int mode) {
    // The capture waits for the page with the event loop running: a second
    // command arriving meanwhile must not start a run inside this one.
    if (thumbRunActive_)
        return;
    const TSelectionInfo selection = selection_.GetSelectionInfo();
    if (selection.SelCount < 1) {
        prompts_.ShowInfo(NoSelectionText(mode));
        return;
    }
    if (!thumbMaker_) {
        ShowNotYetAvailable(prompts_, mode == ModeMake ? u"Make Thumbs"_s : u"ClearThumbs"_s);
        return;
    }
    const QScopedValueRollback running(thumbRunActive_, true);
    const DisabledWindow disabled(&window_);
    if (selection.SelCount == 1)
        ThumbOfOneFile(mode);
    else
        ThumbsOfSeveralFiles(mode, selection.SelCount);
}

bool FileCommands::MakeOrClearThumb(int mode, const QString &file) {
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
void FileCommands::ThumbOfOneFile(int mode) {
    const TSelectionInfo selection = selection_.GetSelectionInfo();
    const QList<ViewFile> selected = SelectedViewFiles(selection_);
    QString file = selection_.GetCurrentFile();
    if (file.isEmpty() && !selected.isEmpty())
        file = selected.first().path;
    if (file.isEmpty())
        return;
    MakeOrClearThumb(mode, file);
    emit thumbnailShown(file);
    if (selection.Page == PageThumbnailView && !selected.isEmpty())
        emit entryChanged(PageThumbnailView, selected.first().index);
}

void FileCommands::ThumbsOfSeveralFiles(int mode, int count) {
    // The files are taken before the run: while events are processed between
    // files the lists may refill, and the run must not wander to other files.
    const TSelectionInfo selection = selection_.GetSelectionInfo();
    ThumbsOfFiles(mode, SelectedViewFiles(selection_), count, selection.Page == PageThumbnailView);
}

bool FileCommands::CanUseThumbWorkers(int mode, const QStringList &pages) const {
    // Clearing is quick in place, one page gains nothing from a worker's
    // start, and one core gains nothing from several workers.
    if (mode != ModeMake || pages.size() < 2 || DefaultThumbJobs() < 2)
        return false;
    // Without a base size no thumbnail is made; the run in place says nothing.
    if (!ThumbBaseSizeOf(program_.Config().ThumbBaseIndex))
        return false;
    const QFileInfo program(thumbWorkers_);
    if (thumbWorkers_.isEmpty() || !program.isFile() || !program.isExecutable())
        return false;
    // The workers write under the program folder they are given: it must be
    // the folder this window's thumbnails are in.
    return ProgramFolders::At(program_.Folders().ProgramDir).ThumbDir == thumbnails_.ThumbDir();
}

QStringList FileCommands::ThumbWorkerArguments() const {
    QStringList arguments{u"--worker"_s, u"--program-dir"_s, program_.Folders().ProgramDir,
                          u"--base-index"_s, QString::number(program_.Config().ThumbBaseIndex)};
    // Captures copy the internal browser's fonts and colours.
    if (viewer_ && viewer_->FrameViewer1())
        arguments << u"--display"_s << DisplayArgument(viewer_->FrameViewer1()->Display());
    return arguments;
}

void FileCommands::ThumbsOfFiles(int mode, const QList<ViewFile> &files, int count,
                                 bool refreshTiles) {
    QStringList pages;
    for (const ViewFile &file : files)
        pages << file.path;

    std::unique_ptr<ProgressWindow> progress = MakeProgressWindow();
    progress->InitProgBar(count);
    const ShownProgress shown(*progress);
    const auto showPage = [&](int index, const QString &page) {
        progress->SetText(u"("_s + QString::number(index + 1) + u" of "_s + QString::number(count) +
                          u"): "_s + page);
    };
    const auto stopRequested = [&] { return progress->StopRequested(); };
    // The base box may have changed since the last thumbnail.
    if (mode == ModeMake)
        thumbMaker_->CBSnapBaseChange(program_.Config().ThumbBaseIndex);

    if (CanUseThumbWorkers(mode, pages)) {
        // A page that cannot be made is passed over without a message. The
        // workers wrote the file: the cached picture is read again from it.
        const auto finished = [&](int index, int, const BatchPageResult &result) {
            if (result.ok)
                thumbnails_.Cache().InvalidateCachedThumb(thumbnails_.ThumbPathOf(result.page));
            progress->Step();
            if (refreshTiles)
                emit entryChanged(PageThumbnailView, files[index].index);
        };
        const BatchSummary summary = RunThumbWorkers(
            thumbWorkers_, ThumbWorkerArguments(), DefaultThumbJobs(), pages, finished,
            stopRequested, [&](int index, int, const QString &page) { showPage(index, page); });
        // A worker found the volume short: the check here says so as the
        // one-at-a-time run would.
        if (summary.outOfSpace)
            thumbMaker_->HasRoomForThumbnail();
    } else {
        const auto starting = [&](int index, int, const QString &page) {
            showPage(index, page);
            if (mode == ModeMake)
                thumbMaker_->CBSnapBaseChange(program_.Config().ThumbBaseIndex);
        };
        // A page that cannot be made is passed over without a message.
        const auto finished = [&](int index, int, const BatchPageResult &) {
            progress->Step();
            if (refreshTiles)
                emit entryChanged(PageThumbnailView, files[index].index);
        };
        RunThumbBatch(*thumbMaker_, pages, mode == ModeMake ? BatchMode::Make : BatchMode::Clear,
                      finished, stopRequested, starting);
    }
    emit thumbnailShown(selection_.GetCurrentFile());
}

} // namespace velmora
