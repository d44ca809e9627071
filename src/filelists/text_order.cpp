#include "filelists/text_order.h"

#include "sitewalk/helper_threads.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

namespace velmora {

namespace {

using CollatorHandle = std::unique_ptr<UCollator, TextOrder::CloseCollator>;
CollatorHandle OpenCollator(const QLocale &locale, Qt::CaseSensitivity sensitivity);

} // namespace

TextOrder::TextOrder(const QLocale &locale, Qt::CaseSensitivity sensitivity)
    : collator_(locale), sensitivity_(sensitivity),
      plainCodeOrder_(locale.language() == QLocale::C) {
    collator_.setCaseSensitivity(sensitivity);
    if (!plainCodeOrder_)
        sortCollator_ = OpenCollator(locale, sensitivity);
}

TextOrder::~TextOrder() = default;
TextOrder::TextOrder(TextOrder &&) noexcept = default;
TextOrder &TextOrder::operator=(TextOrder &&) noexcept = default;

int TextOrder::Compare(QStringView a, QStringView b) const {
    if (plainCodeOrder_)
        return a.compare(b, sensitivity_);
    return collator_.compare(a, b);
}

namespace {

// Ranks from a finished order: tie[i] tells that position i equals i - 1.
std::vector<int> RanksFromOrder(const std::vector<int> &order, const std::vector<char> &tie) {
    std::vector<int> ranks(order.size(), 0);
    for (size_t i = 1; i < order.size(); ++i)
        ranks[size_t(order[i])] = ranks[size_t(order[i - 1])] + (tie[i] ? 0 : 1);
    return ranks;
}

// Length of the beginning that all texts of order[begin, end) share from
// offset on: skipping it spares sorting rounds that could not tell them apart.
template <typename Unit>
qsizetype CommonLength(const std::vector<std::basic_string_view<Unit>> &texts,
                       const std::vector<int> &order, int begin, int end, qsizetype offset) {
    const std::basic_string_view<Unit> first = texts[size_t(order[size_t(begin)])];
    qsizetype common = qsizetype(first.size()) - offset;
    for (int i = begin + 1; i < end && common > 0; ++i) {
        const std::basic_string_view<Unit> text = texts[size_t(order[size_t(i)])];
        const qsizetype limit = std::min(common, qsizetype(text.size()) - offset);
        qsizetype k = 0;
        while (k < limit && text[size_t(offset + k)] == first[size_t(offset + k)])
            ++k;
        common = k;
    }
    return std::max<qsizetype>(common, 0);
}

// Ranks by code units (UTF-16 units of texts, or bytes of sort keys), most
// significant first: the texts are sorted by their first 64 bits of units
// packed into one integer, and every run that agrees on them is sorted again
// on the next 64 bits. Paths and sort keys share long beginnings, so this
// beats comparing whole strings; an explicit stack keeps long texts from
// deepening the call stack.
template <typename Unit>
std::vector<int> ChunkRanks(const std::vector<std::basic_string_view<Unit>> &texts) {
    constexpr qsizetype kUnitsPerChunk = 8 / sizeof(Unit);
    constexpr int kUnitBits = 8 * sizeof(Unit);
    const int n = int(texts.size());
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::vector<char> tie(size_t(n), 0);
    struct Item {
        quint64 chunk;
        quint32 rest; // units left from this chunk on, kUnitsPerChunk + 1 standing for more
        int index;
    };
    std::vector<Item> items;
    struct Range {
        int begin, end;
        qsizetype offset;
    };
    std::vector<Range> pending{{0, n, 0}};
    while (!pending.empty()) {
        Range range = pending.back();
        pending.pop_back();
        if (range.end - range.begin < 2)
            continue;
        range.offset += CommonLength(texts, order, range.begin, range.end, range.offset);
        items.clear();
        for (int i = range.begin; i < range.end; ++i) {
            const std::basic_string_view<Unit> text = texts[size_t(order[size_t(i)])];
            const qsizetype left = qsizetype(text.size()) - range.offset;
            quint64 chunk = 0;
            for (qsizetype k = 0; k < kUnitsPerChunk; ++k) {
                const quint64 unit = k < left ? quint64(text[size_t(range.offset + k)]) : 0;
                chunk = (chunk << kUnitBits) | unit;
            }
            items.push_back(
                {chunk, quint32(std::min<qsizetype>(left, kUnitsPerChunk + 1)), order[size_t(i)]});
        }
        std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
            return a.chunk != b.chunk ? a.chunk < b.chunk : a.rest < b.rest;
        });
        for (size_t k = 0; k < items.size(); ++k)
            order[size_t(range.begin) + k] = items[k].index;
        for (size_t first = 0; first < items.size();) {
            size_t last = first + 1;
            while (last < items.size() && items[last].chunk == items[first].chunk &&
                   items[last].rest == items[first].rest)
                ++last;
            if (last - first > 1) {
                if (items[first].rest > kUnitsPerChunk) {
                    pending.push_back({range.begin + int(first), range.begin + int(last),
                                       range.offset + kUnitsPerChunk});
                } else {
                    for (size_t k = first + 1; k < last; ++k)
                        tie[size_t(range.begin) + k] = 1; // ended inside this chunk: equal
                }
            }
            first = last;
        }
    }
    return RanksFromOrder(order, tie);
}

