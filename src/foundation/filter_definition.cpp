#include "foundation/filter_definition.h"

#include "foundation/file_masks.h"

#include <QStringList>

namespace velmora {

QList<FileFilter> ParseFilterDefinition(const QString &definition) {
    const QStringList parts = definition.split(u'|');
    QList<FileFilter> filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append({parts[i], parts[i + 1]});
    return filters;
}

QString FirstFilterMask(const QString &definition) {
    const QList<FileFilter> filters = ParseFilterDefinition(definition);
    if (filters.isEmpty() || FileMask(filters.first().mask).IsEmpty())
        return QStringLiteral("*.*");
    return filters.first().mask;
}

} // namespace velmora
