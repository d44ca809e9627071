#pragma once
// Text files are kept byte-exact. A file that begins with a UTF-16 or UTF-32
// byte-order mark is read in that encoding and byte order; otherwise bytes
// that are valid UTF-8 are read as UTF-8, anything else as Latin-1 (which maps
// every byte to one character). The text is written back in the encoding it
// was read in, so unchanged text gives back the same bytes.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace velmora {

enum class TextEncoding { Utf8, Latin1, Utf16Le, Utf16Be, Utf32Le, Utf32Be };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    // A byte-order mark preceded the text: optional for UTF-8, always there
    // for UTF-16 and UTF-32 (it is how they are recognised).
    bool byteOrderMark = false;
    // Not a text file: a NUL byte in data without a UTF-16/32 byte-order
    // mark (pictures and other binary files), or UTF-16/32 data that holds a
    // NUL character or does not decode (an odd trailing byte, a UTF-32 value
    // that is no character). The text is then the bytes read as UTF-8 or
    // Latin-1, so it still encodes back to the same bytes.
    bool binary = false;
};

DecodedText DecodeText(const QByteArray &bytes);
// The same as DecodeText, a piece at a time, asking stop() between the
// pieces: decoding a page of many megabytes takes long enough that a search
// stopped meanwhile should not wait for it. Nothing when stopped. (A page
// with a UTF-16/32 mark is decoded at once.)
std::optional<DecodedText> DecodeTextStoppable(const QByteArray &bytes,
                                               const std::function<bool()> &stop);
// The byte-order mark is written only when byteOrderMark is set, also for
// UTF-16 and UTF-32, so that a text can be encoded piece by piece. Characters
// that the encoding cannot hold (only possible after an edit: one above
// U+00FF in Latin-1, a lone surrogate in UTF-32) are written as '?'. A lone
// surrogate read from UTF-16 is written back to UTF-16 as it was.
QByteArray EncodeText(const QString &text, TextEncoding encoding, bool byteOrderMark = false);

} // namespace velmora
