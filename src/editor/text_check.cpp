#include "editor/text_check.h"

#include <QChar>
#include <QString>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace velmora {
namespace {

// Regular expressions are compiled with PCRE2 in UTF mode. What its
// Unicode-property option (PCRE2_UCP, as QRegularExpression's
// UseUnicodePropertiesOption) changes, as PCRE2 10.42's pcre2pattern and
// pcre2unicode pages describe it:
//   \d \D   \p{Nd} instead of 0-9
//   \s \S   \p{Z}, \h or \v instead of the ASCII spaces
//   \w \W   \p{L}, \p{N} or '_' instead of ASCII letters, digits and '_'
//   \b \B   follow \w
//   [:alnum:] [:alpha:] [:blank:] [:cntrl:] [:digit:] [:lower:] [:space:]
//   [:upper:] [:word:]   become \p{Xan} \p{L} \h \p{Cc} \p{Nd} \p{Ll} \p{Xps}
//                        \p{Lu} \p{Xwd}
//   [:graph:] [:print:]  every L, M, N, P, S and Cf character (and Zs)
//   [:punct:]            every P character, and S below U+0100 ("¶", "©")
//   case                 Unicode case for characters beyond U+007F; in UTF
//                        mode that is so with or without the option, but
//                        nothing here relies on it
// Unchanged by it: literal characters, '.', \h \H \v \V \R \X \p \P, and
// classes built of these.
//
// Without the option none of the changed tests matches a character beyond
// ASCII (the built-in tables know ASCII only). So a character beyond ASCII
// that no changed escape matches with the option, and that has no other
// case, is treated alike by both forms, except by the [:classes:]: punctuation
// and symbols are [:punct:] and [:graph:], so a pattern that names a
// [:class:] keeps the Unicode form (TextPattern sees to that).

bool IsPunctuationOrSymbol(QChar::Category category) {
    switch (category) {
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
    case QChar::Symbol_Math:
    case QChar::Symbol_Currency:
    case QChar::Symbol_Modifier:
    case QChar::Symbol_Other:
        return true;
    default: // Punctuation_Connector is \w under some PCRE2 versions
        return false;
    }
}

// Every character \s matches with the option besides \p{Z}: \h and \v
// match these whatever the option, but they must not count as neutral
// since \s matches them only with it. Most are Z anyway; U+0085 is a
// control and U+180E a format character.
constexpr char16_t kUnicodeSpaces[] = {0x0085, 0x00A0, 0x1680, 0x180E, 0x2000, 0x2001, 0x2002,
                                       0x2003, 0x2004, 0x2005, 0x2006, 0x2007, 0x2008, 0x2009,
                                       0x200A, 0x2028, 0x2029, 0x202F, 0x205F, 0x3000};

using NeutralTable = std::array<bool, 0x10000>;

std::unique_ptr<const NeutralTable> BuildNeutralTable() {
    auto table = std::make_unique<NeutralTable>();
    for (char32_t c = 0; c < 0x10000; ++c)
        (*table)[c] = c < 0x80 || IsPunctuationOrSymbol(QChar::category(c));
    // A character with another case, or that is another's other case, is
    // matched differently once case is ignored (Kelvin sign and 'k'). The
    // circled letters are symbols and have case. Only BMP characters are
    // looked at: none beyond U+FFFF has a case partner within the BMP.
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        for (const char32_t other : {QChar::toLower(c), QChar::toUpper(c), QChar::toTitleCase(c),
                                     QChar::toCaseFolded(c)}) {
            if (other == c)
                continue;
            (*table)[c] = false;
            // ASCII stays: 'k' is matched alike by both forms, the Kelvin
            // sign is not, and it is the one left out.
            if (other >= 0x80 && other < 0x10000)
                (*table)[other] = false;
        }
    }
    for (const char16_t space : kUnicodeSpaces)
        (*table)[space] = false;
    return table;
}

// Built once, on first need, by whichever thread asks first.
const NeutralTable &Table() {
    static const std::unique_ptr<const NeutralTable> table = BuildNeutralTable();
    return *table;
}

constexpr std::uint64_t kBeyondAscii = 0xFF80FF80FF80FF80ull; // in any of four units

