// Formats arbitrary bytes as a page with two styles (the stock one and one
// with every layout feature on and tiny lines) and checks what must always
// hold: no page text is lost and formatting settles (see FormatUntilSettled).

#include "formatter/formatter_style.h"
#include "formatter/html_formatter.h"
#include "foundation/text_codec.h"
#include "html_generator.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

using namespace velmora;
using namespace Qt::StringLiterals;

namespace {

RecTAGInfo Rule(const QString &open, const QString &close, int index) {
    RecTAGInfo r = DefaultTag();
    r.Name = open;
    r.TagOpen = open;
    r.TagClose = close;
    r.Index = index;
    r.CRLFLeading = 1;
    r.CRLFFollowed = 1;
    return r;
}

FormatterStyle BusyStyle() {
    FormatterStyle s;
    s.Options.LineSize = 12;
    s.Options.Spacing = 3;
    s.Options.MaxIndentColumns = 60;
    RecTAGInfo table = Rule(u"<TABLE>"_s, u"</TABLE>"_s, 1);
    table.isSelfIndent = 1;
    table.isContentIndent = 1;
    table.CRLFLeading = 3;
    table.DoGenerateSComment = table.DoGenerateEComment = table.EnableCounter = true;
    table.StartComment = u"T"_s;
    table.EndComment = u"E"_s;
    RecTAGInfo td = Rule(u"<TD>"_s, u"</TD>"_s, 2);
    td.isSelfIndent = 2;
    td.DoGenerateSComment = td.DoGenerateEComment = true;
    RecTAGInfo a = Rule(u"<A>"_s, u"</A>"_s, 3);
    a.TreatAsText = true;
    a.DoGenerateSComment = a.DoGenerateEComment = a.EnableCounter = true;
    RecTAGInfo b = Rule(u"<B>"_s, u"</B>"_s, 4);
    b.TreatAsText = true;
    b.CRLFLeading = b.CRLFFollowed = 0;
    RecTAGInfo h = Rule(u"<H2>"_s, u"</H>"_s, 5);
    h.TreatAsText = true;
    h.CRLFFollowed = 2;
    s.TagTable[0] = table;
    s.TagTable[1] = td;
    s.TagTable[2] = a;
    s.TagTable[3] = b;
    s.TagTable[4] = h;
    s.TagCount = 5;
    return s;
}

void Check(const QString &page, const FormatterStyle &style, const char *name) {
    const QString once = FormatHtml(page, style);
    if (testing::PageText(once) != testing::PageText(page)) {
        std::fprintf(stderr, "page text lost with style %s\n", name);
        std::abort();
    }
    const testing::SettledRuns runs = testing::FormatUntilSettled(page, once, style);
    if (runs.actual != runs.expected) {
        std::fprintf(stderr, "run %d differs with style %s\n", runs.run, name);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const FormatterStyle stock = LoadFormatterStyle(QStringLiteral(VELMORA_STOCK_STYLE));
    static const FormatterStyle busy = BusyStyle();
    const QString page =
        DecodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))).text;
    Check(page, stock, "stock");
    Check(page, busy, "busy");
    return 0;
}
