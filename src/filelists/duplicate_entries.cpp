#include "filelists/duplicate_entries.h"

#include "filelists/text_order.h"
#include "sitewalk/file_entry.h"

#include <QSet>

#include <vector>

namespace velmora {

void RemoveDuplicateEntries(QStringList &lines, const QLocale &locale) {
    const TextOrder order(locale, Qt::CaseInsensitive);
    std::vector<QStringView> views(lines.cbegin(), lines.cend());
    const std::vector<int> sorted = StableOrderByRank(order.Ranks(views), false);

    // A set of every path seen, not only the previous one: with a case-blind
    // sort, lines for one path can be separated by a line whose path differs
    // from it only in letter case, and a repeated path must still go.
    QSet<QString> seen;
    seen.reserve(lines.size());
    seen.insert(QString()); // an empty path is never kept
    QStringList kept;
    kept.reserve(lines.size());
    for (const int i : sorted) {
        QString path = EntryLinePath(lines.at(i));
        if (seen.contains(path))
            continue;
        seen.insert(std::move(path));
        kept.append(lines.at(i));
    }
    lines = std::move(kept);
}

} // namespace velmora
