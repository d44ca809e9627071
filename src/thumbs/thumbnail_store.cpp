#include "thumbs/thumbnail_store.h"

#include "thumbs/thumbnail_names.h"

#include "pictures/jpeg_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmora {

ThumbnailStore::ThumbnailStore(QString thumbDir, int cacheMax)
    : thumbDir_(std::move(thumbDir)), cache_(cacheMax) {}

namespace {

// The subfolder of a thumbnail as a real folder: a link in its place is
// removed first.
bool MakeRealFolder(const QString &folder, QString *error) {
    const QByteArray name = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode) &&
        ::unlink(name.constData()) != 0) {
        if (error)
            *error = u"Cannot replace the link "_s + folder;
        return false;
    }
    if (QDir().mkpath(folder) && QFileInfo(folder).isDir() && !QFileInfo(folder).isSymLink())
        return true;
    if (error)
        *error = u"Cannot create the folder "_s + folder;
    return false;
}

} // namespace

QString ThumbnailStore::ThumbPathOf(const QString &pagePath) const {
    const QFileInfo page(pagePath);
    return ThumbFileName(thumbDir_, page.absolutePath(), page.absoluteFilePath());
}

bool ThumbnailStore::WriteThumbnail(const QString &pagePath, const Picture &thumbnail,
                                    QString *error) {
    const QString thumbPath = ThumbPathOf(pagePath);
    if (!MakeRealFolder(QFileInfo(thumbPath).path(), error))
        return false;
    if (!SaveJpeg(thumbnail, kThumbnailQuality, thumbPath, error, LinkPolicy::ReplaceLink))
        return false;
    cache_.RefreshCachedThumb(thumbPath, thumbnail);
    return true;
}

} // namespace velmora
