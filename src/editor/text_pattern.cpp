#include "editor/text_pattern.h"

#include <QRegularExpression>

#include <algorithm>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// One character on from pos, a surrogate pair counting as one.
qsizetype StepOver(QStringView text, qsizetype pos) {
    if (pos + 1 < text.size() && text[pos].isHighSurrogate() && text[pos + 1].isLowSurrogate())
        return pos + 2;
    return pos + 1;
}

// Multi-line stays off: ^ and $ stand for the start and end of the whole
// text. \w and \b know letters beyond ASCII, as Whole word does.
QRegularExpression::PatternOptions QtFlags(PatternOptions options) {
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    return flags;
}

RegexOptions EngineFlags(PatternOptions options, bool unicodeProperties = true) {
    return {.caseInsensitive = !options.matchCase, .unicodeProperties = unicodeProperties};
}

// Whether the pattern may name a POSIX class ([[:punct:]], [[:graph:]],
// and [[:<:]] too): with Unicode properties these match punctuation and
// symbols beyond ASCII that the table form does not.
bool NamesPosixClass(const QString &find) {
    return find.contains(u"[:"_s);
}

// Whether Unicode properties can change what the pattern matches: only
// through an escape (\w, \b, \d, \s) or a [:class:]. Case-insensitive
// matching keeps Unicode case folding either way.
bool NamesCharacterClasses(const QString &find) {
    return find.contains(u'\\') || NamesPosixClass(find);
}

// Group k of a match; nothing for a group that took part in nothing or that
// the pattern does not have.
QStringView Group(const PatternMatch &match, int k) {
    return size_t(k) < match.groups.size() ? match.groups[k] : QStringView();
}

// What one look at the whole text tells a regular expression search, so that
// the many searches in it that follow need not look again.
TextCheck CheckOnce(QStringView text, PatternOptions options) {
    if (!options.regularExpression)
        return TextCheck::Check; // a literal search never needs it
    return CheckText(text);
}

// One step of a regular expression's search in pieces, for either form:
// the first match that starts by startLimit and that accept takes (an empty
// one is passed over when nonEmpty), or where the search goes on after the
// limit. match(pos, &failed) is the matcher's next hit at or after pos;
// stepOver(pos) is where the character at pos ends, since the matcher moves
// on character by character, never into the middle of one: nor does the
// search after the limit.
template <class Match, class Accept, class StepOver>
PiecePlace RegularPlaceStartingBy(qsizetype size, qsizetype from, qsizetype startLimit,
                                  bool nonEmpty, const Match &match, const Accept &accept,
                                  const StepOver &stepOver) {
    qsizetype pos = from;
    while (pos <= startLimit) {
        bool failed = false;
        const RegexHit hit = match(pos, &failed);
        if (failed)
            return {};
        if (!hit.Found())
            break;
        const qsizetype start = hit.Start();
        const qsizetype end = hit.End();
        if ((!nonEmpty || end > start) && accept(start, end))
            return {{start, end - start, {}}, -1};
        if (start >= size)
            return {};
        pos = stepOver(start);
    }
    const qsizetype resume = std::max(pos, stepOver(startLimit));
    return {{}, resume <= size ? resume : -1};
}

} // namespace

TextPattern::TextPattern(const QString &find, PatternOptions options, PatternForms forms)
    : find_(find), options_(options) {
    if (!options.regularExpression || find.isEmpty())
        return;
    searchableInPieces_ = !find.contains(u"\\G"_s) && !find.contains(u"(*"_s);
    regex_ = std::make_shared<const CompiledRegex>(find, EngineFlags(options));
    if (regex_->Valid()) {
        asciiRegex_ = NamesCharacterClasses(find)
                          ? std::make_shared<const CompiledRegex>(find, EngineFlags(options, false))
                          : regex_;
        if (!asciiRegex_->Valid()) // not expected: the same pattern with fewer options
            asciiRegex_ = regex_;
        // Neutral characters beyond ASCII are [:punct:] and [:graph:] only
        // with Unicode properties.
        neutralRegex_ = NamesPosixClass(find) ? regex_ : asciiRegex_;
        if (forms == PatternForms::WithUtf8)
            CompileUtf8Forms();
        return;
    }
    // Both compile the same pattern the same way, so they fail alike; the
    // message is the one QRegularExpression gives, in its words.
    const QRegularExpression described(find, QtFlags(options));
    error_ = described.errorString() + u" at offset "_s +
             QString::number(described.patternErrorOffset());
    if (described.isValid()) // never expected: still refuse rather than guess
        error_ = u"the pattern cannot be compiled"_s;
}

