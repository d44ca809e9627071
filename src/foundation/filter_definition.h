#pragma once
// The folder view's filter definition: "Description|mask|Description|mask...",
// a mask being one or more patterns separated by ';'.

#include <QList>
#include <QString>

namespace velmora {

struct FileFilter {
    QString description;
    QString mask;
};

// The description/mask pairs in order; a trailing description without a mask
// is ignored.
QList<FileFilter> ParseFilterDefinition(const QString &definition);

} // namespace velmora
