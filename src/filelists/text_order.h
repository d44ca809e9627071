#pragma once
// Orders texts by the rules of a locale, for the report view's sorting and the
// removal of duplicate entries. Sorting large lists compares ranks: every
// distinct text is collated once (through its sort key), then rows are ordered
// by integer rank. The sort keys come from the same collation library and
// settings that QCollator uses, so ranks and Compare always agree.

#include <QCollator>
#include <QLocale>
#include <QStringView>

#include <memory>
#include <vector>

struct UCollator;

namespace velmora {

class TextOrder {
public:
    TextOrder(const QLocale &locale, Qt::CaseSensitivity sensitivity);
    ~TextOrder();
    TextOrder(TextOrder &&) noexcept;
    TextOrder &operator=(TextOrder &&) noexcept;

    // Negative, zero or positive as a sorts before, with or after b.
    int Compare(QStringView a, QStringView b) const;
    // One rank per value, dense from 0: equal ranks for texts the collation
    // holds equal, a lower rank for a text that sorts first.
    std::vector<int> Ranks(const std::vector<QStringView> &values) const;
    // Ranks of already distinct texts (no duplicates among them).
    std::vector<int> RanksOfDistinct(const std::vector<QStringView> &distinct) const;

    struct CloseCollator {
        void operator()(UCollator *collator) const;
    };

private:
    QCollator collator_;
    Qt::CaseSensitivity sensitivity_;
    bool plainCodeOrder_; // the C locale: code-point order, no collation tables
    // The collator behind the sort keys; none when the library has no
    // collation for the locale, which QCollator then also orders by code.
    std::unique_ptr<UCollator, CloseCollator> sortCollator_;
};

// Row numbers 0..n-1 ordered by rank, ties kept in their order (counting sort).
std::vector<int> StableOrderByRank(const std::vector<int> &ranks, bool descending);

} // namespace velmora

namespace velmora {

// Ranks for the smart style: texts that read as a date or time compare as
// points in time, texts that read entirely as decimal numbers compare by value,
// all others as the plain order does. Pairs of different kinds are ordered by
// kind (empty, time, number, text) so that the order stays consistent over
// mixed columns, which a pairwise choice of style would not be.
std::vector<int> SmartRanks(const std::vector<QStringView> &values, const TextOrder &plain,
                            const QLocale &locale);

} // namespace velmora
