// Cuts arbitrary text into colour runs and checks that the runs cover it in
// order, that the Rich Text is built, and that the tag range and hint lookup
// at a caret taken from the input stay inside the text.

#include "editor/caret_colouring.h"
#include "editor/syntax_rtf.h"
#include "editor/syntax_tokenizer.h"
#include "editor/tag_hints.h"
#include "foundation/text_codec.h"

#include <QByteArray>
#include <QStringList>

#include <cstdlib>

using namespace velmora;
using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const QString text =
        DecodeText(QByteArray(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2))).text;
    qsizetype at = 0;
    for (const SyntaxRun &run : TokenizeSyntax(text)) {
        if (run.start != at || run.length < 0)
            std::abort();
        at += run.length;
    }
    if (at != text.size())
        std::abort();
    const QByteArray rtf = BuildSyntaxRtf(text, SyntaxPalette(1));
    if (!rtf.endsWith('}'))
        std::abort();

    const qsizetype caret =
        text.isEmpty() ? 0 : qsizetype((data[0] << 8 | data[1]) % (text.size() + 1));
    const RecEditTagInfo range = TagAroundCaret(text, caret);
    if (range.kind == 1 &&
        (range.start < 0 || range.end > text.size() || range.start >= caret || range.end <= caret ||
         text[range.start] != u'<' || text[range.end - 1] != u'>'))
        std::abort();
    for (const SyntaxRun &run : RecolourRuns(text, range))
        if (run.start < range.start || run.start + run.length > range.end)
            std::abort();
    static const QStringList hints = {u"<A>: <A HREF=url>"_s, u"<TD>: <TD>"_s, u"<>: none"_s};
    (void)TagHintAt(hints, text, caret);
    return 0;
}
