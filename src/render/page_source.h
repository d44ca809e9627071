#pragma once
// How local pages reach the rendering engine. Pages are served through the
// program's own URL scheme instead of file: so that every page kind the program
// lists (.htm, .asp, .shtml, .cfm, .dht, .jht, ...) is rendered as HTML whatever
// the system's MIME database says about its extension, and never offered as a
// download. Relative references inside such a page resolve to the same scheme,
// so frames, images and style sheets are served the same way.

#include <QString>
#include <QUrl>

namespace velmora {

// Scheme name of local pages ("velmora-page:/home/u/site/index.htm").
QString LocalPageScheme();

// The engine address of a local file, and back. PathFromPageUrl also accepts
// file: URLs and gives an empty string for any other address.
QUrl PageUrlFromPath(const QString &path);
QString PathFromPageUrl(const QUrl &url);

// The content type a local file is served with: pictures, style sheets,
// scripts, fonts, media and plain text keep their own type; everything else
// (every page kind, and anything unknown) is HTML.
QString ContentTypeForFile(const QString &path);

// Only local content loads: the program's scheme, file:, data:, blob: and the
// engine's own about: pages. Everything else (http, https, ftp, ws, mailto,
// unknown schemes) is refused.
bool IsAllowedScheme(const QString &scheme);

} // namespace velmora
