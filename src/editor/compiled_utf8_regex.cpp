#include "editor/compiled_utf8_regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QByteArray>

#include <algorithm>

namespace velmora {
namespace {

// The blocks each thread matches with, as for the UTF-16 form: the results
// block (grown for a pattern with more groups), the JIT stack, and the
// match context whose start limit changes from call to call.
struct ThreadBlocks8 {
    pcre2_match_data_8 *data = nullptr;
    uint32_t pairs = 0;
    pcre2_jit_stack_8 *stack = nullptr;
    pcre2_match_context_8 *context = nullptr;

    ~ThreadBlocks8() {
        pcre2_match_context_free_8(context);
        pcre2_match_data_free_8(data);
        pcre2_jit_stack_free_8(stack);
    }

    pcre2_match_data_8 *Data(uint32_t needed) {
        if (pairs < needed) {
            pcre2_match_data_free_8(data);
            data = pcre2_match_data_create_8(needed, nullptr);
            pairs = data ? needed : 0;
        }
        return data;
    }
};

thread_local ThreadBlocks8 t_blocks8;

// As large a JIT stack as QRegularExpression allows, made on first need.
pcre2_jit_stack_8 *ThreadJitStack8(void *) {
    if (!t_blocks8.stack)
        t_blocks8.stack = pcre2_jit_stack_create_8(32 * 1024, 512 * 1024, nullptr);
    return t_blocks8.stack;
}

pcre2_match_context_8 *LimitedMatchContext8(PCRE2_SIZE startLimit) {
    if (!t_blocks8.context) {
        t_blocks8.context = pcre2_match_context_create_8(nullptr);
        if (!t_blocks8.context)
            return nullptr;
        pcre2_jit_stack_assign_8(t_blocks8.context, &ThreadJitStack8, nullptr);
    }
    pcre2_set_offset_limit_8(t_blocks8.context, startLimit);
    return t_blocks8.context;
}

RegexHit HitOf(pcre2_match_data_8 *data, int result) {
    RegexHit hit;
    if (result <= 0)
        return hit;
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer_8(data);
    hit.groups = std::min<int>(result, RegexHit::kGroups);
    for (int i = 0; i < 2 * hit.groups; ++i)
        hit.offsets[i] = ovector[i] == PCRE2_UNSET ? -1 : qsizetype(ovector[i]);
    return hit;
}

} // namespace

struct CompiledUtf8Regex::Code {
    pcre2_code_8 *code = nullptr;
    uint32_t pairs = 1;

    ~Code() { pcre2_code_free_8(code); }
};

CompiledUtf8Regex::CompiledUtf8Regex(QStringView pattern, RegexOptions options) {
    // A pattern that is not valid UTF-16 is refused by the UTF-16 form; its
    // UTF-8 would hold replacement characters instead, so it is refused here.
    if (!pattern.isValidUtf16())
        return;
    uint32_t flags = PCRE2_UTF | PCRE2_USE_OFFSET_LIMIT;
    if (options.caseInsensitive)
        flags |= PCRE2_CASELESS;
    if (options.unicodeProperties)
        flags |= PCRE2_UCP;
    const QByteArray utf8 = pattern.toUtf8();
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code_8 *code =
        pcre2_compile_8(reinterpret_cast<PCRE2_SPTR8>(utf8.constData()), PCRE2_SIZE(utf8.size()),
                        flags, &error, &errorOffset, nullptr);
    if (!code)
        return;
    code_ = new Code;
    code_->code = code;
    pcre2_jit_compile_8(code, PCRE2_JIT_COMPLETE);
    uint32_t captures = 0;
    pcre2_pattern_info_8(code, PCRE2_INFO_CAPTURECOUNT, &captures);
    code_->pairs = captures + 1;
}

CompiledUtf8Regex::~CompiledUtf8Regex() {
    delete code_;
}

RegexHit CompiledUtf8Regex::MatchStartingBy(QByteArrayView bytes, qsizetype from,
                                            qsizetype startLimit, bool *failed) const {
    RegexHit hit;
    *failed = false;
    if (!code_ || from < 0 || from > bytes.size() || startLimit < from)
        return hit;
    pcre2_match_data_8 *data = t_blocks8.Data(code_->pairs);
    pcre2_match_context_8 *context = LimitedMatchContext8(PCRE2_SIZE(startLimit));
    if (!data || !context) {
        *failed = true;
        return hit;
    }
    const int result = pcre2_match_8(code_->code, reinterpret_cast<PCRE2_SPTR8>(bytes.data()),
                                     PCRE2_SIZE(bytes.size()), PCRE2_SIZE(from), PCRE2_NO_UTF_CHECK,
                                     data, context);
    *failed = result <= 0 && result != PCRE2_ERROR_NOMATCH;
    return HitOf(data, result);
}

} // namespace velmora