// With Whole word, the characters on both sides are not letters, digits or
// '_'. prevChar, when given, stands for the character before position from
// (after an inserted replacement it is not the text's own); a null QChar
// means there is none.
bool TextPattern::IsWholeWord(QStringView text, qsizetype start, qsizetype end,
                              std::optional<QChar> prevChar, qsizetype from) const {
    if (!options_.wholeWord)
        return true;
    QChar before;
    if (start == from && prevChar)
        before = *prevChar;
    else if (start > 0)
        before = text[start - 1];
    const bool startOk = before.isNull() || !IsWordChar(before);
    const bool endOk = end >= text.size() || !IsWordChar(text[end]);
    return startOk && endOk;
}

// The form of the compiled pattern that matches a text so checked: the
// quicker table form where the text's characters cannot tell it from the
// Unicode one.
const CompiledRegex &TextPattern::FormFor(TextCheck check) const {
    switch (check) {
    case TextCheck::KnownAscii:
        return *asciiRegex_;
    case TextCheck::KnownNeutral:
        return *neutralRegex_;
    default:
        return *regex_;
    }
}

// The UTF-8 forms take the Unicode properties exactly where the UTF-16 forms
// for the same texts do, so both match alike.
void TextPattern::CompileUtf8Forms() {
    const auto compile = [this](const std::shared_ptr<const CompiledRegex> &form) {
        auto utf8 =
            std::make_shared<const CompiledUtf8Regex>(find_, EngineFlags(options_, form == regex_));
        return utf8->Valid() ? utf8 : nullptr;
    };
    asciiUtf8Regex_ = compile(asciiRegex_);
    // \C matches one code unit: a byte here, a UTF-16 unit in the text, so
    // it can tell them apart on a character beyond ASCII.
    if (find_.contains(u"\\C"_s))
        return;
    neutralUtf8Regex_ = neutralRegex_ == asciiRegex_ ? asciiUtf8Regex_ : compile(neutralRegex_);
    if (asciiRegex_ == regex_)
        validUtf8Regex_ = asciiUtf8Regex_;
    else if (neutralRegex_ == regex_)
        validUtf8Regex_ = neutralUtf8Regex_;
    else
        validUtf8Regex_ = compile(regex_);
}

const CompiledUtf8Regex *TextPattern::Utf8FormFor(TextCheck check) const {
    if (check == TextCheck::KnownAscii)
        return asciiUtf8Regex_.get();
    if (check == TextCheck::KnownNeutral)
        return neutralUtf8Regex_.get();
    if (check == TextCheck::KnownValid)
        return validUtf8Regex_.get();
    return nullptr;
}

PatternMatch TextPattern::Next(QStringView text, qsizetype from, bool nonEmpty,
                               TextCheck check) const {
    if (find_.isEmpty() || !Valid() || from < 0 || from > text.size())
        return {};
    return options_.regularExpression ? NextRegular(text, from, nonEmpty, check, true)
                                      : NextLiteral(text, from);
}

PatternMatch TextPattern::NextPlace(QStringView text, qsizetype from, bool nonEmpty,
                                    TextCheck check) const {
    if (find_.isEmpty() || !Valid() || from < 0 || from > text.size())
        return {};
    return options_.regularExpression ? NextRegular(text, from, nonEmpty, check, false)
                                      : NextLiteral(text, from);
}

PatternMatch TextPattern::NextLiteral(QStringView text, qsizetype from,
                                      std::optional<QChar> prevChar) const {
    const Qt::CaseSensitivity cs = options_.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype q = text.indexOf(find_, from, cs); q >= 0; q = text.indexOf(find_, q + 1, cs))
        if (IsWholeWord(text, q, q + find_.size(), prevChar, from))
            return {q, find_.size(), {}};
    return {};
}

