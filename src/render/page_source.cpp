#include "render/page_source.h"

#include <QFileInfo>
#include <QMimeDatabase>

using namespace Qt::StringLiterals;

namespace velmora {

QString LocalPageScheme() {
    return u"velmora-page"_s;
}

QUrl PageUrlFromPath(const QString &path) {
    QUrl url;
    url.setScheme(LocalPageScheme());
    // One host for every local page: they are one site to the engine, so
    // it keeps one renderer for a run of pages instead of starting one per
    // page.
    url.setHost(u"local"_s);
    url.setPath(QFileInfo(path).absoluteFilePath(), QUrl::DecodedMode);
    return url;
}

QString PathFromPageUrl(const QUrl &url) {
    if (url.scheme() == LocalPageScheme())
        return url.path(QUrl::FullyDecoded);
    if (url.isLocalFile())
        return url.toLocalFile();
    return {};
}

QString ContentTypeForFile(const QString &path) {
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    const QString name = type.name();
    const bool keepsOwnType = name.startsWith(u"image/"_s) || name.startsWith(u"font/"_s) ||
                              name.startsWith(u"audio/"_s) || name.startsWith(u"video/"_s) ||
                              name == u"text/css"_s || name == u"text/plain"_s ||
                              name == u"application/json"_s || name.contains(u"javascript"_s);
    return keepsOwnType ? name : u"text/html"_s;
}

bool IsAllowedScheme(const QString &scheme) {
    const QString s = scheme.toLower();
    return s == LocalPageScheme() || s == u"file"_s || s == u"data"_s || s == u"blob"_s ||
           s == u"about"_s;
}

} // namespace velmora
