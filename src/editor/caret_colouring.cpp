#include "editor/caret_colouring.h"

#include <algorithm>

namespace velmora {

ColorRef TypingColour(QChar key, const CaretNeighbours &around, const SyntaxColours &c) {
    if (around.colourBefore == c.CommentCol && around.colourAfter == c.CommentCol)
        return c.CommentCol;
    if (key == u'-' || key == u'<' || key == u'>')
        return c.TagCol;
    if (key == u'"')
        return c.QuotedCol;
    if (around.after == u'>')
        return c.TagCol;
    if (around.before == u'<')
        return c.TagCol;
    if (around.before == u'>')
        return c.TextCol;
    if (around.colourBefore == c.QuotedCol && around.colourAfter == c.TagCol)
        return c.TagCol;
    if (around.colourBefore == c.TagCol && around.colourAfter == c.TextCol)
        return c.TextCol;
    return around.colourBefore;
}

RecEditTagInfo TagAroundCaret(QStringView text, qsizetype p) {
    RecEditTagInfo info;
    info.caret = p;
    p = std::min(p, text.size());
    if (p <= 0)
        return info;
    const qsizetype lowest = std::max<qsizetype>(0, p - kTagSearchLimit);
    qsizetype lt = -1;
    for (qsizetype i = p - 1; i >= lowest; --i) {
        if (text[i] == u'<') {
            lt = i;
            break;
        }
    }
    if (lt < 0)
        return info;
    const qsizetype highest = std::min(text.size(), p + kTagSearchLimit);
    const qsizetype gt = text.left(highest).indexOf(u'>', p);
    if (gt < 0)
        return info;
    info.start = lt;
    info.end = gt + 1;
    info.length = info.end - info.start;
    info.text = text.mid(info.start, info.length).toString();
    info.kind = 1;
    return info;
}

std::vector<SyntaxRun> RecolourRuns(QStringView text, const RecEditTagInfo &range) {
    std::vector<SyntaxRun> runs;
    if (range.kind != 1 || range.start < 0 || range.end > text.size())
        return runs;
    const QStringView part = text.mid(range.start, range.length);
    bool stop = false;
    ForEachSyntaxRun(part, [&](SyntaxRun run) {
        if (stop || (run.kind == SyntaxKind::Comment && !run.closed)) {
            stop = true;
            return;
        }
        run.start += range.start;
        runs.push_back(run);
    });
    return runs;
}

} // namespace velmora
