#include "text_order.h"

#include <QCollatorSortKey>
#include <QHash>

#include <algorithm>
#include <numeric>

namespace velmora {

TextOrder::TextOrder(const QLocale &locale, Qt::CaseSensitivity sensitivity)
    : collator_(locale), sensitivity_(sensitivity),
      plainCodeOrder_(locale.language() == QLocale::C) {
    collator_.setCaseSensitivity(sensitivity);
}

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
qsizetype CommonLength(const std::vector<QStringView> &texts, const std::vector<int> &order,
                       int begin, int end, qsizetype offset) {
    const QStringView first = texts[size_t(order[size_t(begin)])];
    qsizetype common = first.size() - offset;
    for (int i = begin + 1; i < end && common > 0; ++i) {
        const QStringView text = texts[size_t(order[size_t(i)])];
        const qsizetype limit = std::min(common, text.size() - offset);
        qsizetype k = 0;
        while (k < limit && text[offset + k] == first[offset + k])
            ++k;
        common = k;
    }
    return std::max<qsizetype>(common, 0);
}

// Ranks by UTF-16 code units, most significant first: the texts are sorted by
// their first four units packed into one integer, and every run that agrees
// on them is sorted again on the next four. Paths share long beginnings, so
// this beats comparing whole strings; an explicit stack keeps long texts
// from deepening the call stack.
std::vector<int> CodeUnitRanks(const std::vector<QStringView> &texts) {
    const int n = int(texts.size());
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::vector<char> tie(size_t(n), 0);
    struct Item {
        quint64 chunk;
        quint32 rest; // units left from this chunk on, 5 standing for "more than 4"
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
            const QStringView text = texts[size_t(order[size_t(i)])];
            const qsizetype left = text.size() - range.offset;
            quint64 chunk = 0;
            for (qsizetype k = 0; k < 4; ++k) {
                const quint64 unit = k < left ? text[range.offset + k].unicode() : 0;
                chunk = (chunk << 16) | unit;
            }
            items.push_back({chunk, quint32(std::min<qsizetype>(left, 5)), order[size_t(i)]});
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
                if (items[first].rest > 4) {
                    pending.push_back(
                        {range.begin + int(first), range.begin + int(last), range.offset + 4});
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

} // namespace

std::vector<int> TextOrder::RanksOfDistinct(const std::vector<QStringView> &distinct) const {
    const int n = int(distinct.size());
    if (plainCodeOrder_) {
        if (sensitivity_ == Qt::CaseSensitive)
            return CodeUnitRanks(distinct);
        std::vector<QString> folded;
        folded.reserve(size_t(n));
        for (const QStringView text : distinct)
            folded.push_back(text.toString().toCaseFolded());
        return CodeUnitRanks(std::vector<QStringView>(folded.begin(), folded.end()));
    }
    // A sort key turns every later comparison into a byte comparison.
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(n));
    for (const QStringView text : distinct)
        keys.push_back(collator_.sortKey(text.toString()));
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    std::vector<char> tie(size_t(n), 0);
    for (size_t i = 1; i < size_t(n); ++i)
        tie[i] = keys[size_t(order[i - 1])].compare(keys[size_t(order[i])]) == 0;
    return RanksFromOrder(order, tie);
}

std::vector<int> TextOrder::Ranks(const std::vector<QStringView> &values) const {
    // Many cells repeat (folders, extensions, dates): collate each text once.
    QHash<QStringView, int> indexOf;
    indexOf.reserve(qsizetype(values.size()));
    std::vector<QStringView> distinct;
    std::vector<int> slot(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        auto it = indexOf.constFind(values[i]);
        if (it == indexOf.constEnd()) {
            it = indexOf.insert(values[i], int(distinct.size()));
            distinct.push_back(values[i]);
        }
        slot[i] = it.value();
    }
    const std::vector<int> distinctRanks = RanksOfDistinct(distinct);
    std::vector<int> ranks(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        ranks[i] = distinctRanks[slot[i]];
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
    QHash<QStringView, int> indexOf;
    std::vector<QStringView> distinct;
    std::vector<int> slot(values.size(), -1);
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i].isEmpty()) {
            keys[i].kind = Kind::Empty;
        } else if (ReadsAsNumber(values[i], keys[i].value)) {
            keys[i].kind = Kind::Number;
        } else {
            auto it = indexOf.constFind(values[i]);
            if (it == indexOf.constEnd()) {
                it = indexOf.insert(values[i], int(distinct.size()));
                distinct.push_back(values[i]);
            }
            slot[i] = it.value();
        }
    }
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
