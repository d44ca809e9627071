#include "thumbs/thumbnail_store.h"

#include "thumbs/thumbnail_names.h"

#include <QFileInfo>

namespace velmora {

ThumbnailStore::ThumbnailStore(QString thumbDir, int cacheMax)
    : thumbDir_(std::move(thumbDir)), cache_(cacheMax) {}

QString ThumbnailStore::ThumbPathOf(const QString &pagePath) const {
    const QFileInfo page(pagePath);
    return ThumbFileName(thumbDir_, page.absolutePath(), page.absoluteFilePath());
}

} // namespace velmora
