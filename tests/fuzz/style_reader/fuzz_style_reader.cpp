// Feeds arbitrary bytes to the formatter's style reader: the bytes before the
// first form feed are options.ini, the rest tag.ini. The style read from them
// must stay within its table, and formatting a small page with it must end
// with text that holds every word of the page.
#include "formatter/formatter_style.h"
#include "formatter/html_formatter.h"
#include "foundation/ini_file.h"

#include <QString>

#include <cstdint>

namespace {

const QString kPage = QStringLiteral(
    "<html><body><h1>Title</h1><table><tr><td><b>bold</b> cell</td><td>two</td></tr></table>"
    "<ul><li>one<li>two</ul><p>some <i>running</i> text<br>after<!-- note --><pre> kept\n"
    "</pre><div><div><span>deep</span></div></div></body></html>");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velmora;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\f');
    IniFile options;
    IniFile tags;
    options.Parse(split < 0 ? QByteArray() : bytes.left(split));
    tags.Parse(split < 0 ? bytes : bytes.mid(split + 1));

    FormatterStyle style;
    StyleOptionsFromIni(options, style.Options);
    TagRulesFromIni(tags, style);
    if (style.TagCount < 0 || style.TagCount > FormatterStyle::kMaxRules)
        __builtin_trap();
    for (int k = 1; k <= style.TagCount; ++k)
        if (style.Rule(k).Index != k)
            __builtin_trap();

    // Styles whose indentation or wrap width are absurd still give a page of
    // bounded size; the words of the page all survive.
    const QString out = FormatHtml(kPage, style);
    for (const char *word : {"Title", "bold", "cell", "running", "deep", "kept", "note"})
        if (!out.contains(QLatin1String(word)))
            __builtin_trap();
    return 0;
}
