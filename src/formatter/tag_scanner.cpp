#include "formatter/tag_scanner.h"

#include "foundation/text_utils.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<VerbatimBlock, kVerbatimRows> kVerbatimTable{{
    {u"<!--", u"-->"},
    {u"<!--~", u"~-->"},
    {u"<PRE>", u"</PRE"},
    {u"<TD>", u"</TD"},
    {u"<SCRIPT>", u"</SCRIPT"},
    {u"<STYLE>", u"</STYLE"},
    {u"<TEXTAREA>", u"</TEXTAREA"},
}};

// Tags after which a blank of the source is not kept (sorted for the search).
constexpr auto kNoSpaceTags = [] {
    std::array<std::u16string_view, 49> tags{
        u"<TR>",    u"</TR>",      u"</TD>",   u"</DD>",        u"</LI>",         u"<UL>",
        u"</UL>",   u"<OL>",       u"</OL>",   u"<BLOCKQUOTE>", u"</BLOCKQUOTE>", u"<BODY>",
        u"</BODY>", u"<HEAD>",     u"</HEAD>", u"<DIR>",        u"</DIR>",        u"<DL>",
        u"</DL>",   u"</CAPTION>", u"</DT>",   u"<FRAMESET>",   u"</FRAMESET>",   u"</H1>",
        u"</H2>",   u"</H3>",      u"</H4>",   u"</H5>",        u"</H6>",         u"<MAP>",
        u"</MAP>",  u"<MENU>",     u"</MENU>", u"<NOFRAMES>",   u"</NOFRAMES>",   u"<SELECT>",
        u"<TABLE>", u"</TABLE>",   u"</P>",    u"<TEXTAREA>",   u"</TEXTAREA>",   u"</TH>",
        u"<TITLE>", u"</TITLE>",   u"<HTML>",  u"<META>",       u"<OPTION>",      u"<HR>",
        u"<TD>"};
    std::sort(tags.begin(), tags.end());
    return tags;
}();

bool IsKeyChar(QChar c) {
    return IsAlphaNum(c) || c == u'<' || c == u'/';
}

char16_t UpperAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

bool IsHeadingCloser(QStringView name) {
    return name.size() == 5 && name.startsWith(u"</H") && name[3] >= u'1' && name[3] <= u'6' &&
           name[4] == u'>';
}

bool SameAsciiAt(QStringView text, qsizetype at, QStringView pattern) {
    if (at + pattern.size() > text.size())
        return false;
    for (qsizetype k = 0; k < pattern.size(); ++k)
        if (UpperAscii(text[at + k].unicode()) != UpperAscii(pattern[k].unicode()))
            return false;
    return true;
}

} // namespace

QString TagKey(QStringView text) {
    QString key;
    TagKeyInto(text, key);
    return key;
}

namespace {

// The characters are compared one by one: this runs for every tag, and a
// string comparison call costs more than the four characters.
bool StartsComment(QStringView text) {
    return text.size() >= 4 && text[0] == u'<' && text[1] == u'!' && text[2] == u'-' &&
           text[3] == u'-';
}

} // namespace

void TagKeyInto(QStringView text, QString &key) {
    if (StartsComment(text)) {
        key.resize(0);
        key.append(text.size() > 4 && text[4] == u'~' ? QStringView(u"<!--~")
                                                      : QStringView(u"<!--"));
        return;
    }
    // Written through a pointer into a buffer sized for the longest key: the
    // key of a huge tag name is as long as the name.
    qsizetype n = 0;
    while (n < text.size() && IsKeyChar(text[n]))
        ++n;
    const bool ended = n < text.size();
    key.resize(n + (ended ? 1 : 0));
    char16_t *out = reinterpret_cast<char16_t *>(key.data());
    const char16_t *in = text.utf16();
    for (qsizetype k = 0; k < n; ++k)
        out[k] = UpperAscii(in[k]);
    if (ended)
        out[n] = u'>';
}

const VerbatimBlock &VerbatimRow(int row) {
    return kVerbatimTable[size_t(row - 1)];
}

