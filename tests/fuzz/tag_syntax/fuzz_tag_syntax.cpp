// Feeds arbitrary bytes to the reader of tagsyntax.txt, then asks for the
// hint at every caret position of a small page: hints are never longer than
// their limit and never hold a line break.
#include "editor/tag_hints.h"

#include <QString>

#include <cstdint>

namespace {

const QString kPage = QStringLiteral(
    "<html><BODY bgcolor=\"#fff\"><img src=x.gif><a href='y'>link</a></B><!-- c --><"
    "table><tr><td>x</td></tr></table><p");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velmora;
    const QStringList lines =
        TagSyntaxFromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const QString &line : lines) {
        if (line.contains(u'\n'))
            __builtin_trap();
        if (HintOfLine(line).size() > kMaxHintLength)
            __builtin_trap();
    }
    for (qsizetype caret = 0; caret <= kPage.size(); ++caret) {
        const std::optional<QString> hint = TagHintAt(lines, kPage, caret);
        if (hint && (hint->size() > kMaxHintLength || hint->contains(u'\n')))
            __builtin_trap();
    }
    return 0;
}
