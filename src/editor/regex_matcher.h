#pragma once
// What the UTF-16 and the UTF-8 forms of a compiled regular expression
// share, written once for both code unit widths: compiling with the options
// QRegularExpression uses, the blocks each thread matches with (made once
// and reused, so that a match allocates nothing), and turning a result into
// a RegexHit. Only compiled_regex.cpp and compiled_utf8_regex.cpp use it.

#define PCRE2_CODE_UNIT_WIDTH 0 // both widths' functions, by their full names
#include <pcre2.h>

#include "editor/compiled_regex.h"

#include <algorithm>
#include <cstdint>

namespace velmora::regex_matcher {

template <int Width> struct Pcre2;

template <> struct Pcre2<8> {
    using Code = pcre2_code_8;
    using MatchData = pcre2_match_data_8;
    using JitStack = pcre2_jit_stack_8;
    using MatchContext = pcre2_match_context_8;
    using Subject = PCRE2_SPTR8;
    static constexpr auto compile = &pcre2_compile_8;
    static constexpr auto jitCompile = &pcre2_jit_compile_8;
    static constexpr auto patternInfo = &pcre2_pattern_info_8;
    static constexpr auto codeFree = &pcre2_code_free_8;
    static constexpr auto match = &pcre2_match_8;
    static constexpr auto dataCreate = &pcre2_match_data_create_8;
    static constexpr auto dataFree = &pcre2_match_data_free_8;
    static constexpr auto ovector = &pcre2_get_ovector_pointer_8;
    static constexpr auto stackCreate = &pcre2_jit_stack_create_8;
    static constexpr auto stackFree = &pcre2_jit_stack_free_8;
    static constexpr auto stackAssign = &pcre2_jit_stack_assign_8;
    static constexpr auto contextCreate = &pcre2_match_context_create_8;
    static constexpr auto contextFree = &pcre2_match_context_free_8;
    static constexpr auto setOffsetLimit = &pcre2_set_offset_limit_8;
};

template <> struct Pcre2<16> {
    using Code = pcre2_code_16;
    using MatchData = pcre2_match_data_16;
    using JitStack = pcre2_jit_stack_16;
    using MatchContext = pcre2_match_context_16;
    using Subject = PCRE2_SPTR16;
    static constexpr auto compile = &pcre2_compile_16;
    static constexpr auto jitCompile = &pcre2_jit_compile_16;
    static constexpr auto patternInfo = &pcre2_pattern_info_16;
    static constexpr auto codeFree = &pcre2_code_free_16;
    static constexpr auto match = &pcre2_match_16;
    static constexpr auto dataCreate = &pcre2_match_data_create_16;
    static constexpr auto dataFree = &pcre2_match_data_free_16;
    static constexpr auto ovector = &pcre2_get_ovector_pointer_16;
    static constexpr auto stackCreate = &pcre2_jit_stack_create_16;
    static constexpr auto stackFree = &pcre2_jit_stack_free_16;
    static constexpr auto stackAssign = &pcre2_jit_stack_assign_16;
    static constexpr auto contextCreate = &pcre2_match_context_create_16;
    static constexpr auto contextFree = &pcre2_match_context_free_16;
    static constexpr auto setOffsetLimit = &pcre2_set_offset_limit_16;
};

// The blocks each thread matches with: the results block, big enough for
// every pattern's groups (it grows when a pattern has more), the stack the
// JIT code runs on when the small default one is not enough, and the match
// context of a search limited in where a match may start (the limit changes
// from call to call).
template <int Width> struct ThreadBlocks {
    using P = Pcre2<Width>;
    typename P::MatchData *data = nullptr;
    uint32_t pairs = 0;
    typename P::JitStack *stack = nullptr;
    typename P::MatchContext *limited = nullptr;

    ~ThreadBlocks() {
        P::contextFree(limited);
        P::dataFree(data);
        P::stackFree(stack);
    }

    typename P::MatchData *Data(uint32_t needed) {
        if (pairs < needed) {
            P::dataFree(data);
            data = P::dataCreate(needed, nullptr);
            pairs = data ? needed : 0;
        }
        return data;
    }

    static ThreadBlocks &Mine() {
        thread_local ThreadBlocks blocks;
        return blocks;
    }
};

// Handed to the matcher through a match context: the calling thread's JIT
// stack, made on first need (as large as QRegularExpression allows).
template <int Width> typename Pcre2<Width>::JitStack *ThreadJitStack(void *) {
    ThreadBlocks<Width> &blocks = ThreadBlocks<Width>::Mine();
    if (!blocks.stack)
        blocks.stack = Pcre2<Width>::stackCreate(32 * 1024, 512 * 1024, nullptr);
    return blocks.stack;
}

// A match context that hands out the thread's JIT stack.
template <int Width> typename Pcre2<Width>::MatchContext *NewMatchContext() {
    typename Pcre2<Width>::MatchContext *context = Pcre2<Width>::contextCreate(nullptr);
    if (context)
        Pcre2<Width>::stackAssign(context, &ThreadJitStack<Width>, nullptr);
    return context;
}

template <int Width>
typename Pcre2<Width>::MatchContext *LimitedMatchContext(PCRE2_SIZE startLimit) {
    ThreadBlocks<Width> &blocks = ThreadBlocks<Width>::Mine();
    if (!blocks.limited)
        blocks.limited = NewMatchContext<Width>();
    if (blocks.limited)
        Pcre2<Width>::setOffsetLimit(blocks.limited, startLimit);
    return blocks.limited;
}

// A compiled pattern and how many offset pairs its results need (the whole
// match and its groups); code is null when the pattern does not compile.
template <int Width> struct Compiled {
    typename Pcre2<Width>::Code *code = nullptr;
    uint32_t pairs = 1;
};

// Compiles as QRegularExpression does, with the JIT where this machine has
// it (without it matching still works, only slower). Every pattern may be
// limited in where a match starts; a search without a limit is not changed
// by that.
template <int Width>
Compiled<Width> Compile(typename Pcre2<Width>::Subject pattern, PCRE2_SIZE length,
                        RegexOptions options) {
    using P = Pcre2<Width>;
    uint32_t flags = PCRE2_UTF | PCRE2_USE_OFFSET_LIMIT;
    if (options.caseInsensitive)
        flags |= PCRE2_CASELESS;
    if (options.unicodeProperties)
        flags |= PCRE2_UCP;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    Compiled<Width> compiled;
    compiled.code = P::compile(pattern, length, flags, &error, &errorOffset, nullptr);
    if (!compiled.code)
        return compiled;
    P::jitCompile(compiled.code, PCRE2_JIT_COMPLETE);
    uint32_t captures = 0;
    P::patternInfo(compiled.code, PCRE2_INFO_CAPTURECOUNT, &captures);
    compiled.pairs = captures + 1;
    return compiled;
}

// The match pcre2_match reported with result into data; nothing for a
// result that is no match.
template <int Width> RegexHit HitOf(typename Pcre2<Width>::MatchData *data, int result) {
    RegexHit hit;
    if (result <= 0)
        return hit;
    const PCRE2_SIZE *ovector = Pcre2<Width>::ovector(data);
    hit.groups = std::min<int>(result, RegexHit::kGroups);
    for (int i = 0; i < 2 * hit.groups; ++i)
        hit.offsets[i] = ovector[i] == PCRE2_UNSET ? -1 : qsizetype(ovector[i]);
    return hit;
}

// One match of compiled in subject[0, size) at or after from, in the given
// context (the thread's limited one when context is null, with startLimit).
// *failed, when asked, tells that the matcher gave up rather than found
// nothing.
template <int Width>
RegexHit MatchOnce(const Compiled<Width> &compiled, typename Pcre2<Width>::Subject subject,
                   qsizetype size, qsizetype from, uint32_t matchOptions,
                   typename Pcre2<Width>::MatchContext *context, qsizetype startLimit,
                   bool *failed) {
    if (failed)
        *failed = false;
    if (!compiled.code || from < 0 || from > size || startLimit < from)
        return {};
    typename Pcre2<Width>::MatchData *data = ThreadBlocks<Width>::Mine().Data(compiled.pairs);
    if (!context)
        context = LimitedMatchContext<Width>(PCRE2_SIZE(startLimit));
    if (!data || !context) {
        if (failed)
            *failed = true;
        return {};
    }
    const int result = Pcre2<Width>::match(compiled.code, subject, PCRE2_SIZE(size),
                                           PCRE2_SIZE(from), matchOptions, data, context);
    if (failed)
        *failed = result <= 0 && result != PCRE2_ERROR_NOMATCH;
    return HitOf<Width>(data, result);
}

} // namespace velmora::regex_matcher
