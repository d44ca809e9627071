#include "foundation/text_utils.h"

namespace velmora {

QString TrimCharLeft(const QString &s, QChar c) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == c)
        ++i;
    return s.mid(i);
}

QString TrimCharRight(const QString &s, QChar c) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == c)
        --n;
    return s.left(n);
}

QString TrimSpaces(const QString &s) {
    return TrimCharRight(TrimCharLeft(s, u' '), u' ');
}

QString CollapseBlanks(const QString &s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c == u'\t')
            c = u' ';
        if (c == u' ' && !out.isEmpty() && out.back() == u' ')
            continue;
        out.append(c);
    }
    return out;
}

bool IsSpaceChar(QChar c) {
    return c == u'\t' || c == u'\n' || c == u'\r' || c == u' ';
}

bool IsBlank(const QString &s) {
    for (QChar c : s)
        if (!IsSpaceChar(c))
            return false;
    return true;
}

bool IsAlphaNum(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

QChar ToLowerChar(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 'A' && u <= 'Z')
        return QChar(u + 32);
    switch (u) {
    case 0xC4:
        return QChar(0xE4);
    case 0xD6:
        return QChar(0xF6);
    case 0xDC:
        return QChar(0xFC);
    default:
        return c;
    }
}

bool StartsWithTag(const QString &s) {
    return !s.isEmpty() && s[0] == u'<';
}

QString NormalizeTag(const QString &s) {
    if (s.isEmpty())
        return s;
    const bool endsInBlank = s.back() == u' ';
    QString t = TrimSpaces(s);
    t = TrimCharLeft(t, u'<');
    t = TrimCharRight(t, u'>');
    t = TrimSpaces(t);
    t = u'<' + t + u'>';
    if (endsInBlank)
        t += u' ';
    return t;
}

void SetWordCase(QString &s, int p, int mode) {
    if (p < 1 || p > s.size() || mode == 3)
        return;
    for (qsizetype i = p - 1; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u' ' || c == u'"' || c == u'>')
            break;
        if (mode == 1 && c.unicode() >= 'a' && c.unicode() <= 'z')
            s[i] = QChar(c.unicode() - 32);
        else if (mode == 2)
            s[i] = ToLowerChar(c);
    }
}

static char16_t AsciiUpperChar(char16_t u) {
    return (u >= 'a' && u <= 'z') ? u - 32 : u;
}

QString AsciiUpper(const QString &s) {
    QString out = s;
    for (QChar &c : out)
        c = QChar(AsciiUpperChar(c.unicode()));
    return out;
}

bool SameTextAscii(const QString &a, const QString &b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (AsciiUpperChar(a[i].unicode()) != AsciiUpperChar(b[i].unicode()))
            return false;
    return true;
}

int PosFrom(const QString &pattern, const QString &s, int f) {
    if (f < 1)
        f = 1;
    if (pattern.isEmpty() || f > s.size())
        return 0;
    const qsizetype last = s.size() - pattern.size();
    for (qsizetype i = f - 1; i <= last; ++i) {
        qsizetype k = 0;
        while (k < pattern.size() &&
               AsciiUpperChar(s[i + k].unicode()) == AsciiUpperChar(pattern[k].unicode()))
            ++k;
        if (k == pattern.size())
            return int(i + 1);
    }
    return 0;
}

QString ExtractField(const QString &s, QChar c, int n) {
    if (n < 0)
        return {};
    qsizetype start = 0;
    for (int field = 0; field < n; ++field) {
        const qsizetype next = s.indexOf(c, start);
        if (next < 0)
            return {};
        start = next + 1;
    }
    const qsizetype end = s.indexOf(c, start);
    return s.mid(start, end < 0 ? -1 : end - start);
}

void ReplaceAll(QString &s, const QString &search, const QString &replacement) {
    if (search.isEmpty())
        return;
    const QString needle = search.toUpper();
    const QString upper = s.toUpper();
    QString out;
    if (upper.size() == s.size() && needle.size() == search.size()) {
        // Upper case kept every position: search the upper-cased copy and copy
        // the unreplaced parts from the original to keep their letter case.
        qsizetype from = 0;
        for (qsizetype hit = upper.indexOf(needle); hit >= 0; hit = upper.indexOf(needle, from)) {
            out += QStringView(s).mid(from, hit - from);
            out += replacement;
            from = hit + search.size();
        }
        if (from == 0)
            return;
        out += QStringView(s).mid(from);
    } else {
        // Some character (German sharp s) changes length in upper case:
        // compare window by window instead.
        qsizetype i = 0;
        const qsizetype len = search.size();
        while (i < s.size()) {
            if (i + len <= s.size() && s.mid(i, len).toUpper() == needle) {
                out += replacement;
                i += len;
            } else {
                out += s[i++];
            }
        }
    }
    s = out;
}

QString NextCounter(const QString &prefix, const QString &s) {
    const qsizetype colon = s.indexOf(u':');
    const QString digits = s.mid(colon < 0 ? 0 : colon + 1, 10);
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok, 10);
    if (!ok || digits.trimmed() != digits)
        throw ConversionError{digits};
    return prefix + u':' + QString::number(value + 1);
}

} // namespace velmora