PatternMatch TextPattern::NextRegular(QStringView text, qsizetype from, bool nonEmpty,
                                      TextCheck check, bool withGroups) const {
    // Checked once here at most, not again on every try below.
    // A text that is not valid is left to the matcher's own check, which
    // reads only the part a match from pos could touch.
    const bool valid = check != TextCheck::Check || text.isValidUtf16();
    const CompiledRegex &regex = FormFor(check);
    qsizetype pos = from;
    while (pos <= text.size()) {
        const RegexHit hit = regex.Match(text, pos, valid);
        if (!hit.Found())
            return {};
        const qsizetype start = hit.Start();
        const qsizetype end = hit.End();
        if ((!nonEmpty || end > start) && IsWholeWord(text, start, end, std::nullopt, from)) {
            PatternMatch m{start, end - start, {}};
            if (withGroups) {
                m.groups.resize(hit.groups);
                for (int g = 0; g < hit.groups; ++g)
                    if (hit.GroupStart(g) >= 0)
                        m.groups[g] =
                            text.sliced(hit.GroupStart(g), hit.GroupEnd(g) - hit.GroupStart(g));
            }
            return m;
        }
        if (start >= text.size())
            return {};
        pos = StepOver(text, start);
    }
    return {};
}

PiecePlace TextPattern::NextPlaceStartingBy(QStringView text, qsizetype from, qsizetype startLimit,
                                            bool nonEmpty, TextCheck check) const {
    if (find_.isEmpty() || !Valid() || from < 0 || from > text.size())
        return {};
    startLimit = searchableInPieces_ ? std::max(startLimit, from) : text.size();
    return options_.regularExpression
               ? NextRegularStartingBy(text, from, startLimit, nonEmpty, check)
               : NextLiteralStartingBy(text, from, startLimit);
}

PiecePlace TextPattern::NextLiteralStartingBy(QStringView text, qsizetype from,
                                              qsizetype startLimit) const {
    // An occurrence starting by the limit lies wholly in this part of the
    // text; Whole word still looks at the characters beyond it.
    const QStringView piece = text.first(std::min(text.size(), startLimit + find_.size()));
    const Qt::CaseSensitivity cs = options_.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype q = piece.indexOf(find_, from, cs); q >= 0; q = piece.indexOf(find_, q + 1, cs))
        if (IsWholeWord(text, q, q + find_.size(), std::nullopt, from))
            return {{q, find_.size(), {}}, -1};
    const qsizetype resume = startLimit + 1;
    return {{}, resume + find_.size() <= text.size() ? resume : -1};
}

PiecePlace TextPattern::NextRegularStartingBy(QStringView text, qsizetype from,
                                              qsizetype startLimit, bool nonEmpty,
                                              TextCheck check) const {
    const bool valid = check != TextCheck::Check || text.isValidUtf16();
    const CompiledRegex &regex = FormFor(check);
    return RegularPlaceStartingBy(
        text.size(), from, startLimit, nonEmpty,
        [&](qsizetype pos, bool *failed) {
            return regex.MatchStartingBy(text, pos, startLimit, valid, failed);
        },
        [&](qsizetype start, qsizetype end) {
            return IsWholeWord(text, start, end, std::nullopt, from);
        },
        [&](qsizetype pos) { return StepOver(text, pos); });
}

bool TextPattern::SearchesUtf8(TextCheck check) const {
    return Valid() && options_.regularExpression && Utf8FormFor(check) != nullptr;
}

namespace {

bool IsLeadByte(char b) {
    return (uchar(b) & 0xC0) != 0x80;
}

// The start of the character after the one at or around pos.
qsizetype StepOverUtf8(QByteArrayView bytes, qsizetype pos) {
    ++pos;
    while (pos < bytes.size() && !IsLeadByte(bytes[pos]))
        ++pos;
    return pos;
}

// The character of the decoded text that starts at byte pos of valid UTF-8;
// a null QChar past the end. A character beyond U+FFFF is a surrogate pair
// in the text, whose halves are no letters: one half stands for it.
QChar Utf8CharAt(QByteArrayView bytes, qsizetype pos) {
    if (pos >= bytes.size())
        return QChar();
    const uchar lead = uchar(bytes[pos]);
    if (lead < 0x80)
        return QChar(char16_t(lead));
    if (lead >= 0xF0)
        return QChar(QChar::highSurrogate(0x10000));
    const int count = lead >= 0xE0 ? 3 : 2;
    char32_t c = lead & (count == 3 ? 0x0F : 0x1F);
    for (int k = 1; k < count; ++k)
        c = (c << 6) | (uchar(bytes[pos + k]) & 0x3F);
    return QChar(char16_t(c));
}

// The character of the decoded text that ends right before byte pos.
QChar Utf8CharBefore(QByteArrayView bytes, qsizetype pos) {
    if (pos <= 0)
        return QChar();
    qsizetype lead = pos - 1;
    while (lead > 0 && !IsLeadByte(bytes[lead]))
        --lead;
    return Utf8CharAt(bytes, lead);
}

bool IsWordCharOrNull(QChar c) {
    return !c.isNull() && IsWordChar(c);
}

} // namespace

