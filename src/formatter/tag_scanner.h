#pragma once
// How the formatter looks at HTML text: the key of a tag, the verbatim blocks,
// the rule of a tag, and the numbers of generated comments.

#include "formatter/formatter_style.h"

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The upper-case tag name in angle brackets: "<td valign=top>" gives "<TD>",
// "</Table >" gives "</TABLE>", a comment gives "<!--" (or "<!--~" for a
// generated one). A text cut off inside the name gives a key without '>'.
QString TagKey(QStringView text);
// TagKey written into key (its buffer is reused: no allocation per tag).
void TagKeyInto(QStringView text, QString &key);

// One row of the verbatim block table: blocks copied unchanged.
struct VerbatimBlock {
    const char16_t *opening;
    const char16_t *closing;
};
inline constexpr int kVerbatimRows = 7;
inline constexpr int kGeneratedCommentRow = 2;
inline constexpr int kTableCellRow = 4;
const VerbatimBlock &VerbatimRow(int row); // row 1..7

// Row of the verbatim table whose opening name is exactly name, else 0.
int VerbatimIndex(QStringView name);
// True when a blank that follows this tag in the source is dropped.
bool IsNoSpaceTag(QStringView text);
// The same for a key as TagKey gives it.
bool IsNoSpaceKey(QStringView key);
// The key of the last tag of a line that ends in a tag, else empty.
QString LastTagName(const QString &line);

// A tag as the first pass writes it: blanks collapsed, the blanks before its
// '>' dropped, and one trailing blank kept when there was one. A tag that the
// end of the page cut off gets no '>' (and no trailing blank). Nothing after
// the opening '<' is removed, so no closing string such as "</TD" forms that
// the source did not hold, and tidying a tidied tag changes nothing.
QString TidyTag(QString tag);
// TidyTag of text (with extraBlank: of text and one blank after it) written
// into out, whose buffer is reused. With newlinesAsBlanks every LF and TAB of
// text counts as a blank, as in a tag cut from the page.
void TidyTagInto(QStringView text, bool extraBlank, bool newlinesAsBlanks, QString &out);

// The rules of a style looked up by key: a binary search in tables made once
// per run, instead of comparing the key with every rule of the table for every
// tag of the page. The answers are those of the scans they replace (the
// lowest matching slot wins).
class RuleIndex {
public:
    explicit RuleIndex(const FormatterStyle &style);
    // TagScanner::InlineRuleFor.
    int InlineRule(QStringView key) const;
    struct BlockMatch {
        int slot = 0; // 0: no rule
        int side = 0; // +1 matched an opening tag, -1 a closing one
    };
    // The rule loop of FindTagRule, for a key that ends in '>': the first
    // slot whose TagOpen or TagClose starts with the key.
    BlockMatch BlockRule(QStringView key) const;

private:
    struct Entry {
        std::u16string key;
        BlockMatch match;
    };
    static bool KeyBefore(const Entry &entry, std::u16string_view key);
    static void Insert(std::vector<Entry> &table, QStringView key, BlockMatch match);
    static const Entry *Find(const std::vector<Entry> &table, QStringView key);

    std::vector<Entry> inline_;   // TagOpen and TagClose of inline rules
    std::vector<Entry> prefixes_; // every prefix ending in '>' of TagOpen and TagClose
    int headingInline_ = 0;       // first inline rule closing with "</H>"
};

// The rule for a line starting with '<': +1 for an opening tag (or a tag
// without rule not starting with "</"), -1 for a closing one. rule receives
// the matching slot, or defaultTag when none matches.
int FindTagRule(const FormatterStyle &style, QStringView line, const RecTAGInfo &defaultTag,
                const RecTAGInfo *&rule);

// Scanning operations on the first pass's input text. Positions are 0-based
// indexes into the text.
class TagScanner {
public:
    TagScanner(const QString &input, const FormatterStyle &style);