int VerbatimIndex(QStringView name) {
    // The openings with their lengths, so that a key is told apart without
    // measuring each opening again.
    static constexpr auto openings = [] {
        std::array<std::u16string_view, kVerbatimRows> views{};
        for (size_t row = 0; row < views.size(); ++row)
            views[row] = kVerbatimTable[row].opening;
        return views;
    }();
    const std::u16string_view key(reinterpret_cast<const char16_t *>(name.utf16()),
                                  size_t(name.size()));
    for (size_t row = 0; row < openings.size(); ++row)
        if (key == openings[row])
            return int(row + 1);
    return 0;
}

bool IsNoSpaceTag(QStringView text) {
    return IsNoSpaceKey(TagKey(text));
}

bool IsNoSpaceKey(QStringView key) {
    const std::u16string_view k(reinterpret_cast<const char16_t *>(key.utf16()),
                                size_t(key.size()));
    return std::binary_search(kNoSpaceTags.begin(), kNoSpaceTags.end(), k);
}

QString LastTagName(const QString &line) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == u' ')
        --end;
    if (end <= 1 || line[end - 1] != u'>')
        return {};
    const qsizetype open = QStringView(line).left(end).lastIndexOf(u'<');
    if (open < 0)
        return {};
    return TagKey(AsciiUpper(line.mid(open, end - open)));
}

int FindTagRule(const FormatterStyle &style, QStringView line, const RecTAGInfo &defaultTag,
                const RecTAGInfo *&rule) {
    rule = &defaultTag;
    const int side = (line.size() > 1 && line[1] == u'/') ? -1 : 1;
    const QString name = TagKey(line);
    // A tag cut off by the end of the page ("<B" without '>') matches no
    // rule: nothing may be generated after it, or a second run would read
    // the generated lines as part of the open tag.
    if (!name.endsWith(u'>') || !line.contains(u'>'))
        return side;
    for (int k = 1; k <= style.TagCount; ++k) {
        const RecTAGInfo &r = style.Rule(k);
        if (r.TagOpen.startsWith(name)) {
            rule = &r;
            return 1;
        }
        if (r.TagClose.startsWith(name)) {
            rule = &r;
            return -1;
        }
    }
    return side;
}

TagScanner::TagScanner(const QString &input, const FormatterStyle &style)
    : input_(input), style_(style), rules_(style) {}

QString TagScanner::TagTextAt(qsizetype pos, bool blanks) const {
    const qsizetype gt = NextGreater(pos);
    QString t = input_.mid(pos, gt < 0 ? -1 : gt - pos + 1);
    if (blanks)
        for (QChar &c : t)
            if (c == u'\n' || c == u'\t')
                c = u' ';
    return t;
}

qsizetype TagScanner::NextGreater(qsizetype pos) const {
    // An earlier search from at most pos that found a '>' at pos or later (or
    // none at all) holds for pos too.
    if (greaterFrom_ < 0 || pos < greaterFrom_ || (greaterFound_ >= 0 && greaterFound_ < pos)) {
        greaterFrom_ = pos;
        greaterFound_ = input_.indexOf(u'>', pos);
    }
    return greaterFound_;
}

QString TagScanner::KeyAt(qsizetype pos) const {
    // The key ends at the first character that is not part of a name, and '>'
    // is such a character, so the key of the text from pos is the key of the
    // tag text without cutting it out first.
    return TagKey(QStringView(input_).mid(pos));
}

QString TagScanner::VerbatimNameAt(qsizetype pos) const {
    QString key = KeyAt(pos);
    return VerbatimIndex(key) > 0 ? key : QString();
}

int TagScanner::InlineRuleAt(qsizetype pos) const {
    return InlineRuleFor(KeyAt(pos));
}

QString TagScanner::WrittenKeyAt(qsizetype pos) const {
    // The tidied tag keeps everything after its '<' (blanks only collapsed),
    // so its key is the key of the source text at pos: a blank or a second
    // '<' right after the first ends or joins the name there, and "< pre" is
    // no PRE tag. Skipping them would read the next word of running text as
    // a tag name.
    QString key = KeyAt(pos);
    // A tag cut off by the end of the page is written without a '>' (see
    // TidyTag), and its key has none either, so it matches no rule.
    if (key.endsWith(u'>') && NextGreater(pos) < 0)
        key.chop(1);
    return key;
}

