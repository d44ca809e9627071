#include "editor/syntax_tokenizer.h"

namespace velmora {

namespace detail {

qsizetype NextOf3(QStringView text, qsizetype from, char16_t a, char16_t b, char16_t c) {
    const char16_t *data = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype n = text.size();
    for (qsizetype i = from; i < n; ++i) {
        const char16_t u = data[i];
        if (u == a || u == b || u == c)
            return i;
    }
    return -1;
}

} // namespace detail

std::vector<SyntaxRun> TokenizeSyntax(QStringView text) {
    std::vector<SyntaxRun> runs;
    runs.reserve(size_t(text.size() / 16 + 4));
    ForEachSyntaxRun(text, [&](const SyntaxRun &run) { runs.push_back(run); });
    return runs;
}

} // namespace velmora
