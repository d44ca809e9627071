#include "editor/compiled_regex.h"

#include "editor/regex_matcher.h"

namespace velmora {

using Matcher = regex_matcher::Pcre2<16>;

struct CompiledRegex::Code {
    regex_matcher::Compiled<16> compiled;
    // For searches without a limit on where a match starts.
    Matcher::MatchContext *context = nullptr;

    ~Code() {
        Matcher::contextFree(context);
        Matcher::codeFree(compiled.code);
    }
};

CompiledRegex::CompiledRegex(QStringView pattern, RegexOptions options) {
    const regex_matcher::Compiled<16> compiled = regex_matcher::Compile<16>(
        reinterpret_cast<PCRE2_SPTR16>(pattern.utf16()), PCRE2_SIZE(pattern.size()), options);
    if (!compiled.code)
        return;
    code_ = new Code;
    code_->compiled = compiled;
    code_->context = regex_matcher::NewMatchContext<16>();
}

CompiledRegex::~CompiledRegex() {
    delete code_;
}

RegexHit CompiledRegex::Match(QStringView text, qsizetype from, bool subjectChecked) const {
    if (!code_)
        return {};
    // Without a context of its own (it could not be made) the thread's
    // limited one serves, limited to the end of the text. No match, a text
    // that is not valid UTF-16, or a limit reached: nothing, as
    // QRegularExpression reports all of these.
    return regex_matcher::MatchOnce<16>(
        code_->compiled, reinterpret_cast<PCRE2_SPTR16>(text.utf16()), text.size(), from,
        subjectChecked ? PCRE2_NO_UTF_CHECK : 0, code_->context, text.size(), nullptr);
}

RegexHit CompiledRegex::MatchStartingBy(QStringView text, qsizetype from, qsizetype startLimit,
                                        bool subjectChecked, bool *failed) const {
    *failed = false;
    if (!code_)
        return {};
    return regex_matcher::MatchOnce<16>(
        code_->compiled, reinterpret_cast<PCRE2_SPTR16>(text.utf16()), text.size(), from,
        subjectChecked ? PCRE2_NO_UTF_CHECK : 0, nullptr, startLimit, failed);
}

} // namespace velmora
