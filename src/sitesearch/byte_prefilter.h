#pragma once
// A quick look at a page's bytes that rules out pages which cannot hold a
// literal text, before they are decoded and searched as text. It answers
// "no" only when that is certain: for a text of ASCII characters searched
// with Match case, in a page without a UTF-16/32 byte-order mark. Such a page
// decodes as UTF-8 or Latin-1, and in both an ASCII character of the text is
// the very same byte, while no other character has a byte below 0x80; so the
// text occurs only where its bytes do.

#include "editor/text_pattern.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace velmora {

class BytePrefilter {
public:
    BytePrefilter(const QString &find, PatternOptions options);

    // False only when the page's text certainly holds no occurrence.
    bool MayOccur(QByteArrayView bytes) const;
    bool Active() const { return !needle_.isEmpty(); }

private:
    QByteArray needle_; // empty: every page may hold the text
};

} // namespace velmora
