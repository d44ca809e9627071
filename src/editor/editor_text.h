#pragma once
// A file's text as the editor holds it, and the way back to its bytes. The
// editor control knows only lines joined by '\n'; everything else the file's
// bytes carry (encoding, byte-order mark, each line's own line end, whether
// the last line has one) is kept beside the text, so that saving an unchanged
// text writes the very bytes that were read, and an edit changes only the
// lines it touched.

#include "foundation/text_codec.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace velmora {

// The most characters the editor holds. A longer file is shown cut short and
// read-only.
inline constexpr int kEditorMaxChars = 2000000;

enum class LineEnd : quint8 { Lf, CrLf, Cr };

struct EditorText {
    QString text; // lines joined by '\n' only
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    // The end of every line but the last, in order: one entry per '\n' in
    // text. The last line never has one (a file that ends with a line end has
    // an empty last line).
    std::vector<LineEnd> lineEnds;
    // What new and changed lines get: the file's most common line end (LF
    // when it has none; a tie goes to LF, then CR LF, then CR).
    LineEnd newLineEnd = LineEnd::Lf;
    // False when the control cannot hold the file exactly: it is then shown
    // read-only and must never be saved from the editor.
    bool exact = true;
    QString notice; // why not, in words for the user; empty when exact
};

EditorText DecodeEditorText(const QByteArray &bytes);

// The bytes to write for the edited text. Unchanged text gives back the
// original bytes exactly. The leading and trailing lines that the edited text
// shares with the loaded one keep their own line ends; the lines between, new
// or changed, take newLineEnd. The edited text may use '\n', CR LF, a lone CR
// or U+2029 between lines. Characters the file's encoding cannot hold become
// '?': ask EditorSaveProblem first.
QByteArray EncodeEditorText(const EditorText &loaded, const QString &edited);

// Why the edited text must not be saved, in words for the user; empty when
// it can be. A text that is not exact can never be saved; otherwise the
// first character that the file's encoding cannot hold (one above U+00FF in
// a Latin-1 file, a broken surrogate pair in UTF-8 or UTF-32) is named with
// its line, since writing it would lose it.
QString EditorSaveProblem(const EditorText &loaded, const QString &edited);

} // namespace velmora