std::uint64_t FourUnits(const char16_t *p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Where the first unit beyond ASCII is, or size when there is none. Reads
// four units at a time: most pages are mostly ASCII.
qsizetype FirstBeyondAscii(const char16_t *data, qsizetype size) {
    qsizetype i = 0;
    while (i + 4 <= size && (FourUnits(data + i) & kBeyondAscii) == 0)
        i += 4;
    while (i < size && data[i] < 0x80)
        ++i;
    return i;
}

bool AllNeutralFrom(const char16_t *data, qsizetype size, qsizetype from) {
    const NeutralTable &table = Table();
    qsizetype i = from;
    for (; i + 4 <= size; i += 4) {
        if ((FourUnits(data + i) & kBeyondAscii) == 0)
            continue;
        if (!(table[data[i]] & table[data[i + 1]] & table[data[i + 2]] & table[data[i + 3]]))
            return false;
    }
    for (; i < size; ++i)
        if (!table[data[i]])
            return false;
    return true;
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ull; // in any of eight bytes

// Where the first byte of 0x80 or more is, or size when there is none; eight
// bytes at a time.
qsizetype FirstNonAsciiByte(const uchar *data, qsizetype size) {
    qsizetype i = 0;
    for (std::uint64_t word; i + 8 <= size; i += 8) {
        std::memcpy(&word, data + i, sizeof word);
        if (word & kHighBits)
            break;
    }
    while (i < size && data[i] < 0x80)
        ++i;
    return i;
}

bool IsContinuation(uchar b) {
    return (b & 0xC0) == 0x80;
}

// The character whose UTF-8 sequence starts at data[i] (a byte of 0x80 or
// more), with *length set to its bytes; -1 for bytes that are not valid
// UTF-8. Overlong forms, surrogates and sequences beyond U+10FFFF are
// invalid, as the decoder has them.
char32_t CharacterAt(const uchar *data, qsizetype i, qsizetype size, int *length) {
    constexpr char32_t kInvalid = char32_t(-1);
    const uchar lead = data[i];
    int count = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4;
        least = 0x10000;
    } else {
        return kInvalid;
    }
    if (i + count > size)
        return kInvalid;
    char32_t c = lead & (0x7F >> count);
    for (int k = 1; k < count; ++k) {
        if (!IsContinuation(data[i + k]))
            return kInvalid;
        c = (c << 6) | (data[i + k] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return kInvalid;
    *length = count;
    return c;
}

// From the first byte beyond ASCII on: KnownNeutral, KnownValid (valid, but
// some character is not neutral) or Check (not valid UTF-8).
TextCheck Utf8CheckFrom(const uchar *data, qsizetype size, qsizetype from) {
    const NeutralTable &table = Table();
    bool neutral = true;
    for (qsizetype i = from; i < size;) {
        if (data[i] < 0x80) {
            i += FirstNonAsciiByte(data + i, size - i);
            continue;
        }
        int length = 0;
        const char32_t c = CharacterAt(data, i, size, &length);
        if (c == char32_t(-1))
            return TextCheck::Check;
        // Beyond U+FFFF a character is a surrogate pair: never neutral.
        neutral = neutral && c < 0x10000 && table[c];
        i += length;
    }
    return neutral ? TextCheck::KnownNeutral : TextCheck::KnownValid;
}

} // namespace

TextCheck CheckUtf8Text(QByteArrayView bytes) {
    const uchar *data = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype first = FirstNonAsciiByte(data, bytes.size());
    if (first == bytes.size())
        return TextCheck::KnownAscii;
    return Utf8CheckFrom(data, bytes.size(), first);
}

bool IsNeutralCharacter(char16_t c) {
    return Table()[c];
}

TextCheck CheckText(QStringView text, TextCheck known) {
    if (known == TextCheck::KnownAscii || known == TextCheck::KnownNeutral)
        return known;
    // Qt's own test reads many units at a time, and most pages are ASCII.
    if (QtPrivate::isAscii(text))
        return TextCheck::KnownAscii;
    const char16_t *data = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype first = FirstBeyondAscii(data, text.size());
    // Surrogates are never neutral, so a neutral text is valid UTF-16.
    if (AllNeutralFrom(data, text.size(), first))
        return TextCheck::KnownNeutral;
    if (known == TextCheck::KnownValid || text.isValidUtf16())
        return TextCheck::KnownValid;
    return TextCheck::Check;
}

} // namespace velmora
