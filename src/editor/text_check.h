#pragma once
// What one look at a whole text tells the regular expression searches in it,
// so that the many searches that follow need not look again, and so that a
// text whose characters cannot tell the two forms of a pattern apart is
// matched by the quicker one.

#include <QByteArrayView>
#include <QStringView>

namespace velmora {

// Whether a regular expression search checks that the text is valid UTF-16
// first. The check reads the whole text, so a caller that searches one text
// many times checks it once and says so.
//  - KnownValid: the text is valid UTF-16.
//  - KnownAscii: every character is ASCII. Such a text is matched by a form
//    of the pattern that tests \w, \d, \s, \b and the [:classes:] by table
//    rather than by Unicode property, which is quicker and gives the same
//    answers for ASCII characters.
//  - KnownNeutral: valid UTF-16 without surrogates, and every character that
//    is not ASCII is one the Unicode-property tests treat exactly as the
//    table tests do (IsNeutralCharacter). Matched by the quicker form too,
//    unless the pattern names a [:class:] (see TextPattern).
enum class TextCheck { Check, KnownValid, KnownAscii, KnownNeutral };

// A character beyond ASCII for which the Unicode-property tests and the
// table tests cannot differ: punctuation (but not connector punctuation
// such as U+203F) or a symbol, with no case partner, and no space. Letters,
// numbers, marks, separators, controls, format characters, surrogates,
// private-use and unassigned code points are never neutral. ASCII
// characters count as neutral: both forms agree on them.
bool IsNeutralCharacter(char16_t c);

// Looks at text once (the quick ASCII test first, then a table lookup per
// unit from the first unit beyond ASCII on) and says what a regular
// expression search in it may rely on. known is what the caller already
// knows (KnownValid for text decoded from UTF-8 or Latin-1); it is never
// weakened.
TextCheck CheckText(QStringView text, TextCheck known = TextCheck::Check);

// The same look at UTF-8 bytes (without a byte-order mark), for a search
// that matches them without decoding them: KnownAscii when every byte is
// below 0x80; KnownNeutral when they are valid UTF-8 and every character
// beyond ASCII is neutral (so none lies beyond U+FFFF); KnownValid when they
// are valid UTF-8 with other characters; Check when they are not valid
// UTF-8 (the editor reads such bytes as Latin-1). Valid as the editor's
// decoder has it: no overlong form, surrogate or code point beyond U+10FFFF.
// A NUL byte is ASCII here: whether a page with one is text at all is the
// caller's to tell.
TextCheck CheckUtf8Text(QByteArrayView bytes);

} // namespace velmora
