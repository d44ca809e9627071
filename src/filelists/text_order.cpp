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

std::vector<int> TextOrder::RanksOfDistinct(const std::vector<QStringView> &distinct) const {
    const int n = int(distinct.size());
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> ranks(n, 0);
    if (n == 0)
        return ranks;
    if (plainCodeOrder_) {
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return Compare(distinct[a], distinct[b]) < 0; });
        for (int i = 1; i < n; ++i) {
            const bool tie = Compare(distinct[order[i - 1]], distinct[order[i]]) == 0;
            ranks[order[i]] = ranks[order[i - 1]] + (tie ? 0 : 1);
        }
        return ranks;
    }
    // A sort key turns every later comparison into a byte comparison.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(n);
    for (const QStringView text : distinct)
        keys.push_back(collator_.sortKey(text.toString()));
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });
    for (int i = 1; i < n; ++i) {
        const bool tie = keys[order[i - 1]].compare(keys[order[i]]) == 0;
        ranks[order[i]] = ranks[order[i - 1]] + (tie ? 0 : 1);
    }
    return ranks;
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

SmartKey ClassifySmart(QStringView text, const QLocale &locale) {
    SmartKey key;
    if (text.isEmpty())
        key.kind = Kind::Empty;
    else if (ReadsAsNumber(text, key.value)) // digits alone never read as a date
        key.kind = Kind::Number;
    else if (ReadsAsTime(text, locale, key.value))
        key.kind = Kind::Time;
    return key;
}

} // namespace

std::vector<int> SmartRanks(const std::vector<QStringView> &values, const TextOrder &plain,
                            const QLocale &locale) {
    QHash<QStringView, int> indexOf;
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
    const std::vector<int> plainRanks = plain.RanksOfDistinct(distinct);
    std::vector<SmartKey> keys(distinct.size());
    for (size_t d = 0; d < distinct.size(); ++d) {
        keys[d] = ClassifySmart(distinct[d], locale);
        if (keys[d].kind == Kind::Text || keys[d].kind == Kind::Empty)
            keys[d].plainRank = plainRanks[d];
    }
    std::vector<int> order(distinct.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return keys[a].Tuple() < keys[b].Tuple(); });
    std::vector<int> distinctRanks(distinct.size(), 0);
    for (size_t i = 1; i < order.size(); ++i) {
        const bool tie = keys[order[i - 1]].Tuple() == keys[order[i]].Tuple();
        distinctRanks[order[i]] = distinctRanks[order[i - 1]] + (tie ? 0 : 1);
    }
    std::vector<int> ranks(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        ranks[i] = distinctRanks[slot[i]];
    return ranks;
}

} // namespace velmora
