#include "editor/compiled_utf8_regex.h"

#include "editor/regex_matcher.h"

#include <QByteArray>

namespace velmora {

struct CompiledUtf8Regex::Code {
    regex_matcher::Compiled<8> compiled;

    ~Code() { regex_matcher::Pcre2<8>::codeFree(compiled.code); }
};

CompiledUtf8Regex::CompiledUtf8Regex(QStringView pattern, RegexOptions options) {
    // A pattern that is not valid UTF-16 is refused by the UTF-16 form; its
    // UTF-8 would hold replacement characters instead, so it is refused here.
    if (!pattern.isValidUtf16())
        return;
    const QByteArray utf8 = pattern.toUtf8();
    const regex_matcher::Compiled<8> compiled = regex_matcher::Compile<8>(
        reinterpret_cast<PCRE2_SPTR8>(utf8.constData()), PCRE2_SIZE(utf8.size()), options);
    if (!compiled.code)
        return;
    code_ = new Code;
    code_->compiled = compiled;
}

CompiledUtf8Regex::~CompiledUtf8Regex() {
    delete code_;
}

RegexHit CompiledUtf8Regex::MatchStartingBy(QByteArrayView bytes, qsizetype from,
                                            qsizetype startLimit, bool *failed) const {
    *failed = false;
    if (!code_)
        return {};
    return regex_matcher::MatchOnce<8>(code_->compiled, reinterpret_cast<PCRE2_SPTR8>(bytes.data()),
                                       bytes.size(), from, PCRE2_NO_UTF_CHECK, nullptr, startLimit,
                                       failed);
}

} // namespace velmora
