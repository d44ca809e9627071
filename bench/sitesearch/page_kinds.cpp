// Counts the pages of a folder by what a regular expression search may rely
// on in their decoded text: ASCII only, ASCII and neutral punctuation or
// symbols (both matched by the quicker table form of a pattern), or other
// characters (the Unicode form). Lists the characters that most often make
// a page "other", to show which ones keep pages on the slower form.
//
//   sitesearch_page_kinds FOLDER [MASK]     (MASK defaults to *.html)
#include "editor/text_check.h"
#include "foundation/text_codec.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

using namespace velmora;

namespace {

struct Kinds {
    int ascii = 0;
    int neutral = 0;
    int other = 0;
    int binary = 0;
    // The size of each kind's text, in UTF-16 units.
    qint64 asciiUnits = 0;
    qint64 neutralUnits = 0;
    qint64 otherUnits = 0;
    // In how many "other" pages each character that is not neutral occurs.
    std::map<char16_t, int> keptBy;
};

void Count(const QString &text, Kinds &kinds) {
    switch (CheckText(text)) {
    case TextCheck::KnownAscii:
        ++kinds.ascii;
        kinds.asciiUnits += text.size();
        return;
    case TextCheck::KnownNeutral:
        ++kinds.neutral;
        kinds.neutralUnits += text.size();
        return;
    default:
        break;
    }
    ++kinds.other;
    kinds.otherUnits += text.size();
    std::set<char16_t> seen;
    for (const QChar c : text)
        if (!IsNeutralCharacter(c.unicode()))
            seen.insert(c.unicode());
    for (const char16_t c : seen)
        ++kinds.keptBy[c];
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [MASK]\n", argv[0]);
        return 2;
    }
    const QString mask = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("*.html");
    Kinds kinds;
    QDirIterator pages(QString::fromLocal8Bit(argv[1]), {mask}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (pages.hasNext()) {
        QFile file(pages.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const DecodedText decoded = DecodeText(file.readAll());
        if (decoded.binary)
            ++kinds.binary;
        else
            Count(decoded.text, kinds);
    }
    std::printf("pages: ascii %d neutral %d other %d binary %d\n", kinds.ascii, kinds.neutral,
                kinds.other, kinds.binary);
    std::printf("units: ascii %lld neutral %lld other %lld\n", qlonglong(kinds.asciiUnits),
                qlonglong(kinds.neutralUnits), qlonglong(kinds.otherUnits));
    std::vector<std::pair<int, char16_t>> top;
    for (const auto &[c, pagesWith] : kinds.keptBy)
        top.emplace_back(pagesWith, c);
    std::sort(top.rbegin(), top.rend());
    for (size_t i = 0; i < top.size() && i < 15; ++i)
        std::printf("  U+%04X in %d pages\n", unsigned(top[i].second), top[i].first);
    return 0;
}
