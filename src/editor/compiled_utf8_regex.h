#pragma once
// A regular expression compiled for UTF-8 bytes, beside CompiledRegex which
// matches the UTF-16 text of a QString. It compiles the pattern with the same
// options (UTF, case, Unicode properties when asked, the library's own
// newline defaults, the JIT), so on text both can read it finds the same
// matches; its offsets count bytes. It lets a page that is valid UTF-8 be
// searched without decoding it first. The caller checks the bytes once per
// page: the matcher never checks them again.

#include "editor/compiled_regex.h"

#include <QByteArrayView>
#include <QStringView>

namespace velmora {

class CompiledUtf8Regex {
public:
    CompiledUtf8Regex(QStringView pattern, RegexOptions options);
    ~CompiledUtf8Regex();
    CompiledUtf8Regex(const CompiledUtf8Regex &) = delete;
    CompiledUtf8Regex &operator=(const CompiledUtf8Regex &) = delete;

    bool Valid() const { return code_ != nullptr; }

    // The first match in bytes at or after from that starts at or before
    // startLimit (it may run on past it), as CompiledRegex::MatchStartingBy.
    // bytes must be valid UTF-8 and from and startLimit at the start of a
    // character. *failed tells that the matcher gave up rather than found
    // nothing. Safe to call from several threads at once.
    RegexHit MatchStartingBy(QByteArrayView bytes, qsizetype from, qsizetype startLimit,
                             bool *failed) const;

private:
    struct Code;
    Code *code_ = nullptr;
};

} // namespace velmora
