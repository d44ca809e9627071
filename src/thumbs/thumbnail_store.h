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

    // Writes the thumbnail file of a page and puts the picture into the cache
    // when its entry is cached. The page's subfolder is made when missing; a
    // symbolic link in the place of the subfolder or of the file is replaced,
    // never written through: nobody links into the program's own cache.
    bool WriteThumbnail(const QString &pagePath, const Picture &thumbnail, QString *error);

    ThumbnailCache &Cache() { return cache_; }
    const ThumbnailCache &Cache() const { return cache_; }

private:
    QString thumbDir_;
    ThumbnailCache cache_;
};

} // namespace velmora
