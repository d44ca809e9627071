#include "foundation/filter_definition.h"

#include <QStringList>

namespace velmora {

QList<FileFilter> ParseFilterDefinition(const QString &definition) {
    const QStringList parts = definition.split(u'|');
    QList<FileFilter> filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append({parts[i], parts[i + 1]});
    return filters;
}

} // namespace velmora
