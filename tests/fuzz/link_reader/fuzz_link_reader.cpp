// Reads the links of arbitrary bytes as a page, a style sheet, a srcset and
// a refresh, and resolves each link against a made-up site: the line numbers
// stay inside the page and no link ends up with a path outside what its kind
// allows.

#include "sitecheck/link_reader.h"
#include "sitecheck/link_target.h"

#include <QByteArray>

#include <cstdlib>

using namespace velmora;
using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool utf8 = QByteArrayView(bytes).isValidUtf8();
    const int lines = int(bytes.count('\n') + bytes.count('\r')) + 1;
    const PageLinks page = ReadHtmlLinks(bytes, utf8);
    const QString text = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    std::vector<PageLink> css;
    ReadCssLinks(text, 1, css);

    const LinkResolver resolver(u"/site"_s);
    const QByteArray pagePath = "/site/dir/page.htm";
    const LinkBase base = resolver.BaseOf(pagePath, page.hasBase, page.base);
    const std::vector<PageLink> *both[] = {&page.links, &css};
    for (const std::vector<PageLink> *links : both) {
        for (const PageLink &link : *links) {
            if (link.line < 1 || link.line > lines)
                std::abort();
            const LinkTarget target = resolver.Resolve(base, pagePath, link.url);
            if (target.kind == LinkKind::Local && !resolver.InsideSite(target.path))
                std::abort();
            if (target.kind == LinkKind::Local && target.path.contains("/../"))
                std::abort();
        }
    }
    for (const QString &url : SrcsetUrls(text)) {
        if (url != TrimUrl(url))
            std::abort();
    }
    RefreshUrl(text);
    return 0;
}