PiecePlace TextPattern::NextPlaceInUtf8StartingBy(QByteArrayView bytes, qsizetype from,
                                                  qsizetype startLimit, bool nonEmpty,
                                                  TextCheck check) const {
    const CompiledUtf8Regex *regex = Utf8FormFor(check);
    if (!regex || !SearchesUtf8(check) || from < 0 || from > bytes.size())
        return {};
    startLimit = searchableInPieces_ ? std::max(startLimit, from) : bytes.size();
    // As IsWholeWord in the decoded text.
    const auto wholeWord = [&](qsizetype start, qsizetype end) {
        return !options_.wholeWord || (!IsWordCharOrNull(Utf8CharBefore(bytes, start)) &&
                                       !IsWordCharOrNull(Utf8CharAt(bytes, end)));
    };
    return RegularPlaceStartingBy(
        bytes.size(), from, startLimit, nonEmpty,
        [&](qsizetype pos, bool *failed) {
            return regex->MatchStartingBy(bytes, pos, startLimit, failed);
        },
        wholeWord, [&](qsizetype pos) { return StepOverUtf8(bytes, pos); });
}

QString TextPattern::Expand(const PatternMatch &match, const QString &replacement) const {
    if (!options_.regularExpression)
        return replacement;
    QString out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c != u'\\' || i + 1 == replacement.size()) {
            out += c;
            continue;
        }
        const QChar code = replacement[++i];
        if (code.isDigit() && code.digitValue() <= 9)
            out += Group(match, code.digitValue());
        else if (code == u'n')
            out += u'\n';
        else if (code == u't')
            out += u'\t';
        else if (code == u'\\')
            out += u'\\';
        else
            out.append(u'\\').append(code); // an unknown escape stays as written
    }
    return out;
}

std::vector<PatternReplacement> TextPattern::Replacements(QStringView text, qsizetype from,
                                                          const QString &replacement) const {
    std::vector<PatternReplacement> found;
    if (find_.isEmpty() || !Valid())
        return found;
    from = std::clamp<qsizetype>(from, 0, text.size());
    qsizetype pos = from;
    // The last character of the new text so far: a literal Whole word after
    // a replacement sees the replacement's last character before it, not the
    // text's own. A null QChar stands for the start of the text.
    QChar lastOut = from > 0 ? text[from - 1] : QChar();
    const TextCheck check = CheckOnce(text, options_);
    while (pos <= text.size()) {
        std::optional<QChar> prev;
        if (!options_.regularExpression && !found.empty())
            prev = lastOut;
        const PatternMatch m = options_.regularExpression ? Next(text, pos, false, check)
                                                          : NextLiteral(text, pos, prev);
        if (!m.Found())
            break;
        QString inserted = Expand(m, replacement);
        if (!inserted.isEmpty())
            lastOut = inserted.back();
        else if (m.start > pos)
            lastOut = text[m.start - 1];
        found.push_back({m.start, m.length, std::move(inserted)});
        pos = m.End();
        if (m.length == 0) {
            // An empty match: the character after it is kept and the search
            // goes on behind it.
            if (pos >= text.size())
                break;
            const qsizetype next = StepOver(text, pos);
            lastOut = text[next - 1];
            pos = next;
        }
    }
    return found;
}

ReplaceAllResult TextPattern::ReplaceAll(QStringView text, qsizetype from,
                                         const QString &replacement) const {
    ReplaceAllResult result;
    if (find_.isEmpty() || !Valid())
        return {text.toString(), 0, -1};
    from = std::clamp<qsizetype>(from, 0, text.size());
    result.text.reserve(text.size());
    qsizetype pos = 0;
    for (const PatternReplacement &r : Replacements(text, from, replacement)) {
        result.text += text.mid(pos, r.start - pos);
        result.text += r.text;
        result.lastEnd = result.text.size();
        ++result.count;
        pos = r.start + r.length;
    }
    result.text += text.mid(pos);
    return result;
}

} // namespace velmora
