#pragma once
// A regular expression compiled once for the UTF-16 text of QString, matched
// without an allocation per match. It compiles the pattern exactly as
// QRegularExpression does (UTF, and the same case and Unicode options, with
// the JIT), so both accept the same patterns and find the same matches; the
// difference is that the block the matcher writes its results into is made
// once per thread and reused, and the subject's UTF-16 check can be left to
// a caller that did it once for a whole text.

#include <QStringView>

#include <array>
#include <memory>

namespace velmora {

struct RegexOptions {
    bool caseInsensitive = false;
    bool unicodeProperties = false;
};

// Where one match lies, with the first groups it captured (the whole match
// is group 0). Only the first `groups` entries are set; a group after them,
// like one that took part in nothing, has start -1.
struct RegexHit {
    static constexpr int kGroups = 10;
    int groups = 0; // 0: no match
    std::array<qsizetype, 2 * kGroups> offsets;

    bool Found() const { return groups > 0; }
    qsizetype Start() const { return offsets[0]; }
    qsizetype End() const { return offsets[1]; }
    qsizetype GroupStart(int k) const { return k < groups ? offsets[2 * k] : -1; }
    qsizetype GroupEnd(int k) const { return k < groups ? offsets[2 * k + 1] : -1; }
};

class CompiledRegex {
public:
    CompiledRegex(QStringView pattern, RegexOptions options);
    ~CompiledRegex();
    CompiledRegex(const CompiledRegex &) = delete;
    CompiledRegex &operator=(const CompiledRegex &) = delete;

    bool Valid() const { return code_ != nullptr; }

    // The first match in text at or after from. subjectChecked says that
    // text is known to be valid UTF-16 (otherwise the matcher checks it and
    // finds nothing in a text that is not). Safe to call from several
    // threads at once.
    RegexHit Match(QStringView text, qsizetype from, bool subjectChecked) const;

    // As Match, but only a match that starts at or before startLimit is
    // found; it may run on past it. The matcher still sees the whole text,
    // so lookbehind, \b and $ see the real characters around the limit, and
    // a long text searched piece by piece this way gives exactly the matches
    // of one search of the whole of it, with a pause between the pieces.
    // *failed tells that the matcher gave up (a limit of its own reached, a
    // text that is not valid UTF-16) rather than found nothing: a search of
    // the whole text would have ended there.
    RegexHit MatchStartingBy(QStringView text, qsizetype from, qsizetype startLimit,
                             bool subjectChecked, bool *failed) const;

private:
    struct Code;
    Code *code_ = nullptr;
};

} // namespace velmora