QString TidyTag(QString tag) {
    QString t;
    TidyTagInto(tag, false, false, t);
    return t;
}

void TidyTagInto(QStringView text, bool extraBlank, bool newlinesAsBlanks, QString &out) {
    // Blanks collapsed in one pass, written through a pointer into a buffer
    // sized for the longest result (a '<' in front, a blank and '>' behind).
    out.resize(text.size() + 3);
    char16_t *const begin = reinterpret_cast<char16_t *>(out.data());
    char16_t *t = begin + 1; // room for a '<' in front
    const char16_t *in = text.utf16();
    for (qsizetype k = 0; k < text.size(); ++k) {
        char16_t c = in[k];
        if (c == u'\t' || (newlinesAsBlanks && c == u'\n'))
            c = u' ';
        if (c == u' ' && t > begin + 1 && t[-1] == u' ')
            continue;
        *t++ = c;
    }
    if (extraBlank && !(t > begin + 1 && t[-1] == u' '))
        *t++ = u' ';
    char16_t *const start = begin + 1;
    const bool endsInBlank = t > start && t[-1] == u' ';
    // Only a tag that was closed gets its '>' back: closing one that the end
    // of the page cut off would change what a second run makes of it.
    const bool closed = std::find(start, t, u'>') != t;
    // What follows the opening '<' stays as it is (blanks collapsed): joining
    // "< /td" into "</td" would make a closing string the source did not hold.
    const bool hasOpening = t > start && *start == u'<';
    char16_t *const from = hasOpening ? start + 1 : start;
    while (t > from && (t[-1] == u'>' || t[-1] == u' '))
        --t;
    if (closed)
        *t++ = u'>';
    // An open tag runs to the end of the page: a blank there is only the
    // page's last line break, which must not change the tag's key.
    if (endsInBlank && closed)
        *t++ = u' ';
    char16_t *first = start;
    if (!hasOpening)
        *--first = u'<';
    const qsizetype length = t - first;
    if (first != begin)
        std::memmove(begin, first, size_t(length) * sizeof(char16_t));
    out.truncate(length);
}

// The order of the index: by length, then by the bytes (any strict order
// does, and this one compares little).
bool RuleIndex::KeyBefore(const Entry &entry, std::u16string_view key) {
    if (entry.key.size() != key.size())
        return entry.key.size() < key.size();
    return std::memcmp(entry.key.data(), key.data(), key.size() * sizeof(char16_t)) < 0;
}

RuleIndex::RuleIndex(const FormatterStyle &style) {
    for (int k = 1; k <= style.TagCount; ++k) {
        const RecTAGInfo &r = style.Rule(k);
        if (r.TreatAsText) {
            Insert(inline_, r.TagOpen, {k, 1});
            Insert(inline_, r.TagClose, {k, -1});
            if (headingInline_ == 0 && r.TagClose == u"</H>")
                headingInline_ = k;
        }
        // FindTagRule's keys end in '>', so only such prefixes can match.
        for (const auto &[tag, side] : {std::pair{&r.TagOpen, 1}, std::pair{&r.TagClose, -1}})
            for (qsizetype gt = tag->indexOf(u'>'); gt >= 0; gt = tag->indexOf(u'>', gt + 1))
                Insert(prefixes_, QStringView(*tag).first(gt + 1), {k, side});
    }
}

// Keeps the table sorted; a key already present keeps its earlier slot.
void RuleIndex::Insert(std::vector<Entry> &table, QStringView key, BlockMatch match) {
    const std::u16string_view k(reinterpret_cast<const char16_t *>(key.utf16()),
                                size_t(key.size()));
    const auto at = std::lower_bound(table.begin(), table.end(), k, KeyBefore);
    if (at != table.end() && at->key == k)
        return;
    table.insert(at, Entry{std::u16string(k), match});
}

