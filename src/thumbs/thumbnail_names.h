#pragma once
// Where the thumbnail of a page lives. Every thumbnail is a JPEG file of its
// own in the thumbnail folder, found by name alone (no index, no database):
//   <thumbDir><flat page folder>/<page file name>.jpg
// The page folder is made flat by ThumbFolderName: trailing '/' dropped (the
// root keeps its one), every '/' replaced by '=', one '/' appended, so
// "/home/u/web/site" becomes "=home=u=web=site/" and "/" becomes "=/".
// The reverse mapping is not exact for names holding '=' themselves.

#include <QString>

namespace velmora {

// Name of the thumbnail subfolder for a page folder, ending in one '/'. The
// folder may be given with or without its trailing '/'.
QString ThumbFolderName(const QString &folder);

// Full path of a page's thumbnail. pageName may be a bare file name or a full
// path; only its part after the last '/' is used.
QString ThumbFileName(const QString &thumbDir, const QString &folder, const QString &pageName);

// The page a thumbnail file belongs to: every occurrence of thumbDir removed
// (ignoring letter case), '=' back to '/', "//" mended to "/", ".jpg" dropped.
QString PageFromThumbName(const QString &thumbDir, const QString &thumbPath);

// A page has a thumbnail when a file exists at its thumbnail path.
bool HasThumbnail(const QString &thumbDir, const QString &folder, const QString &pageName);

} // namespace velmora
