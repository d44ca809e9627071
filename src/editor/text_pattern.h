#pragma once
// What a search looks for and what a replacement writes, in one place for
// every search of the program: a literal text (Match case and Whole word as
// the editor's Find has them) or a regular expression, and a replacement
// text that, for a regular expression, may name the captured groups.
// Neither widgets nor files here: the caller brings the text.

#include "editor/compiled_regex.h"
#include "editor/compiled_utf8_regex.h"
#include "editor/text_check.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <vector>

namespace velmora {

struct PatternOptions {
    bool wholeWord = false;
    bool matchCase = false;
    bool regularExpression = false;
};

// One occurrence: where it starts and how long it is. A regular expression
// also keeps its groups \0 to \9 for the replacement, as views of the text
// searched (empty for a group that took part in nothing).
struct PatternMatch {
    qsizetype start = -1;
    qsizetype length = 0;
    std::vector<QStringView> groups;

    bool Found() const { return start >= 0; }
    qsizetype End() const { return start + length; }
};

// The outcome of Replace All: the new text, how many occurrences went, and
// where the last replacement ends in the new text (-1 when none).
// One occurrence that Replace All replaces: its place in the original text
// and the text that takes its place.
struct PatternReplacement {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

struct ReplaceAllResult {
    QString text;
    int count = 0;
    qsizetype lastEnd = -1;
};

// One step of a search of a long text in pieces (see NextPlaceStartingBy).
struct PiecePlace {
    PatternMatch match;    // the occurrence, when it starts by the piece's limit
    qsizetype resume = -1; // otherwise where the search goes on; -1: it is over
};

// Which texts a regular expression is compiled for: the UTF-16 text of a
// QString always; with WithUtf8 also valid UTF-8 bytes, for a search of many
// pages that need not be decoded.
enum class PatternForms { Text, WithUtf8 };

class TextPattern {
public:
    // An empty find text matches nothing. A regular expression is compiled
    // here once; Valid() tells whether it compiled.
    TextPattern(const QString &find, PatternOptions options,
                PatternForms forms = PatternForms::Text);

    bool Valid() const { return error_.isEmpty(); }
    // Why the pattern is not valid: the error and the offset where it was
    // noticed ("missing closing parenthesis at offset 3"); empty when valid.
    QString Error() const { return error_; }
    const QString &Find() const { return find_; }
    PatternOptions Options() const { return options_; }

    // The first occurrence at or after from, or a match that is not Found().
    // An empty match is passed over when nonEmpty is set (a search that
    // selects what it finds cannot show one).
    PatternMatch Next(QStringView text, qsizetype from, bool nonEmpty = false,
                      TextCheck check = TextCheck::Check) const;
    // The same occurrence as Next, without the groups: for callers that only
    // need where the occurrences are, and find millions of them.
    PatternMatch NextPlace(QStringView text, qsizetype from, bool nonEmpty = false,
                           TextCheck check = TextCheck::Check) const;
    // The occurrence NextPlace finds, when it starts at or before startLimit
    // (it may end after it). Otherwise nothing, and where to go on: NextPlace
    // from there finds what it would have found from `from`. So a search of
    // a long text can pause between pieces (to see whether it was stopped)
    // and still find exactly what one search of the whole text finds.
    PiecePlace NextPlaceStartingBy(QStringView text, qsizetype from, qsizetype startLimit,
                                   bool nonEmpty = false, TextCheck check = TextCheck::Check) const;

    // Whether UTF-8 bytes so checked (CheckUtf8Text) can be searched with
    // NextPlaceInUtf8StartingBy: a regular expression compiled WithUtf8,
    // and bytes that are valid UTF-8 (only ASCII for a pattern with \C,
    // which matches one code unit, not one character).
    bool SearchesUtf8(TextCheck check) const;
    // NextPlaceStartingBy for UTF-8 bytes that SearchesUtf8 accepts, with
    // every place in bytes: the same occurrences as in the decoded text, and
    // where to go on, always at the start of a character.
    PiecePlace NextPlaceInUtf8StartingBy(QByteArrayView bytes, qsizetype from, qsizetype startLimit,
                                         bool nonEmpty, TextCheck check) const;

    // What replaces match: for a literal text the replacement as it stands;
    // for a regular expression \0 to \9 give the captured groups (\0 the
    // whole match, a group that took part in nothing gives nothing), \n and
    // \t a line break and a tab, \\ one backslash; any other backslash stays.
    QString Expand(const PatternMatch &match, const QString &replacement) const;

    // Every occurrence from position from on replaced, each once: the search
    // goes on in the original text after each occurrence, so a replacement
    // is never searched again. An empty match is replaced too, and the
    // search then moves one character on, so that this always ends.
    ReplaceAllResult ReplaceAll(QStringView text, qsizetype from, const QString &replacement) const;
    // The occurrences Replace All replaces, in order, without building the
    // new text: for callers that change the original bytes only where the
    // occurrences are.
    std::vector<PatternReplacement> Replacements(QStringView text, qsizetype from,
                                                 const QString &replacement) const;

private:
    PatternMatch NextLiteral(QStringView text, qsizetype from,
                             std::optional<QChar> prevChar = std::nullopt) const;
    PatternMatch NextRegular(QStringView text, qsizetype from, bool nonEmpty, TextCheck check,
                             bool withGroups) const;
    PiecePlace NextLiteralStartingBy(QStringView text, qsizetype from, qsizetype startLimit) const;
    PiecePlace NextRegularStartingBy(QStringView text, qsizetype from, qsizetype startLimit,
                                     bool nonEmpty, TextCheck check) const;
    bool IsWholeWord(QStringView text, qsizetype start, qsizetype end,
                     std::optional<QChar> prevChar, qsizetype from) const;
    const CompiledRegex &FormFor(TextCheck check) const;
    const CompiledUtf8Regex *Utf8FormFor(TextCheck check) const;
    void CompileUtf8Forms();

    QString find_;
    PatternOptions options_;
    // Shared by copies: a compiled pattern is only read while matching.
    std::shared_ptr<const CompiledRegex> regex_;
    std::shared_ptr<const CompiledRegex> asciiRegex_;   // for KnownAscii texts
    std::shared_ptr<const CompiledRegex> neutralRegex_; // for KnownNeutral texts
    // The same forms for UTF-8 bytes, made only for PatternForms::WithUtf8.
    std::shared_ptr<const CompiledUtf8Regex> asciiUtf8Regex_;
    std::shared_ptr<const CompiledUtf8Regex> neutralUtf8Regex_;
    std::shared_ptr<const CompiledUtf8Regex> validUtf8Regex_; // the Unicode form
    // \G and the backtracking verbs see where each call of the matcher
    // starts, so a pattern with them is searched in one piece.
    bool searchableInPieces_ = true;
    QString error_;
};

} // namespace velmora
