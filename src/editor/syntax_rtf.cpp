#include "editor/syntax_rtf.h"

namespace velmora {

namespace {

void AppendColour(QByteArray &out, ColorRef c) {
    out += "\\red" + QByteArray::number(RedOf(c)) + "\\green" + QByteArray::number(GreenOf(c)) +
           "\\blue" + QByteArray::number(BlueOf(c)) + ';';
}

// Escapes text[from, to) into out. skipLf carries a CR LF pair across runs.
void AppendEscaped(QByteArray &out, QStringView text, qsizetype from, qsizetype to, bool &skipLf) {
    for (qsizetype i = from; i < to; ++i) {
        const char16_t u = text[i].unicode();
        if (skipLf) {
            skipLf = false;
            if (u == u'\n')
                continue;
        }
        switch (u) {
        case u'\\':
        case u'{':
        case u'}':
            out += '\\';
            out += char(u);
            break;
        case u'\r':
            skipLf = true;
            [[fallthrough]];
        case u'\n':
            out += "\r\n\\par ";
            break;
        default:
            if (u < 0x100) {
                out += char(u);
            } else {
                out += "\\u" + QByteArray::number(int(qint16(u))) + '?';
            }
        }
    }
}

} // namespace

QByteArray SyntaxRtfBody(QStringView text) {
    QByteArray out;
    out.reserve(text.size() + text.size() / 4 + 16);
    bool skipLf = false;
    ForEachSyntaxRun(text, [&](const SyntaxRun &run) {
        out += "\\cf";
        out += char('0' + int(run.kind));
        out += ' ';
        AppendEscaped(out, text, run.start, run.start + run.length, skipLf);
    });
    return out;
}

QByteArray BuildSyntaxRtf(QStringView text, const SyntaxColours &colours) {
    QByteArray out = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
                     "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n"
                     "{\\colortbl";
    AppendColour(out, colours.TextCol);
    AppendColour(out, colours.TagCol);
    AppendColour(out, colours.QuotedCol);
    AppendColour(out, colours.CommentCol);
    out += "}\r\n\\deflang1033\\pard\\plain\\f2\\fs18\\cf0 ";
    out += SyntaxRtfBody(text);
    out += '}';
    return out;
}

} // namespace velmora
