// Update Changed Thumbnails: the thumbnails of the folder shown that are
// missing or older than their page, made again with Make Thumbs' run.
#include "app/file_commands.h"

#include "foundation/prompts.h"
#include "foundation/view_selection.h"
#include "thumbs/thumb_freshness.h"
#include "thumbs/thumbnail_store.h"
#include "widgets/wait_cursor.h"
#include "widgets/window_guards.h"

#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// The files whose thumbnail is to be made, with their place in the folder's
// list (the tile they are drawn on).
QList<ViewFile> FilesNeedingThumbnails(const QString &thumbDir, const QStringList &files) {
    const WaitCursor busy;
    QList<ViewFile> changed;
    for (int i = 0; i < files.size(); ++i)
        if (NeedsThumbnail(ThumbFreshnessOfPage(thumbDir, files[i])))
            changed.append(ViewFile{i, files[i]});
    return changed;
}

} // namespace

void FileCommands::UpdateChangedThumbs() {
    if (thumbRunActive_)
        return;
    if (!thumbMaker_) {
        ShowNotYetAvailable(prompts_, u"Update Changed Thumbnails"_s);
        return;
    }
    const QStringList files = folderFiles_ ? folderFiles_() : QStringList();
    const QList<ViewFile> changed = FilesNeedingThumbnails(thumbnails_.ThumbDir(), files);
    if (changed.isEmpty()) {
        prompts_.ShowInfo(u"Every thumbnail of this folder is up to date."_s);
        return;
    }
    const QScopedValueRollback running(thumbRunActive_, true);
    const DisabledWindow disabled(&window_);
    ThumbsOfFiles(ModeMake, changed, int(changed.size()), true);
}

} // namespace velmora
