#pragma once
// The formatter's three working lists and the two ways lines reach them.

#include <QString>
#include <QStringList>

namespace velmora {

struct FormatterLists {
    QStringList OutList;    // list 1
    QStringList LinesList;  // list 2
    QStringList BlocksList; // list 3

    QStringList *List(int k);
    void Clear();
};

// A line that is exactly one blank is appended as an empty line; other list
// numbers than 1 to 3 append nothing. With clear set the line is emptied after.
void PutLine(FormatterLists &lists, int k, QString &line, bool clear);
// PutLine (clearing the line) only when the line is not empty.
void AddLine(FormatterLists &lists, int k, QString &line);

} // namespace velmora
