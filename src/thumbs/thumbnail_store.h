#pragma once
// The program's thumbnails: one JPEG file per page under the thumbnail
// folder, named after the page, and the cache of their decoded pictures that
// the thumbnail view draws from. The program owns one store and hands it to
// whatever makes, clears or shows thumbnails.

#include "thumbs/thumbnail_cache.h"

#include <QString>

namespace velmora {

class ThumbnailStore {
public:
    // thumbDir with one trailing '/'; the cache holds up to cacheMax + 1
    // pictures.
    ThumbnailStore(QString thumbDir, int cacheMax);

    const QString &ThumbDir() const { return thumbDir_; }
    // The thumbnail file of a page (made absolute first).
    QString ThumbPathOf(const QString &pagePath) const;

    ThumbnailCache &Cache() { return cache_; }
    const ThumbnailCache &Cache() const { return cache_; }

private:
    QString thumbDir_;
    ThumbnailCache cache_;
};

} // namespace velmora