std::vector<int> CodeUnitRanks(const std::vector<QStringView> &texts) {
    std::vector<std::u16string_view> units;
    units.reserve(texts.size());
    for (const QStringView text : texts)
        units.emplace_back(text.utf16(), size_t(text.size()));
    return ChunkRanks(units);
}

// QCollator's own settings for a locale, so that sort keys order texts
// exactly as QCollator::compare does.
CollatorHandle OpenCollator(const QLocale &locale, Qt::CaseSensitivity sensitivity) {
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray name = locale.bcp47Name().toLatin1().replace('-', '_');
    CollatorHandle collator(ucol_open(name.constData(), &status));
    if (U_FAILURE(status))
        return nullptr;
    ucol_setAttribute(collator.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(collator.get(), UCOL_STRENGTH,
                      sensitivity == Qt::CaseSensitive ? UCOL_DEFAULT_STRENGTH : UCOL_SECONDARY,
                      &status);
    ucol_setAttribute(collator.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    return U_SUCCESS(status) ? std::move(collator) : nullptr;
}

// The sort keys of a run of texts side by side in one block of memory, each
// without the terminating zero byte.
class SortKeyBlock {
public:
    SortKeyBlock(const UCollator *collator, const QStringView *texts, size_t count) {
        size_t total = 0;
        for (size_t i = 0; i < count; ++i)
            total += size_t(texts[i].size());
        bytes_.resize(total * 3 + 64);
        ends_.reserve(count);
        size_t used = 0;
        for (size_t i = 0; i < count; ++i)
            used = Append(collator, texts[i], used);
    }

    void AppendKeys(std::vector<std::u8string_view> &keys) const {
        size_t begin = 0;
        for (const size_t end : ends_) {
            keys.emplace_back(reinterpret_cast<const char8_t *>(bytes_.data()) + begin,
                              end - begin);
            begin = end;
        }
    }

private:
    size_t Append(const UCollator *collator, QStringView text, size_t used) {
        for (;;) {
            const size_t room = bytes_.size() - used;
            const int32_t length = ucol_getSortKey(
                collator, reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()),
                bytes_.data() + used, int32_t(std::min<size_t>(room, INT32_MAX)));
            if (length > 0 && size_t(length) <= room) {
                used += size_t(length) - 1; // drop the terminating zero
                ends_.push_back(used);
                return used;
            }
            if (length <= 0) { // cannot happen for valid input; keep the text first
                ends_.push_back(used);
                return used;
            }
            bytes_.resize(std::max(bytes_.size() * 2, used + size_t(length)));
        }
    }

    std::vector<quint8> bytes_;
    std::vector<size_t> ends_;
};

// The sort keys of all texts. Building them is most of the cost of sorting a
// large column by a locale's rules, so big columns are cut into runs that
// helper threads build at the same time, each with its own copy of the
// collator (a collator is not to be used by two threads at once).
class SortKeys {
public:
    SortKeys(const UCollator *collator, const std::vector<QStringView> &texts) {
        constexpr size_t kTextsPerThreadAtLeast = 16384;
        const size_t runs =
            std::clamp<size_t>(texts.size() / kTextsPerThreadAtLeast, 1, HelperThreadCount() + 1);
        const size_t perRun = (texts.size() + runs - 1) / std::max<size_t>(runs, 1);
        blocks_.resize(runs);
        std::vector<std::jthread> helpers;
        for (size_t run = 1; run < runs; ++run) {
            const size_t begin = std::min(run * perRun, texts.size());
            const size_t count = std::min(perRun, texts.size() - begin);
            if (!StartHelper(helpers, collator, run, texts.data() + begin, count))
                blocks_[run].emplace(collator, texts.data() + begin, count);
        }
        blocks_[0].emplace(collator, texts.data(), std::min(perRun, texts.size()));
        helpers.clear(); // joins
        keys_.reserve(texts.size());
        for (const std::optional<SortKeyBlock> &block : blocks_)
            block->AppendKeys(keys_);
    }

    const std::vector<std::u8string_view> &Keys() const { return keys_; }

private:
    // False when no copy of the collator or no thread could be had; the
    // caller then builds that run itself.
    bool StartHelper(std::vector<std::jthread> &helpers, const UCollator *collator, size_t run,
                     const QStringView *texts, size_t count) {
        UErrorCode status = U_ZERO_ERROR;
        auto copy = std::make_shared<CollatorHandle>(ucol_clone(collator, &status));
        if (U_FAILURE(status) || !*copy)
            return false;
        try {
            helpers.emplace_back([this, run, texts, count, copy] {
                blocks_[run].emplace(copy->get(), texts, count);
            });
        } catch (const std::system_error &) {
            return false;
        }
        return true;
    }

    std::vector<std::optional<SortKeyBlock>> blocks_;
    std::vector<std::u8string_view> keys_;
};

// Numbers the distinct texts of a column in order of first appearance. An
// open-addressing table of hash and number pairs: the report view's columns
// reach half a million cells, and a general-purpose hash table spent as long
// on them as the collation itself.
class DistinctTexts {
public:
    explicit DistinctTexts(size_t expected) {
        size_t capacity = 16;
        while (capacity < expected * 2)
            capacity *= 2;
        table_.assign(capacity, 0);
        mask_ = capacity - 1;
        texts_.reserve(expected);
    }

    // The number of each text, given at its first appearance. The hashes are
    // worked out first and the table's places fetched a few texts ahead:
    // cells lie scattered in memory, and waiting for each in turn would cost
    // more than all the arithmetic.
    std::vector<int> NumberAll(const std::vector<QStringView> &texts) {
        std::vector<quint64> hashes(texts.size());
        for (size_t i = 0; i < texts.size(); ++i)
            hashes[i] = Hash(texts[i]);
        constexpr size_t kAhead = 8;
        std::vector<int> numbers(texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            if (i + kAhead < texts.size())
                __builtin_prefetch(&table_[size_t(hashes[i + kAhead]) & mask_]);
            numbers[i] = Number(texts[i], hashes[i]);
        }
        return numbers;
    }

    int Number(QStringView text) { return Number(text, Hash(text)); }

    const std::vector<QStringView> &Texts() const { return texts_; }

private:
    int Number(QStringView text, quint64 hash) {
        const quint32 tag = quint32(hash >> 32) | 1; // never 0, which marks a free place
        for (size_t place = size_t(hash) & mask_;; place = (place + 1) & mask_) {
            const quint64 entry = table_[place];
            if (entry == 0) {
                if (texts_.size() * 2 >= table_.size())
                    Grow();
                return Insert(text, tag);
            }
            if (quint32(entry >> 32) == tag) {
                const int number = int(quint32(entry));
                if (texts_[size_t(number)] == text)
                    return number;
            }
        }
    }

    static quint64 Hash(QStringView text) {
        // Eight bytes at a time, each step mixed by a multiplication.
        const auto *bytes = reinterpret_cast<const unsigned char *>(text.utf16());
        const size_t length = size_t(text.size()) * sizeof(char16_t);
        quint64 hash = 0x9e3779b97f4a7c15ull ^ length;
        size_t i = 0;
        for (; i + 8 <= length; i += 8) {
            quint64 word;
            std::memcpy(&word, bytes + i, 8);
            hash = (hash ^ word) * 0xff51afd7ed558ccdull;
            hash ^= hash >> 29;
        }
        quint64 tail = 0;
        if (length > i) // an empty text may have no bytes at all
            std::memcpy(&tail, bytes + i, length - i);
        hash = (hash ^ tail) * 0xc4ceb9fe1a85ec53ull;
        return hash ^ (hash >> 32);
    }

    int Insert(QStringView text, quint32 tag) {
        const int number = int(texts_.size());
        texts_.push_back(text);
        Place(tag, number);
        return number;
    }

    void Place(quint32 tag, int number) {
        size_t place = size_t(Hash(texts_[size_t(number)])) & mask_;
        while (table_[place] != 0)
            place = (place + 1) & mask_;
        table_[place] = (quint64(tag) << 32) | quint32(number);
    }

    void Grow() {
        std::vector<quint64> old = std::move(table_);
        table_.assign(old.size() * 2, 0);
        mask_ = table_.size() - 1;
        for (const quint64 entry : old) {
            if (entry != 0)
                Place(quint32(entry >> 32), int(quint32(entry)));
        }
    }

    std::vector<quint64> table_;
    size_t mask_ = 0;
    std::vector<QStringView> texts_;
};

} // namespace

