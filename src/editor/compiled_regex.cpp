#include "editor/compiled_regex.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>

namespace velmora {
namespace {

// The blocks each thread matches with: the results block, big enough for
// every pattern's groups (it grows when a pattern has more), and the stack
// the JIT code runs on when the small default one is not enough.
struct ThreadBlocks {
    pcre2_match_data_16 *data = nullptr;
    uint32_t pairs = 0;
    pcre2_jit_stack_16 *stack = nullptr;

    ~ThreadBlocks() {
        pcre2_match_data_free_16(data);
        pcre2_jit_stack_free_16(stack);
    }

    pcre2_match_data_16 *Data(uint32_t needed) {
        if (pairs < needed) {
            pcre2_match_data_free_16(data);
            data = pcre2_match_data_create_16(needed, nullptr);
            pairs = data ? needed : 0;
        }
        return data;
    }
};

thread_local ThreadBlocks t_blocks;

// The match context of a search limited in where a match may start: the
// limit changes from call to call, so each thread has its own context.
struct LimitedContext {
    pcre2_match_context_16 *context = nullptr;
    ~LimitedContext() { pcre2_match_context_free_16(context); }
};

thread_local LimitedContext t_limited;

// Handed to the matcher through the match context: the calling thread's
// JIT stack, made on first need (as large as QRegularExpression allows).
pcre2_jit_stack_16 *ThreadJitStack(void *) {
    if (!t_blocks.stack)
        t_blocks.stack = pcre2_jit_stack_create_16(32 * 1024, 512 * 1024, nullptr);
    return t_blocks.stack;
}

pcre2_match_context_16 *LimitedMatchContext(PCRE2_SIZE startLimit) {
    if (!t_limited.context) {
        t_limited.context = pcre2_match_context_create_16(nullptr);
        if (!t_limited.context)
            return nullptr;
        pcre2_jit_stack_assign_16(t_limited.context, &ThreadJitStack, nullptr);
    }
    pcre2_set_offset_limit_16(t_limited.context, startLimit);
    return t_limited.context;
}

// The match pcre2_match reported with result into data; nothing for a
// result that is no match.
RegexHit HitOf(pcre2_match_data_16 *data, int result) {
    RegexHit hit;
    if (result <= 0)
        return hit;
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer_16(data);
    hit.groups = std::min<int>(result, RegexHit::kGroups);
    for (int i = 0; i < 2 * hit.groups; ++i)
        hit.offsets[i] = ovector[i] == PCRE2_UNSET ? -1 : qsizetype(ovector[i]);
    return hit;
}

} // namespace

struct CompiledRegex::Code {
    pcre2_code_16 *code = nullptr;
    pcre2_match_context_16 *context = nullptr;
    uint32_t pairs = 1; // the whole match and its groups

    ~Code() {
        pcre2_match_context_free_16(context);
        pcre2_code_free_16(code);
    }
};

CompiledRegex::CompiledRegex(QStringView pattern, RegexOptions options) {
    uint32_t flags = PCRE2_UTF;
    if (options.caseInsensitive)
        flags |= PCRE2_CASELESS;
    if (options.unicodeProperties)
        flags |= PCRE2_UCP;
    // Lets MatchStartingBy limit where a match starts; a search without a
    // limit is not changed by it.
    flags |= PCRE2_USE_OFFSET_LIMIT;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code_16 *code =
        pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern.utf16()),
                         PCRE2_SIZE(pattern.size()), flags, &error, &errorOffset, nullptr);
    if (!code)
        return;
    code_ = new Code;
    code_->code = code;
    // Without the JIT (not built for this machine) matching still works,
    // only slower, as it does for QRegularExpression.
    pcre2_jit_compile_16(code, PCRE2_JIT_COMPLETE);
    code_->context = pcre2_match_context_create_16(nullptr);
    pcre2_jit_stack_assign_16(code_->context, &ThreadJitStack, nullptr);
    uint32_t captures = 0;
    pcre2_pattern_info_16(code, PCRE2_INFO_CAPTURECOUNT, &captures);
    code_->pairs = captures + 1;
}

CompiledRegex::~CompiledRegex() {
    delete code_;
}

RegexHit CompiledRegex::Match(QStringView text, qsizetype from, bool subjectChecked) const {
    RegexHit hit;
    if (!code_ || from < 0 || from > text.size())
        return hit;
    pcre2_match_data_16 *data = t_blocks.Data(code_->pairs);
    if (!data)
        return hit;
    const int result = pcre2_match_16(
        code_->code, reinterpret_cast<PCRE2_SPTR16>(text.utf16()), PCRE2_SIZE(text.size()),
        PCRE2_SIZE(from), subjectChecked ? PCRE2_NO_UTF_CHECK : 0, data, code_->context);
    // No match, a text that is not valid UTF-16, or a limit reached: nothing,
    // as QRegularExpression reports all of these.
    return HitOf(data, result);
}

RegexHit CompiledRegex::MatchStartingBy(QStringView text, qsizetype from, qsizetype startLimit,
                                        bool subjectChecked, bool *failed) const {
    RegexHit hit;
    *failed = false;
    if (!code_ || from < 0 || from > text.size() || startLimit < from)
        return hit;
    pcre2_match_data_16 *data = t_blocks.Data(code_->pairs);
    pcre2_match_context_16 *context = LimitedMatchContext(PCRE2_SIZE(startLimit));
    if (!data || !context) {
        *failed = true;
        return hit;
    }
    const int result = pcre2_match_16(code_->code, reinterpret_cast<PCRE2_SPTR16>(text.utf16()),
                                      PCRE2_SIZE(text.size()), PCRE2_SIZE(from),
                                      subjectChecked ? PCRE2_NO_UTF_CHECK : 0, data, context);
    *failed = result <= 0 && result != PCRE2_ERROR_NOMATCH;
    return HitOf(data, result);
}

} // namespace velmora
