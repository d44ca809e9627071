#pragma once
// Text files are kept byte-exact: bytes that are valid UTF-8 are read as UTF-8,
// anything else as Latin-1 (which maps every byte to one character), and the
// text is written back in the encoding it was read in.

#include <QByteArray>
#include <QString>

namespace velmora {

enum class TextEncoding { Utf8, Latin1 };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false; // a UTF-8 byte-order mark preceded the text
};

DecodedText DecodeText(const QByteArray &bytes);
// Characters that the encoding cannot hold (only possible for Latin-1 after an
// edit) are written as '?'.
QByteArray EncodeText(const QString &text, TextEncoding encoding, bool byteOrderMark = false);

} // namespace velmora
