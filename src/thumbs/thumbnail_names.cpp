#include "thumbs/thumbnail_names.h"

#include "foundation/text_utils.h"

#include <QFileInfo>

namespace velmora {

using namespace Qt::StringLiterals;

QString ThumbFolderName(const QString &folder) {
    QString flat = TrimCharRight(folder, u'/');
    // The root folder is all separators; it keeps one so it maps to "=/".
    if (flat.isEmpty() && !folder.isEmpty())
        flat = u"/"_s;
    flat.replace(u'/', u'=');
    return flat + u'/';
}

QString ThumbFileName(const QString &thumbDir, const QString &folder, const QString &pageName) {
    const QString name = pageName.mid(pageName.lastIndexOf(u'/') + 1);
    return thumbDir + ThumbFolderName(folder) + name + u".jpg"_s;
}

QString PageFromThumbName(const QString &thumbDir, const QString &thumbPath) {
    QString page = thumbPath;
    ReplaceAll(page, thumbDir, QString());
    page.replace(u'=', u'/');
    ReplaceAll(page, u"//"_s, u"/"_s);
    page.chop(4);
    return page;
}

bool HasThumbnail(const QString &thumbDir, const QString &folder, const QString &pageName) {
    return QFileInfo(ThumbFileName(thumbDir, folder, pageName)).isFile();
}

} // namespace velmora
