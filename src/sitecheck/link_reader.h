#pragma once
// Reads the links of a page the way a browser finds them: the tags and their
// attributes with quotes, entities and letter case as HTML has them, the
// URLs of srcset, the refresh of a meta tag, and url() and @import in style
// attributes, <style> blocks and style sheets. Each link keeps the line it
// stands on. Comments, scripts and the text of elements that hold no tags
// (textarea, title) are passed over.
//
// The reader works on the page's bytes in one pass, in time proportional to
// their number; a page that is not text (a NUL byte, a stray picture) is read
// the same way and gives whatever tags it happens to hold.

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <vector>

namespace velmora {

struct PageLink {
    QString url; // entities decoded, trimmed as a browser trims a URL
    int line = 1;
};

struct PageLinks {
    std::vector<PageLink> links;
    // The ids of the page and the names of its <a name> anchors.
    QStringList anchors;
    // The href of the first <base href>, when there is one.
    QString base;
    bool hasBase = false;
};

// Reads an HTML page. utf8: the bytes are UTF-8 (else Latin-1). Reading ends
// early, with what was found so far, once stop is set.
PageLinks ReadHtmlLinks(QByteArrayView bytes, bool utf8, const std::atomic_bool *stop = nullptr);

// Reads the url() and @import links of a style sheet, counting lines from
// firstLine; appends to out.
void ReadCssLinks(QStringView css, int firstLine, std::vector<PageLink> &out);

// The URLs of a srcset value, in order, without their descriptors.
QStringList SrcsetUrls(QStringView srcset);

// The URL of a meta refresh's content ("5; url=next.html"); empty when none.
QString RefreshUrl(QStringView content);

// Trims a URL as a browser does: control characters and spaces at both ends
// are dropped, and tabs and line breaks inside it.
QString TrimUrl(QStringView url);

} // namespace velmora
