#include "editor/link_rules.h"

#include "foundation/file_utils.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// The file an address names: a file: address is the file itself; any other
// address with a scheme (a page on the web) names nothing on the disk; a
// relative address is taken from the shown page's folder, its escapes
// ("%20") decoded as the view would decode them.
QString LocalNameOf(const QString &shownFile, const QString &address) {
    const QUrl url(address);
    if (url.isLocalFile())
        return QDir::cleanPath(url.toLocalFile());
    const QString folder = WithBackslash(QFileInfo(shownFile).absolutePath());
    if (!url.scheme().isEmpty())
        return folder + address;
    return QDir::cleanPath(folder + QUrl::fromPercentEncoding(address.toUtf8()));
}

} // namespace

LinkDecision DecideLinkClick(const QString &shownFile, const QString &url) {
    const QString address = url.left(url.indexOf(u'#'));
    if (address.isEmpty())
        return {};
    LinkDecision decision;
    decision.localName = LocalNameOf(shownFile, address);
    decision.kind =
        QFileInfo(decision.localName).isFile() ? LinkDecision::Follow : LinkDecision::Refuse;
    return decision;
}

} // namespace velmora
