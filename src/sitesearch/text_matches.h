#pragma once
// The occurrences of a pattern in a page's text, each with its line: the line
// number and column the editor would show, and the line's text for a results
// list. Lines end at LF, CR LF or a lone CR, as the editor splits them.

#include "editor/text_pattern.h"

#include <QString>
#include <QStringView>

#include <QByteArrayView>

#include <functional>
#include <optional>
#include <vector>

namespace velmora {

// A result row shows at most this many characters of a long line (minified
// pages hold whole sites on one line): the part around the occurrence.
inline constexpr qsizetype kShownLineChars = 240;

// A long page is searched in pieces of about this many characters (or
// bytes), asking between them whether the search was stopped, so that Stop
// is quick even in the middle of a page of many megabytes.
inline constexpr qsizetype kSearchPieceChars = qsizetype(1) << 20;

struct LineMatch {
    int line = 0;               // from 1
    bool wholeLine = false;     // shownLine is the whole line
    qsizetype column = 0;       // from 1, in characters of the line
    qsizetype start = 0;        // in the whole text
    qsizetype length = 0;       // in the text
    qsizetype editorLength = 0; // in the editor's text, where a CR LF is one character
    QString shownLine;          // the line, or the part of it around the occurrence
    qsizetype shownStart = 0;   // where the occurrence starts in shownLine
    qsizetype shownLength = 0;  // and how much of it shownLine holds
};

// Tells, for positions that only grow, on which line they are. Shared by the
// search and the replacement's preview.
class LineCursor {
public:
    explicit LineCursor(QStringView text) : text_(text) {}
    // Moves to the line holding position pos (pos never smaller than before).
    void MoveTo(qsizetype pos);
    int Line() const { return line_; }
    qsizetype LineStart() const { return lineStart_; }
    // The end of the current line, before its line end.
    qsizetype LineEnd() const;
    // The same, or limit when the line runs on past it: a results row needs
    // only the start of a line of many megabytes.
    qsizetype LineEndWithin(qsizetype limit) const;

private:
    QStringView text_;
    qsizetype scanned_ = 0; // every line end before this was counted
    qsizetype lineStart_ = 0;
    int line_ = 1;
};

struct MatchCount {
    qint64 found = 0; // every occurrence
    bool stopped = false;
};

// Finds the occurrences of pattern in text, one after the other as the
// editor's Find Next finds them (empty occurrences of a regular expression
// are passed over). Each is counted; keep() decides whether it is also
// described in out (false once the caller holds as many as it keeps).
// stop() is asked now and then (after every piece of a long text and every
// 256 occurrences); true ends the search early. check says
// whether text is already known to be valid UTF-16 (as text decoded from
// UTF-8 or Latin-1 always is), which saves reading it once more.
MatchCount CollectMatches(QStringView text, const TextPattern &pattern, std::vector<LineMatch> &out,
                          const std::function<bool()> &keep, const std::function<bool()> &stop,
                          TextCheck check = TextCheck::Check);

// The same as CollectMatches on the page's decoded text, found in the page's
// bytes without decoding them, in a page with no NUL byte and no UTF-16/32
// byte-order mark:
//  - a text of ASCII characters without line breaks searched with Match
//    case, in UTF-8 or Latin-1 (where each ASCII character is its own byte
//    and no other character has a byte below 0x80);
//  - a regular expression of a pattern made with PatternForms::WithUtf8, in
//    a page of valid UTF-8 (or ASCII), matched by the form of the pattern the
//    decoded text would be matched by (see CheckUtf8Text).
// Nothing when that is not so: the caller then decodes the page.
std::optional<MatchCount> CollectMatchesInBytes(QByteArrayView bytes, const TextPattern &pattern,
                                                std::vector<LineMatch> &out,
                                                const std::function<bool()> &keep,
                                                const std::function<bool()> &stop);

// How a page without a UTF-16/32 mark and without a NUL byte is read.
enum class NarrowEncoding { Utf8, Latin1 };

// The occurrences that the editor's Replace All replaces with replacement,
// as byte offsets in the page (each as long as the text found), found in
// the bytes under the same conditions as CollectMatchesInBytes, and with
// the same rule for a Whole word right after a replacement. Nothing when
// those conditions do not hold: the caller then decodes the page.
std::optional<NarrowEncoding> FindReplacementsInBytes(QByteArrayView bytes,
                                                      const TextPattern &pattern,
                                                      const QString &replacement,
                                                      std::vector<qsizetype> &starts);

} // namespace velmora