    // From pos up to and including the first '>', or to the end. With blanks,
    // every LF and TAB becomes a space.
    QString TagTextAt(qsizetype pos, bool blanks) const;
    // Index of the first '>' at or after pos, or -1. Remembered, so that many
    // '<' with no '>' after them do not each search the rest of the page.
    qsizetype NextGreater(qsizetype pos) const;
    QString KeyAt(qsizetype pos) const;
    // The key of the tag at pos as it will be written (TagKey of its tidied
    // text): "< b>" gives "<>", as a blank ends the name; a tag that the end of the page cuts off
    // ("<b", "<b x") gives a key without '>'. The first pass decides
    // by this key so that its output, read again, is decided the same way.
    QString WrittenKeyAt(qsizetype pos) const;
    // The inline rule (1-based slot) for a key, or 0.
    int InlineRuleFor(QStringView key) const;
    // The key of the tag at pos when it opens a verbatim block, else empty.
    QString VerbatimNameAt(qsizetype pos) const;
    // The inline rule (1-based slot) of the tag at pos, or 0.
    int InlineRuleAt(qsizetype pos) const;
    // Appends a space to tag when a blank follows it at pos and the tag keeps it.
    void KeepSpaceAfter(QString &tag, qsizetype pos) const;
    // Index of the '>' that ends the first occurrence of closing (ASCII case
    // ignored) at or after from; the last index of the text when there is none.
    qsizetype FindBlockEnd(qsizetype from, const QString &closing);
    // Index of the first occurrence of closing at or after from, or -1.
    qsizetype FindClosing(qsizetype from, const QString &closing);

private:
    struct ClosingMemo {
        QString closing;
        qsizetype searchedFrom = -1;
        qsizetype found = -1;
        qsizetype endOfFound = -1; // the '>' after found, once looked for
    };
    ClosingMemo &MemoFor(const QString &closing);

    const QString &input_;
    const FormatterStyle &style_;
    RuleIndex rules_;
    mutable qsizetype greaterFrom_ = -1; // NextGreater's last start, and its answer
    mutable qsizetype greaterFound_ = -1;
    // Remembered searches, so that many openers without a closer (table
    // cells that are never closed), or many openers before one closer (nested
    // cells), do not rescan the rest of the page.
    std::vector<ClosingMemo> memos_;
};

// Answers about tag keys, remembered by key: a page names few tags, each of
// them many times, and looking a key up in the style's tables costs more than
// comparing it with the one remembered. A long key (a huge tag name) is not
// remembered, so that no key is copied more than once.
template <typename Value> class KeyMemo {
public:
    template <typename Compute> Value Get(QStringView key, Compute &&compute) {
        if (key.size() > kLongestKey)
            return compute();
        const std::u16string_view k(reinterpret_cast<const char16_t *>(key.utf16()),
                                    size_t(key.size()));
        Slot &slot = slots_[Hash(k) % kSlots];
        if (!slot.used || slot.key != k) {
            slot.key.assign(k);
            slot.value = compute();
            slot.used = true;
        }
        return slot.value;
    }

private:
    static constexpr qsizetype kLongestKey = 40;
    static constexpr size_t kSlots = 251;
    struct Slot {
        std::u16string key;
        Value value{};
        bool used = false;
    };
    static size_t Hash(std::u16string_view key) {
        size_t h = 2166136261u; // FNV-1a
        for (const char16_t c : key)
            h = (h ^ c) * 16777619u;
        return h;
    }
    std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

// Running numbers of generated comments, one counter and one stack of open
// numbers per tag table slot.
class CommentCounters {
public:
    void ResetCounters(int tagCount);
    // Empty unless the rule's slot counts; else the next number as text.
    QString NextStartNumber(const FormatterStyle &style, const RecTAGInfo &rule);
    // The number of the innermost open start comment of the rule, or empty.
    QString PopEndNumber(const FormatterStyle &style, const RecTAGInfo &rule);

private:
    std::vector<int> counter_;
    std::vector<std::vector<int>> stack_;
};

} // namespace velmora
