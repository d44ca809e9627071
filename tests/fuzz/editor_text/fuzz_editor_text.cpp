// Reads arbitrary bytes as the editor's text. A text held exactly must give
// back the same bytes unchanged, and after an edit (taken from the first two
// bytes) must read back as the edited text whenever it is written in the
// same encoding.

#include "editor/editor_text.h"

#include <QByteArray>

#include <algorithm>
#include <cstdlib>

using namespace velmora;
using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    const EditorText t = DecodeEditorText(bytes);
    if (t.lineEnds.size() != size_t(t.text.count(u'\n')) || t.text.size() > kEditorMaxChars)
        std::abort();
    if (!t.exact && t.notice.isEmpty())
        std::abort();
    if (!t.exact)
        return 0;
    if (EncodeEditorText(t, t.text) != bytes)
        std::abort();

    static const QString inserts[] = {u""_s, u"\n"_s, u"x"_s, u"\n\n"_s, u"\r\n"_s};
    const qsizetype at = qsizetype(data[0] % (t.text.size() + 1));
    const qsizetype cut = std::min<qsizetype>(data[1] >> 4, t.text.size() - at);
    const QString edited =
        t.text.first(at) + inserts[(data[1] & 15) % std::size(inserts)] + t.text.sliced(at + cut);
    if (!EditorSaveProblem(t, edited).isEmpty())
        return 0;
    const EditorText back = DecodeEditorText(EncodeEditorText(t, edited));
    QString expected = edited;
    expected.replace(u"\r\n"_s, u"\n"_s);
    if (back.encoding == t.encoding && back.text != expected)
        std::abort();
    return 0;
}
