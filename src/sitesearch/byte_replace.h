#pragma once
// Replacing in a page's bytes: the page is decoded as the editor decodes it,
// the occurrences are found in the text, and only their bytes are changed.
// Every other byte (byte-order mark, line ends, characters the editor would
// write differently) stays exactly as it was.

#include "editor/text_pattern.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace velmora {

// One line (or run of lines an occurrence spans) before and after.
struct ChangedLine {
    int line = 0; // from 1, in the old text
    QString before;
    QString after;
};

struct ByteReplacement {
    QByteArray bytes; // the new content; the old one when nothing changed
    int count = 0;    // occurrences replaced
    // Why the page is not changed although it holds occurrences (binary, or
    // a replacement its encoding cannot hold); empty otherwise.
    QString problem;
    std::vector<ChangedLine> changes; // at most maxChanges of them
    int changesLeftOut = 0;           // the rest
};

// The page's new bytes with every occurrence of pattern replaced, as the
// editor's Replace All replaces them. maxChanges limits the lines described.
ByteReplacement ReplaceInBytes(const QByteArray &bytes, const TextPattern &pattern,
                               const QString &replacement, int maxChanges = 0);

// What writing a replacement needs to know of it.
struct ReplacementCount {
    int count = 0;   // occurrences replaced
    QString problem; // as in ByteReplacement
};

// The same new bytes as ReplaceInBytes, for writing them: no lines are
// described, and the bytes go to out, whose memory is reused from page to
// page (out is meaningful only when count > 0 and there is no problem). A
// plain text found with Match case is replaced in the bytes without
// decoding the page, where that gives the same bytes.
ReplacementCount ReplaceInBytesForWriting(const QByteArray &bytes, const TextPattern &pattern,
                                          const QString &replacement, QByteArray &out);

} // namespace velmora
