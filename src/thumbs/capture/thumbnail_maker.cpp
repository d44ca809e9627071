#include "thumbs/capture/thumbnail_maker.h"

#include "foundation/failure.h"
#include "pictures/jpeg_codec.h"
#include "pictures/resample.h"
#include "thumbs/capture/page_capture.h"
#include "thumbs/thumb_size.h"
#include "thumbs/thumbnail_store.h"
#include "widgets/wait_cursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velmora {
std::optional<QSize> ThumbBaseSizeOf(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= int(kThumbBaseSizes.size()))
        return std::nullopt;
    return QSize(kThumbBaseSizes[itemIndex].width, kThumbBaseSizes[itemIndex].height);
}

ThumbnailMaker::ThumbnailMaker(PageCapture &capture, ThumbnailStore &store, Prompts &prompts,
                               FreeSpaceQuery freeSpace)
    : capture_(capture), store_(store), prompts_(prompts), freeSpace_(std::move(freeSpace)) {}

void ThumbnailMaker::CBSnapBaseChange(int itemIndex) {
    baseIndex_ = itemIndex;
    if (const std::optional<QSize> base = ThumbBaseSizeOf(itemIndex))
        base_ = *base;
}

bool ThumbnailMaker::HasRoomForThumbnail() {
    return CheckDiskSpace(store_.ThumbDir(), kThumbFreeSpaceKb, prompts_, freeSpace_);
}

bool ThumbnailMaker::MakeThumbnail(const QString &pagePath, QString *error) {
    if (!QFileInfo(pagePath).isFile())
        return Fail(error, u"Can't locate file: "_s + pagePath);
    const WaitCursor busy;

    Picture capture;
    if (!capture_.CapturePage(pagePath, {.base = base_}, &capture, error))
        return false;
    Picture thumbnail = MakePicture(ThumbWidth, ThumbHeight);
    try {
        const ResampleFilter &filter = ResampleFilterTable[kLanczos3Index];
        ResampleImage(capture, thumbnail, filter.Kernel, filter.Support);
    } catch (const ResampleError &e) {
        return Fail(error, QString::fromUtf8(e.what()));
    }
    capture = {};

    return store_.WriteThumbnail(pagePath, thumbnail, error);
}

bool ThumbnailMaker::ClearThumbnail(const QString &pagePath, QString *error) {
    const WaitCursor busy;
    const QString thumbPath = store_.ThumbPathOf(pagePath);
    bool ok = true;
    const QFileInfo thumb(thumbPath);
    if ((thumb.exists() || thumb.isSymLink()) && !QFile::remove(thumbPath))
        ok = Fail(error, u"Cannot delete "_s + thumbPath);
    store_.Cache().InvalidateCachedThumb(thumbPath);
    return ok;
}

} // namespace velmora
