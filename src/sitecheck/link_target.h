#pragma once
// Where a link leads, worked out from its text alone (no disk access): not a
// link to check (mailto:, javascript:, ...), a link off the site (http:,
// //host, ...), the page itself, or a path on the disk. A path is resolved as
// a browser resolves the URL: against the page, or against the page's
// <base href>; "/..." against the site's root folder; percent-escapes
// decoded, the query dropped, "." and ".." taken out.

#include <QByteArray>
#include <QString>

namespace velmora {

enum class LinkKind {
    Ignored,  // mailto:, javascript:, data:, tel:, about:, an empty link
    External, // http:, https:, ftp:, //host and any other scheme: never fetched
    SamePage, // "#part", "?query": the page itself, maybe with a fragment
    Local,    // a path on the disk inside the site
    Outside,  // a path on the disk outside the site's folder
};

struct LinkTarget {
    LinkKind kind = LinkKind::Ignored;
    QByteArray path;         // Local and Outside: the absolute path, file-name bytes
    bool folderOnly = false; // the link's path ends in '/'
    QString fragment;        // after '#', percent-escapes decoded
    QString rawFragment;     // as written
    bool hasFragment = false;
};

// The document a page's relative links are resolved against: the page
// itself, or what its <base href> names.
struct LinkBase {
    bool external = false; // the base is on another site: relative links go there too
    QByteArray document;   // absolute path of the base document (may end in '/')
};

class LinkResolver {
public:
    // root: the checked folder, with or without its trailing '/'.
    explicit LinkResolver(const QString &root);

    const QByteArray &Root() const { return root_; }

    // The base of a page at pagePath (absolute), given its <base href>.
    LinkBase BaseOf(const QByteArray &pagePath, bool hasBase, const QString &baseHref) const;

    LinkTarget Resolve(const LinkBase &base, const QByteArray &pagePath, const QString &url) const;

    // True when path (normalised, absolute) lies in the site's folder.
    bool InsideSite(const QByteArray &path) const;

private:
    QByteArray root_; // with its trailing '/'
};

// "." and ".." segments and repeated '/' taken out of an absolute path, as a
// URL's path is resolved: ".." never climbs above "/". A trailing '/' stays.
QByteArray NormalisePath(const QByteArray &path);

} // namespace velmora
