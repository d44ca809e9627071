#include "sitecheck/link_target.h"

#include <QFile>
#include <QUrl>

#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// The scheme of a URL ("http" of "http://..."), lower case; empty when the
// URL has none.
QString SchemeOf(const QString &url) {
    if (url.isEmpty() ||
        !((url[0] >= u'a' && url[0] <= u'z') || (url[0] >= u'A' && url[0] <= u'Z')))
        return {};
    for (qsizetype i = 1; i < url.size(); ++i) {
        const QChar c = url[i];
        if (c == u':')
            return url.left(i).toLower();
        const bool schemeChar = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                                (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (!schemeChar)
            return {};
    }
    return {};
}

bool IsIgnoredScheme(const QString &scheme) {
    return scheme == u"mailto" || scheme == u"javascript" || scheme == u"data" ||
           scheme == u"tel" || scheme == u"about";
}

QByteArray PercentDecoded(const QString &text) {
    return QByteArray::fromPercentEncoding(text.toUtf8());
}

QByteArray FolderOf(const QByteArray &document) {
    return document.left(document.lastIndexOf('/') + 1);
}

} // namespace

QByteArray NormalisePath(const QByteArray &path) {
    std::vector<QByteArray> segments;
    const QList<QByteArray> parts = path.split('/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QByteArray &part = parts[i];
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!segments.empty())
                segments.pop_back();
            continue;
        }
        segments.push_back(part);
    }
    QByteArray out;
    out.reserve(path.size());
    for (const QByteArray &segment : segments) {
        out += '/';
        out += segment;
    }
    const bool folder = path.endsWith('/') || path.endsWith("/.") || path.endsWith("/..");
    if (out.isEmpty() || folder)
        out += '/';
    return out;
}

LinkResolver::LinkResolver(const QString &root) : root_(QFile::encodeName(root)) {
    root_ = NormalisePath(root_);
    if (!root_.endsWith('/'))
        root_ += '/';
}

bool LinkResolver::InsideSite(const QByteArray &path) const {
    return path.startsWith(root_) || path + '/' == root_;
}

LinkBase LinkResolver::BaseOf(const QByteArray &pagePath, bool hasBase,
                              const QString &baseHref) const {
    if (!hasBase || baseHref.isEmpty())
        return {false, pagePath};
    const LinkTarget target = Resolve({false, pagePath}, pagePath, baseHref);
    switch (target.kind) {
    case LinkKind::Local:
    case LinkKind::Outside:
        // "sub/" names the folder: links resolve inside it.
        return {false, target.folderOnly ? target.path + '/' : target.path};
    case LinkKind::External:
        return {true, {}};
    case LinkKind::Ignored:
    case LinkKind::SamePage:
        break;
    }
    return {false, pagePath};
}

LinkTarget LinkResolver::Resolve(const LinkBase &base, const QByteArray &pagePath,
                                 const QString &url) const {
    LinkTarget target;
    if (url.isEmpty())
        return target; // the page itself, nothing to check
    // Browsers read a backslash as a slash in the URLs of web pages.
    QString text = url;
    text.replace(u'\\', u'/');
    const QString scheme = SchemeOf(text);
    QString path = text;
    if (!scheme.isEmpty()) {
        if (IsIgnoredScheme(scheme))
            return target;
        if (scheme.size() == 1) {
            // "C:/site/page.htm": a path on the author's own disk.
            target.kind = LinkKind::Outside;
            target.path = text.toUtf8();
            return target;
        }
        if (scheme != u"file") {
            target.kind = LinkKind::External;
            return target;
        }
        // file:///path and file://localhost/path name a path on this disk.
        path = text.mid(5);
        if (path.startsWith(u"//")) {
            const qsizetype slash = path.indexOf(u'/', 2);
            const QString host = path.mid(2, slash < 0 ? -1 : slash - 2);
            if (!host.isEmpty() && host.compare(u"localhost"_s, Qt::CaseInsensitive) != 0) {
                target.kind = LinkKind::External;
                return target;
            }
            path = slash < 0 ? u"/"_s : path.mid(slash);
        }
    } else if (text.startsWith(u"//")) {
        target.kind = LinkKind::External;
        return target;
    } else if (base.external) {
        target.kind = LinkKind::External;
        return target;
    }

    if (const qsizetype hash = path.indexOf(u'#'); hash >= 0) {
        target.hasFragment = true;
        target.rawFragment = path.mid(hash + 1);
        target.fragment = QString::fromUtf8(PercentDecoded(target.rawFragment));
        path.truncate(hash);
    }
    if (const qsizetype question = path.indexOf(u'?'); question >= 0)
        path.truncate(question);

    QByteArray resolved;
    if (path.isEmpty())
        resolved = base.document; // "#part" and "?q": the base document itself
    else if (scheme == u"file")
        resolved = PercentDecoded(path);
    else if (path.startsWith(u'/'))
        resolved = root_ + PercentDecoded(path.mid(1));
    else
        resolved = FolderOf(base.document) + PercentDecoded(path);
    target.path = NormalisePath(resolved);
    target.folderOnly = target.path.endsWith('/');
    if (target.folderOnly && target.path.size() > 1)
        target.path.chop(1);
    if (target.path == pagePath)
        target.kind = LinkKind::SamePage;
    else
        target.kind = InsideSite(target.path) ? LinkKind::Local : LinkKind::Outside;
    return target;
}

} // namespace velmora