const RuleIndex::Entry *RuleIndex::Find(const std::vector<Entry> &table, QStringView key) {
    const std::u16string_view k(reinterpret_cast<const char16_t *>(key.utf16()),
                                size_t(key.size()));
    const auto at = std::lower_bound(table.begin(), table.end(), k, KeyBefore);
    return (at != table.end() && at->key == k) ? &*at : nullptr;
}

int RuleIndex::InlineRule(QStringView key) const {
    const Entry *exact = Find(inline_, key);
    const int slot = exact ? exact->match.slot : 0;
    if (headingInline_ > 0 && IsHeadingCloser(key) && (slot == 0 || headingInline_ < slot))
        return headingInline_;
    return slot;
}

RuleIndex::BlockMatch RuleIndex::BlockRule(QStringView key) const {
    const Entry *entry = Find(prefixes_, key);
    return entry ? entry->match : BlockMatch{};
}

int TagScanner::InlineRuleFor(QStringView name) const {
    return rules_.InlineRule(name);
}

void TagScanner::KeepSpaceAfter(QString &tag, qsizetype pos) const {
    if (pos >= input_.size() || IsNoSpaceTag(tag))
        return;
    const QChar c = input_[pos];
    if (c == u' ' || c == u'\n' || c == u'\t')
        tag += u' ';
}

TagScanner::ClosingMemo &TagScanner::MemoFor(const QString &closing) {
    auto memo = std::find_if(memos_.begin(), memos_.end(),
                             [&](const ClosingMemo &m) { return m.closing == closing; });
    if (memo != memos_.end())
        return *memo;
    memos_.push_back({closing});
    return memos_.back();
}

qsizetype TagScanner::FindClosing(qsizetype from, const QString &closing) {
    ClosingMemo &memo = MemoFor(closing);
    // Nothing lies between an earlier start and its result, so the result
    // stands for every later start up to it (and "none" for every later start).
    if (memo.searchedFrom >= 0 && from >= memo.searchedFrom &&
        (memo.found < 0 || from <= memo.found))
        return memo.found;

    const QStringView text(input_);
    const QChar first = closing[0];
    qsizetype found = -1;
    for (qsizetype at = text.indexOf(first, from); at >= 0; at = text.indexOf(first, at + 1)) {
        if (SameAsciiAt(text, at, closing)) {
            found = at;
            break;
        }
    }
    memo.searchedFrom = from;
    memo.found = found;
    memo.endOfFound = -1;
    return found;
}

qsizetype TagScanner::FindBlockEnd(qsizetype from, const QString &closing) {
    const qsizetype last = input_.size() - 1;
    const qsizetype p = FindClosing(from, closing);
    if (p < 0)
        return last;
    // Many openers share one closer; the '>' after it (which a long run of
    // attributes can put far away) is looked for once.
    ClosingMemo &memo = MemoFor(closing);
    if (memo.endOfFound < 0) {
        const qsizetype gt = input_.indexOf(u'>', p + closing.size() - 1);
        memo.endOfFound = gt < 0 ? last : gt;
    }
    return memo.endOfFound;
}

void CommentCounters::ResetCounters(int tagCount) {
    counter_.assign(size_t(std::max(tagCount, 0)) + 1, 0);
    stack_.assign(size_t(std::max(tagCount, 0)) + 1, {});
}

QString CommentCounters::NextStartNumber(const FormatterStyle &style, const RecTAGInfo &rule) {
    const int k = rule.Index;
    if (k <= 0 || size_t(k) >= counter_.size() || !style.Rule(k).EnableCounter)
        return {};
    if (counter_[size_t(k)] < std::numeric_limits<int>::max())
        ++counter_[size_t(k)];
    stack_[size_t(k)].push_back(counter_[size_t(k)]);
    return QString::number(counter_[size_t(k)]);
}

QString CommentCounters::PopEndNumber(const FormatterStyle &style, const RecTAGInfo &rule) {
    const int k = rule.Index;
    if (k <= 0 || size_t(k) >= counter_.size() || !style.Rule(k).EnableCounter)
        return {};
    std::vector<int> &stack = stack_[size_t(k)];
    if (stack.empty())
        return {};
    const int number = stack.back();
    stack.pop_back();
    return QString::number(number);
}

} // namespace velmora
