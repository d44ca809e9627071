#pragma once
// Quick looks at a page's bytes for the search of a plain text: where a run
// of bytes occurs, and which kinds of byte the page holds at all, each in
// one pass over the bytes, sixteen at a time.

#include <QByteArrayView>

namespace velmora {

// Where needle first occurs in haystack at or after from; -1 when nowhere.
// An empty needle occurs at from.
qsizetype FindBytes(QByteArrayView haystack, QByteArrayView needle, qsizetype from = 0);

// Which of the bytes that change how a page is read are in it.
struct ByteKinds {
    bool nul = false;      // a NUL: not text, unless a UTF-16/32 mark says so
    bool cr = false;       // a CR: lines may end in CR LF or a lone CR
    bool nonAscii = false; // a byte of 0x80 or more: not plain ASCII
};

ByteKinds ScanByteKinds(QByteArrayView bytes);

} // namespace velmora