void TextOrder::CloseCollator::operator()(UCollator *collator) const {
    ucol_close(collator);
}

std::vector<int> TextOrder::RanksOfDistinct(const std::vector<QStringView> &distinct) const {
    if (plainCodeOrder_ || !sortCollator_) {
        if (sensitivity_ == Qt::CaseSensitive)
            return CodeUnitRanks(distinct);
        std::vector<QString> folded;
        folded.reserve(distinct.size());
        for (const QStringView text : distinct)
            folded.push_back(text.toString().toCaseFolded());
        return CodeUnitRanks(std::vector<QStringView>(folded.begin(), folded.end()));
    }
    // A sort key turns every later comparison into a byte comparison.
    return ChunkRanks(SortKeys(sortCollator_.get(), distinct).Keys());
}

std::vector<int> TextOrder::Ranks(const std::vector<QStringView> &values) const {
    // Many cells repeat (folders, extensions, dates): collate each text once.
    DistinctTexts distinct(values.size());
    const std::vector<int> slot = distinct.NumberAll(values);
    const std::vector<int> distinctRanks = RanksOfDistinct(distinct.Texts());
    std::vector<int> ranks(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        ranks[i] = distinctRanks[size_t(slot[i])];
    return ranks;
}

std::vector<int> StableOrderByRank(const std::vector<int> &ranks, bool descending) {
    const int maxRank = ranks.empty() ? 0 : *std::max_element(ranks.begin(), ranks.end());
    std::vector<int> start(size_t(maxRank) + 2, 0);
    for (const int r : ranks)
        ++start[size_t(descending ? maxRank - r : r) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> order(ranks.size());
    for (size_t i = 0; i < ranks.size(); ++i) {
        const int r = descending ? maxRank - ranks[i] : ranks[i];
        order[size_t(start[size_t(r)]++)] = int(i);
    }
    return order;
}

} // namespace velmora

#include <QDateTime>

#include <tuple>

namespace velmora {

namespace {

enum class Kind { Empty, Time, Number, Text };

struct SmartKey {
    Kind kind = Kind::Text;
    qint64 value = 0;
    int plainRank = 0;
    auto Tuple() const { return std::tie(kind, value, plainRank); }
};

bool ReadsAsNumber(QStringView text, qint64 &value) {
    const qsizetype digitsFrom = text.startsWith(u'-') ? 1 : 0;
    if (text.size() <= digitsFrom)
        return false;
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    }
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok;
}

bool ReadsAsTime(QStringView text, const QLocale &locale, qint64 &value) {
    const QString s = text.toString();
    QDateTime when = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd  hh:mm"));
    for (const auto format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        if (!when.isValid())
            when = locale.toDateTime(s, format);
        if (!when.isValid()) {
            const QDate date = locale.toDate(s, format);
            if (date.isValid())
                when = date.startOfDay();
        }
        if (!when.isValid()) {
            const QTime time = locale.toTime(s, format);
            if (time.isValid())
                when = QDateTime(QDate(1970, 1, 1), time);
        }
    }
    if (!when.isValid())
        return false;
    value = when.toMSecsSinceEpoch();
    return true;
}

} // namespace

std::vector<int> SmartRanks(const std::vector<QStringView> &values, const TextOrder &plain,
                            const QLocale &locale) {
    // Numbers and empty cells are told by looking at them; only the rest
    // (usually none in a Size column) is collected once per distinct text,
    // tried as a date and, failing that, collated.
    std::vector<SmartKey> keys(values.size());
    DistinctTexts others(values.size());
    std::vector<int> slot(values.size(), -1);
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].isEmpty())
            keys[i].kind = Kind::Empty;
        else if (ReadsAsNumber(values[i], keys[i].value))
            keys[i].kind = Kind::Number;
        else
            slot[i] = others.Number(values[i]);
    }
    const std::vector<QStringView> &distinct = others.Texts();
    std::vector<SmartKey> distinctKeys(distinct.size());
    std::vector<QStringView> texts;
    std::vector<int> textOf;
    for (size_t d = 0; d < distinct.size(); ++d) {
        if (ReadsAsTime(distinct[d], locale, distinctKeys[d].value)) {
            distinctKeys[d].kind = Kind::Time;
        } else {
            texts.push_back(distinct[d]);
            textOf.push_back(int(d));
        }
    }
    const std::vector<int> textRanks = plain.RanksOfDistinct(texts);
    for (size_t t = 0; t < texts.size(); ++t)
        distinctKeys[size_t(textOf[t])].plainRank = textRanks[t];
    for (size_t i = 0; i < values.size(); ++i) {
        if (slot[i] >= 0)
            keys[i] = distinctKeys[size_t(slot[i])];
    }

    std::vector<int> order(values.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return keys[size_t(a)].Tuple() < keys[size_t(b)].Tuple(); });
    std::vector<char> tie(values.size(), 0);
    for (size_t i = 1; i < order.size(); ++i)
        tie[i] = keys[size_t(order[i - 1])].Tuple() == keys[size_t(order[i])].Tuple();
    return RanksFromOrder(order, tie);
}

} // namespace velmora
