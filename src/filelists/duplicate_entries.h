#pragma once
// Sorting a list of entry lines and taking out repeated paths.

#include <QLocale>
#include <QStringList>

namespace velmora {

// Sorts the lines by whole-line comparison, without regard to letter case and
// by the rules of the locale, then removes every line whose path (fields 0 to
// 2) was already seen, compared exactly. Of several lines for one path the one
// that sorts first survives ("100" sorts before "99"); paths differing only in
// letter case all survive; lines with an empty path (empty lines) are removed.
void RemoveDuplicateEntries(QStringList &lines, const QLocale &locale = QLocale());

} // namespace velmora
