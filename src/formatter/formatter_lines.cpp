#include "formatter/formatter_lines.h"

namespace velmora {

QStringList *FormatterLists::List(int k) {
    switch (k) {
    case 1:
        return &OutList;
    case 2:
        return &LinesList;
    case 3:
        return &BlocksList;
    default:
        return nullptr;
    }
}

void FormatterLists::Clear() {
    OutList.clear();
    LinesList.clear();
    BlocksList.clear();
}

void PutLine(FormatterLists &lists, int k, QString &line, bool clear) {
    if (line == QLatin1String(" "))
        line.clear();
    if (QStringList *list = lists.List(k))
        list->append(line);
    if (clear)
        line.clear();
}

void AddLine(FormatterLists &lists, int k, QString &line) {
    if (!line.isEmpty())
        PutLine(lists, k, line, true);
}

} // namespace velmora
