#include "sitecheck/html_entities.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace velmora {

namespace {

struct NamedReference {
    std::u16string_view name;
    char32_t code;
    bool legacy; // also recognised without the closing ';'
};

// The references that occur in URLs and names in practice: the markup
// characters, the Latin-1 letters and signs, and a few typographic ones.
// Sorted by name for the binary search.
constexpr std::array kReferences = std::to_array<NamedReference>({
    {u"AElig", 0xC6, true},    {u"Aacute", 0xC1, true},    {u"Acirc", 0xC2, true},
    {u"Agrave", 0xC0, true},   {u"Aring", 0xC5, true},     {u"Atilde", 0xC3, true},
    {u"Auml", 0xC4, true},     {u"Ccedil", 0xC7, true},    {u"ETH", 0xD0, true},
    {u"Eacute", 0xC9, true},   {u"Ecirc", 0xCA, true},     {u"Egrave", 0xC8, true},
    {u"Euml", 0xCB, true},     {u"Iacute", 0xCD, true},    {u"Icirc", 0xCE, true},
    {u"Igrave", 0xCC, true},   {u"Iuml", 0xCF, true},      {u"Ntilde", 0xD1, true},
    {u"Oacute", 0xD3, true},   {u"Ocirc", 0xD4, true},     {u"Ograve", 0xD2, true},
    {u"Oslash", 0xD8, true},   {u"Otilde", 0xD5, true},    {u"Ouml", 0xD6, true},
    {u"THORN", 0xDE, true},    {u"Uacute", 0xDA, true},    {u"Ucirc", 0xDB, true},
    {u"Ugrave", 0xD9, true},   {u"Uuml", 0xDC, true},      {u"Yacute", 0xDD, true},
    {u"aacute", 0xE1, true},   {u"acirc", 0xE2, true},     {u"acute", 0xB4, true},
    {u"aelig", 0xE6, true},    {u"agrave", 0xE0, true},    {u"amp", 0x26, true},
    {u"apos", 0x27, false},    {u"aring", 0xE5, true},     {u"atilde", 0xE3, true},
    {u"auml", 0xE4, true},     {u"brvbar", 0xA6, true},    {u"ccedil", 0xE7, true},
    {u"cedil", 0xB8, true},    {u"cent", 0xA2, true},      {u"colon", 0x3A, false},
    {u"comma", 0x2C, false},   {u"copy", 0xA9, true},      {u"curren", 0xA4, true},
    {u"deg", 0xB0, true},      {u"divide", 0xF7, true},    {u"eacute", 0xE9, true},
    {u"ecirc", 0xEA, true},    {u"egrave", 0xE8, true},    {u"equals", 0x3D, false},
    {u"eth", 0xF0, true},      {u"euml", 0xEB, true},      {u"euro", 0x20AC, false},
    {u"frac12", 0xBD, true},   {u"frac14", 0xBC, true},    {u"frac34", 0xBE, true},
    {u"gt", 0x3E, true},       {u"hyphen", 0x2010, false}, {u"iacute", 0xED, true},
    {u"icirc", 0xEE, true},    {u"iexcl", 0xA1, true},     {u"igrave", 0xEC, true},
    {u"iquest", 0xBF, true},   {u"iuml", 0xEF, true},      {u"laquo", 0xAB, true},
    {u"lowbar", 0x5F, false},  {u"lt", 0x3C, true},        {u"macr", 0xAF, true},
    {u"mdash", 0x2014, false}, {u"micro", 0xB5, true},     {u"middot", 0xB7, true},
    {u"nbsp", 0xA0, true},     {u"ndash", 0x2013, false},  {u"not", 0xAC, true},
    {u"ntilde", 0xF1, true},   {u"num", 0x23, false},      {u"oacute", 0xF3, true},
    {u"ocirc", 0xF4, true},    {u"ograve", 0xF2, true},    {u"ordf", 0xAA, true},
    {u"ordm", 0xBA, true},     {u"oslash", 0xF8, true},    {u"otilde", 0xF5, true},
    {u"ouml", 0xF6, true},     {u"para", 0xB6, true},      {u"percnt", 0x25, false},
    {u"period", 0x2E, false},  {u"plus", 0x2B, false},     {u"plusmn", 0xB1, true},
    {u"pound", 0xA3, true},    {u"quest", 0x3F, false},    {u"quot", 0x22, true},
    {u"raquo", 0xBB, true},    {u"reg", 0xAE, true},       {u"sect", 0xA7, true},
    {u"semi", 0x3B, false},    {u"shy", 0xAD, true},       {u"sol", 0x2F, false},
    {u"sup1", 0xB9, true},     {u"sup2", 0xB2, true},      {u"sup3", 0xB3, true},
    {u"szlig", 0xDF, true},    {u"thorn", 0xFE, true},     {u"tilde", 0x7E, false},
    {u"times", 0xD7, true},    {u"uacute", 0xFA, true},    {u"ucirc", 0xFB, true},
    {u"ugrave", 0xF9, true},   {u"uml", 0xA8, true},       {u"uuml", 0xFC, true},
    {u"yacute", 0xFD, true},   {u"yen", 0xA5, true},       {u"yuml", 0xFF, true},
});

bool IsAsciiAlnum(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

void AppendCode(QString &out, char32_t code) {
    // NUL, surrogates and values past Unicode become the replacement
    // character, as in a browser.
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    out.append(QString::fromUcs4(&code, 1));
}

// A numeric reference at value[pos] == '&', value[pos + 1] == '#'. Returns
// the length taken, or 0 when there are no digits.
qsizetype DecodeNumeric(QStringView value, qsizetype pos, QString &out) {
    qsizetype at = pos + 2;
    const bool hex = at < value.size() && (value[at] == u'x' || value[at] == u'X');
    if (hex)
        ++at;
    const qsizetype digitsFrom = at;
    char32_t code = 0;
    for (; at < value.size(); ++at) {
        const char16_t c = value[at].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            break;
        code = std::min<char32_t>(code * (hex ? 16 : 10) + char32_t(digit), 0x110000);
    }
    if (at == digitsFrom)
        return 0;
    if (at < value.size() && value[at] == u';')
        ++at;
    AppendCode(out, code);
    return at - pos;
}

// A named reference at value[pos] == '&'. Returns the length taken, or 0
// when the name is not one to decode here.
qsizetype DecodeNamed(QStringView value, qsizetype pos, QString &out) {
    qsizetype end = pos + 1;
    while (end < value.size() && IsAsciiAlnum(value[end]))
        ++end;
    const std::u16string_view name(reinterpret_cast<const char16_t *>(value.data()) + pos + 1,
                                   size_t(end - pos - 1));
    const auto found =
        std::lower_bound(kReferences.begin(), kReferences.end(), name,
                         [](const NamedReference &r, std::u16string_view n) { return r.name < n; });
    if (found == kReferences.end() || found->name != name)
        return 0;
    const bool closed = end < value.size() && value[end] == u';';
    if (!closed) {
        if (!found->legacy)
            return 0;
        if (end < value.size() && value[end] == u'=')
            return 0;
    }
    AppendCode(out, found->code);
    return end - pos + (closed ? 1 : 0);
}

} // namespace

QString DecodeAttributeEntities(QStringView value) {
    const qsizetype first = value.indexOf(u'&');
    if (first < 0)
        return value.toString();
    QString out;
    out.reserve(value.size());
    out.append(value.left(first));
    for (qsizetype pos = first; pos < value.size();) {
        if (value[pos] != u'&') {
            out.append(value[pos++]);
            continue;
        }
        const bool numeric = pos + 1 < value.size() && value[pos + 1] == u'#';
        const qsizetype taken =
            numeric ? DecodeNumeric(value, pos, out) : DecodeNamed(value, pos, out);
        if (taken == 0)
            out.append(value[pos++]);
        else
            pos += taken;
    }
    return out;
}

} // namespace velmora
